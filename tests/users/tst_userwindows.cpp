// The login and user windows, driven as an operator would.

#include "ScriptedMessages.h"
#include "TestDatabase.h"
#include "app/AppContext.h"
#include "users/UserRegister.h"
#include "users/ui/TfrmLogin.h"
#include "users/ui/TfrmUsuarios.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

using namespace zentro;

namespace {

// Types text key by key, accents included.
void type(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

} // namespace

class TestUserWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void loginWindowStaysOpenOnRefusal();
    void typingRules();
    void failedSaveKeepsTheEditState();
    void adminCannotBeEdited();
    void leavingWhileEditing();

private:
    TestDatabase m_db;
    QTemporaryDir m_folder;
    ScriptedMessages m_messages;
    std::unique_ptr<AppContext> m_app;
};

void TestUserWindows::initTestCase()
{
    TestDatabase::Options demo;
    demo.demo = true;
    QVERIFY(m_db.create(QStringLiteral("userwindows"), demo));
}

void TestUserWindows::init()
{
    m_messages.clear();
    m_app = std::make_unique<AppContext>(m_messages);
    m_app->programFolder = m_folder.path();
    m_app->installation.ownerId = 1001;
    m_app->installation.ownerTradeName = QStringLiteral("Demo");
    m_app->user.name = QStringLiteral("ADMIN");
    m_app->cnt().open(m_db.connectionString());
}

void TestUserWindows::cleanup()
{
    m_messages.allShown();
    m_app.reset();
}

void TestUserWindows::loginWindowStaysOpenOnRefusal()
{
    TfrmLogin w(*m_app);
    w.show();
    QSignalSpy loggedOn(&w, &TfrmLogin::loggedOn);
    QTest::keyClicks(w.nameField(), QStringLiteral("admin"));
    QCOMPARE(w.nameField()->text(), QStringLiteral("ADMIN")); // typed in upper case
    QTest::keyClicks(w.passwordField(), QStringLiteral("errada"));
    m_messages.expect(QStringLiteral("Erro de validação de Usuário. Senha Corrompida."));
    QTest::keyClick(w.passwordField(), Qt::Key_Return);
    QVERIFY(w.isVisible());
    QCOMPARE(loggedOn.count(), 0);
    QTest::keyClicks(w.passwordField(), QStringLiteral("admin1234"));
    QTest::keyClick(w.passwordField(), Qt::Key_Return);
    QCOMPARE(loggedOn.count(), 1);
    QVERIFY(!w.isVisible());
}

void TestUserWindows::typingRules()
{
    TfrmUsuarios w(*m_app);
    w.show();
    w.btNovoClick();
    type(w.nameField(), QStringLiteral("ab#c-dÇ"));
    QCOMPARE(w.nameField()->text(), QStringLiteral("ABCD"));
    QTest::keyClicks(w.nameField(), QStringLiteral("EFGHIJ"));
    QCOMPARE(w.nameField()->text().size(), 10);
    m_messages.expect(QStringLiteral("Não pode ser superior a 10 digitos"));
    QTest::keyClicks(w.nameField(), QStringLiteral("K"));
    QCOMPARE(w.nameField()->text(), QStringLiteral("ABCDEFGHIJ"));
    QTest::keyClick(w.nameField(), Qt::Key_Backspace); // always passes
    QCOMPARE(w.nameField()->text(), QStringLiteral("ABCDEFGHI"));

    type(w.passwordField(), QStringLiteral("ab_c!1é2"));
    QCOMPARE(w.passwordField()->text(), QStringLiteral("abc12"));
}

void TestUserWindows::failedSaveKeepsTheEditState()
{
    TfrmUsuarios w(*m_app);
    w.show();
    w.btNovoClick();
    QTest::keyClicks(w.nameField(), QStringLiteral("GERENTE"));
    QTest::keyClicks(w.passwordField(), QStringLiteral("gerente12"));
    w.profileField()->setCurrentIndex(1); // Gerencial, no client
    m_messages.expect(QStringLiteral("É obrigatória a definição do Cliente associado a esse Usuário."),
                      QStringLiteral("Preenchimento"), 48);
    m_messages.expect(QStringLiteral("Impossível salvar as informações do usuário."), QStringLiteral("Usuários"), 16);
    QVERIFY(!w.btSalvarClick());
    QVERIFY(w.isEditing());
    QCOMPARE(w.nameField()->text(), QStringLiteral("GERENTE"));
    QCOMPARE(w.passwordField()->text(), QStringLiteral("gerente12"));
    QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.clientField())); // where the refusal points

    w.clientField()->setCurrentIndex(0);
    QVERIFY(w.btSalvarClick());
    QVERIFY(!w.isEditing());
    const auto *model = w.grid()->model();
    QStringList names;
    for (int r = 0; r < model->rowCount(); ++r)
        names << model->index(r, 0).data().toString();
    QVERIFY(names.contains(QStringLiteral("GERENTE")));
    QVERIFY(!names.contains(QStringLiteral("KAVORA"))); // the service user is never listed
}

void TestUserWindows::adminCannotBeEdited()
{
    TfrmUsuarios w(*m_app);
    w.show();
    const auto *model = w.grid()->model();
    int adminRow = -1;
    for (int r = 0; r < model->rowCount(); ++r) {
        if (model->index(r, 0).data().toString() == QStringLiteral("ADMIN"))
            adminRow = r;
    }
    QVERIFY(adminRow >= 0);
    w.selectRow(adminRow);
    QCOMPARE(w.passwordField()->text(), QStringLiteral("*****"));
    m_messages.expect(QStringLiteral("O Usuário \"ADMIN\" não pode ser editado."), QStringLiteral("Edição negada"), 48);
    w.btEditarClick();
    QVERIFY(!w.isEditing());
}

void TestUserWindows::leavingWhileEditing()
{
    TfrmUsuarios w(*m_app);
    w.show();
    w.btNovoClick();
    const QString question = QStringLiteral("Existe um Usuário sendo incluso ou editado.Deseja salvar as informações "
                                            "deste usuário?");
    m_messages.expect(question, QStringLiteral("Cadastro"), 35, mb::IdCancel);
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    m_messages.expect(question, QStringLiteral("Cadastro"), 35, mb::IdNo);
    QVERIFY(w.close());
}

QTEST_MAIN(TestUserWindows)
#include "tst_userwindows.moc"
