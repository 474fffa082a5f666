// The main window's frame: title from the owner record, status bar, closing.

#include "ScriptedMessages.h"
#include "TestDatabase.h"
#include "app/AppContext.h"
#include "app/DbUpdate.h"
#include "app/Startup.h"
#include "tree/ui/TfconfigCLIKV.h"
#include "tree/ui/TfrmPrincipal.h"
#include "tree/ui/TvConfigura.h"
#include "users/Password.h"
#include "users/ui/TfrmLogin.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QtTest>

using namespace zentro;

class TestPrincipal : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void titleNamesTheOwner();
    void statusBarAndProgress();
    void closingWritesTheEvents();
    void commandsByProfile_data();
    void commandsByProfile();
    void oneInstancePerWindow();
    void loginNeedsOtherWindowsClosed();
    void switchingDataSources();
    void ownerSettings();
    void treeInTheWindow();

private:
    QStringList panels(TfrmPrincipal &w) const;
    // The installation of these tests, connected to the demo database.
    bool connectToDemo(AppContext &app);

    TestDatabase m_db;
    QTemporaryDir m_folder;
    ScriptedMessages m_messages;
};

void TestPrincipal::initTestCase()
{
    qputenv("ZENTRO_NOW", "2026-12-11T10:20:30");
    TestDatabase::Options demo;
    demo.demo = true;
    QVERIFY(m_db.create(QStringLiteral("principal"), demo));
}

namespace {

// Logs on through the login window, as the operator does.
void logOn(TfrmPrincipal &w, const QString &name, const QString &password)
{
    auto *login = qobject_cast<TfrmLogin *>(w.childWindow(QStringLiteral("TfrmLogin")));
    QVERIFY(login);
    login->nameField()->setText(name);
    login->passwordField()->setText(password);
    login->btOKClick();
}

const QStringList Guarded = {"acNovoLeitor", "acConfigKLT",   "acMasterConf",    "acImportarLogs", "acExportarLeitores",
                             "acLogoff",     "AuxRenomear",   "acUsuarios",      "acLocalizar",    "acLocalizarCartao",
                             "acProdDisp",   "ac_consumidor", "acFormatarCartao"};

} // namespace

bool TestPrincipal::connectToDemo(AppContext &app)
{
    app.buildInfo = QStringLiteral("5.505.0.1");
    app.installation.ownerId = 1001;
    app.installation.ownerTradeName = QStringLiteral("Vending Demonstração Ltda");
    app.programFolder = m_folder.path();
    SilentDbUpdateView view;
    return BD_Connect(app, m_db.connectionString(), view);
}

QStringList TestPrincipal::panels(TfrmPrincipal &w) const
{
    QStringList texts;
    for (QLabel *label : w.statusBar()->findChildren<QLabel *>())
        texts << label->text();
    return texts;
}

void TestPrincipal::titleNamesTheOwner()
{
    AppContext app(m_messages);
    app.buildInfo = QStringLiteral("5.505.0.1");
    QVERIFY(connectToDemo(app));

    app.cnt().execute(QStringLiteral("DELETE FROM CLIENTESKV"));
    app.cnt().execute(QStringLiteral("DELETE FROM TAB_MOV_USU"));
    TfrmPrincipal w(app);
    QVERIFY(w.runShowSequence());
    QCOMPARE(w.windowTitle(), QStringLiteral("Zentro -  ***** CLIENTE KAVORA NÃO IDENTIFICADO ******"));

    app.cnt().execute(QStringLiteral("INSERT INTO CLIENTESKV (CLIKV_ID, CLIKV_RAZAO, CLIKV_NOMEFANTASIA) VALUES "
                                     "(1001, 'RAZAO', 'Café & Cia d''Oeste')"));
    QVERIFY(w.runShowSequence());
    QCOMPARE(w.windowTitle(), QStringLiteral("Zentro - Café & Cia d'Oeste"));
}

void TestPrincipal::statusBarAndProgress()
{
    AppContext app(m_messages);
    app.buildInfo = QStringLiteral("5.505.0.1");
    app.user.name = QStringLiteral("MARIA");
    QVERIFY(connectToDemo(app));
    TfrmPrincipal w(app);
    QVERIFY(w.runShowSequence());
    const QStringList texts = panels(w);
    QVERIFY2(texts.contains(QStringLiteral("Usuário: MARIA")), qPrintable(texts.join('|')));
    QVERIFY(texts.contains(QStringLiteral("Versão: 5.505.0.1")));
    QVERIFY(texts.contains(QStringLiteral("11/12/2026  10:20:30")));

    // Long loops report through the context and land in the status bar.
    app.showProgress(QStringLiteral("Lendo cartão..."), 3, 10, true);
    QVERIFY(panels(w).contains(QStringLiteral("Lendo cartão...")));
    auto *bar = w.statusBar()->findChild<QProgressBar *>();
    QCOMPARE(bar->value(), 3);
    QCOMPARE(bar->maximum(), 10);
}

void TestPrincipal::closingWritesTheEvents()
{
    AppContext app(m_messages);
    app.events().setPath(m_folder.path() + QStringLiteral("/events_log.htm"));
    app.user.name = QStringLiteral("JOÃO");
    {
        TfrmPrincipal w(app);
        w.show();
        w.close();
    }
    QFile f(app.events().path());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray log = f.readAll();
    const qsizetype user = log.indexOf("O usu\xE1rio \"JO\xC3O\" saiu do sistema.");
    const qsizetype end = log.indexOf("APLICA\xC7\xC3O ENCERRADA");
    QVERIFY(user > 0);
    QVERIFY(end > user);
}

void TestPrincipal::commandsByProfile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("level");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("systemSettings");
    QTest::newRow("ADMIN") << "ADMIN"
                           << "admin1234"
                           << "" << true << false;
    QTest::newRow("KAVORA") << "KAVORA"
                            << "kavora2026"
                            << "" << true << true;
    QTest::newRow("Gerencial") << "GERENTE"
                               << "gerente12"
                               << "2" << false << false;
    QTest::newRow("Operador") << "OPERADOR"
                              << "operador1"
                              << "3" << false << false;
}

void TestPrincipal::commandsByProfile()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(QString, level);
    QFETCH(bool, enabled);
    QFETCH(bool, systemSettings);
    ScriptedMessages messages;
    AppContext app(messages);
    QVERIFY(connectToDemo(app));
    if (!level.isEmpty()) {
        QString hash;
        const int id = 50 + level.toInt();
        HashPassword(QLatin1String(PasswordSalt), name + QString::number(id), password, &hash);
        app.cnt().execute(
            QStringLiteral("REPLACE INTO USUARIOS (ID, NOME, SENHA, NIVEL, USU_SITUACAO) VALUES (?, ?, ?, "
                           "?, 'A')"),
            {id, name, hash, level});
        messages.expectPrefix(QStringLiteral("O Perfil deste Usuário ("));
    }
    TfrmPrincipal w(app);
    QVERIFY(w.runShowSequence());
    for (const QString &c : Guarded)
        QVERIFY2(!w.command(c)->isEnabled(), qPrintable(c));
    QVERIFY(w.command("acLogin")->isEnabled());

    logOn(w, name, password);
    for (const QString &c : Guarded)
        QVERIFY2(w.command(c)->isEnabled() == enabled, qPrintable(c));
    QCOMPARE(w.command("acLogin")->isEnabled(), !enabled);
    QCOMPARE(w.tvConfigura()->isOperational(), enabled);
    QCOMPARE(w.command("acConfigsSis")->isVisible(), systemSettings);
    for (const char *always : {"acSair", "acSobre", "acRelConsumoCartao"})
        QVERIFY(w.command(QLatin1String(always))->isEnabled());
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("Zentro - ")));

    w.acLogoffExecute(true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QString &c : Guarded)
        QVERIFY2(!w.command(c)->isEnabled(), qPrintable(c));
    QVERIFY(!w.command("acConfigsSis")->isVisible());
    QVERIFY(!w.tvConfigura()->isOperational());
    QVERIFY(w.workArea()->subWindowList().isEmpty());
    QVERIFY(messages.allShown());
}

void TestPrincipal::oneInstancePerWindow()
{
    ScriptedMessages messages;
    AppContext app(messages);
    QVERIFY(connectToDemo(app));
    TfrmPrincipal w(app);
    w.show();
    QVERIFY(w.runShowSequence());
    logOn(w, QStringLiteral("ADMIN"), QStringLiteral("admin1234"));
    w.command("acUsuarios")->trigger();
    w.command("acUsuarios")->trigger();
    w.command("acSobre")->trigger();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(w.workArea()->subWindowList().size(), 2); // the login window closed itself after logging on
    QVERIFY(w.childWindow(QStringLiteral("TfrmUsuarios")));
}

void TestPrincipal::loginNeedsOtherWindowsClosed()
{
    ScriptedMessages messages;
    AppContext app(messages);
    QVERIFY(connectToDemo(app));
    TfrmPrincipal w(app);
    QVERIFY(w.runShowSequence());
    logOn(w, QStringLiteral("ADMIN"), QStringLiteral("admin1234"));
    w.command("acUsuarios")->trigger();
    messages.expect(QStringLiteral("Todas as telas devem estar fechadas para a possível alteração do usuário."),
                    QStringLiteral("Atenção"), 16);
    w.acLoginExecute();
    QVERIFY(!w.childWindow(QStringLiteral("TfrmLogin")));
    QVERIFY(messages.allShown());
}

void TestPrincipal::switchingDataSources()
{
    TestDatabase other;
    QVERIFY(other.create(QStringLiteral("principal_other")));
    QVERIFY(other.runSql(QStringLiteral("INSERT INTO CLIENTESKV (CLIKV_ID, CLIKV_NOMEFANTASIA) VALUES (1001, 'Filial "
                                        "Norte');")));
    ScriptedMessages messages;
    AppContext app(messages);
    app.installation.ownerId = 1001;
    app.dataSources = {{"A", m_db.dataSource(), "Matriz"},
                       {"B", other.dataSource(), "Filial"},
                       {"C", "zt_principal_missing", "Quebrada"}};
    app.conf.dataSource = m_db.dataSource();
    app.conf.friendlyName = QStringLiteral("Matriz");
    app.conf.connectionString = m_db.connectionString();
    SilentDbUpdateView view;
    QVERIFY(BD_Connect(app, app.conf.connectionString, view));
    TfrmPrincipal w(app);
    QVERIFY(w.runShowSequence());
    logOn(w, QStringLiteral("ADMIN"), QStringLiteral("admin1234"));
    QVERIFY(w.command("acLogoff")->isEnabled());
    QCOMPARE(w.dataSourceList()->count(), 3);

    w.switchDataSource(1);
    QCOMPARE(app.currentDataSource, 1);
    QCOMPARE(app.conf.friendlyName, QStringLiteral("Filial"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Zentro - Filial Norte"));
    QVERIFY(!w.command("acLogoff")->isEnabled());        // logged off by the switch
    QVERIFY(w.childWindow(QStringLiteral("TfrmLogin"))); // and asked to log on again
    QCOMPARE(app.cnt().query(QStringLiteral("SELECT DATABASE()")).value(0, 0).toString(), other.name());

    messages.expectPrefix(QStringLiteral("Erro ao estabelecer conexão com o banco de dados (Função: BD_Connect): "));
    messages.expect(QStringLiteral("Impossível estabelecer conexão com o banco de dados.\rSelecione outra conexão."),
                    QStringLiteral("Sem conexão BD"), 16);
    w.dataSourceList()->setCurrentIndex(2);
    w.switchDataSource(2);
    QCOMPARE(app.currentDataSource, 1);
    QCOMPARE(app.conf.friendlyName, QStringLiteral("Filial"));
    QCOMPARE(w.dataSourceList()->currentIndex(), 1);
    // The tick reopens the previous connection.
    KeepAliveTick(app);
    QCOMPARE(app.cnt().query(QStringLiteral("SELECT DATABASE()")).value(0, 0).toString(), other.name());
    QVERIFY(messages.allShown());
    other.drop();
}

void TestPrincipal::ownerSettings()
{
    ScriptedMessages messages;
    AppContext app(messages);
    QVERIFY(connectToDemo(app));
    app.cnt().execute(QStringLiteral("DELETE FROM CLIENTESKV"));
    messages.expect(QStringLiteral("Há algum erro na configuração do Cliente Kavora."));
    QVERIFY(!TfconfigCLIKV(app).isValid());

    app.cnt().execute(QStringLiteral("INSERT INTO CLIENTESKV (CLIKV_ID, CLIKV_NOMEFANTASIA, CLIKV_RAZAO, CLIKV_CEP) "
                                     "VALUES (1001, 'Antigo', 'RAZAO', '01001000')"));
    auto lastAudit = [&app] {
        return app.cnt()
            .query(QStringLiteral("SELECT MOV_ATIV FROM TAB_MOV_USU WHERE MOV_ROTINA = 72 ORDER BY MOV_NUM DESC"))
            .value(0, 0)
            .toString();
    };
    {
        TfconfigCLIKV w(app);
        QVERIFY(w.isValid());
        QCOMPARE(w.field("edNomeFantasia")->text(), QStringLiteral("VENDING DEMONSTRAÇÃO LTDA"));
        QVERIFY(w.field("edCodigo")->isReadOnly());
        QVERIFY(w.btSalvarClick());
        QCOMPARE(lastAudit(), QStringLiteral("Nome Fantasia  DE: Antigo PARA: Vending Demonstração Ltda\r"));
    }
    {
        TfconfigCLIKV w(app);
        w.field("edBairro")->setText(QStringLiteral("CENTRO"));
        w.field("edSite")->setText(QStringLiteral("www.d'oeste.com.br"));
        QSignalSpy saved(&w, &TfconfigCLIKV::saved);
        QVERIFY(w.btSalvarClick());
        QCOMPARE(saved.count(), 1);
        QCOMPARE(lastAudit(), QStringLiteral("Nome Fantasia  DE: Vending Demonstração Ltda PARA: Vending Demonstração "
                                             "Ltda\rBairro  DE : PARA: CENTRO\rSite  DE : PARA: www.d'oeste.com.br\r"));
        QCOMPARE(app.cnt().query(QStringLiteral("SELECT CLIKV_SITE FROM CLIENTESKV")).value(0, 0).toString(),
                 QStringLiteral("www.d'oeste.com.br"));
    }
    {
        TfconfigCLIKV w(app);
        const QString notJpeg = m_folder.path() + QStringLiteral("/logo.txt");
        QFile f(notJpeg);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
        f.close();
        messages.expect(QStringLiteral("Houve problema ao carregar a imagem!"));
        QVERIFY(!w.storeLogoFile(notJpeg));
        QVERIFY(w.storeLogoFile(QStringLiteral(ZENTRO_SOURCE_DIR "/data/logo_clikv.jpg")));
        QCOMPARE(lastAudit(), QStringLiteral("Alterada a logomarca do Cliente Kavora"));
        QVERIFY(
            !app.cnt().query(QStringLiteral("SELECT CLIKV_LOGO FROM CLIENTESKV")).value(0, 0).toByteArray().isEmpty());
    }
    QVERIFY(messages.allShown());
}

void TestPrincipal::treeInTheWindow()
{
    ScriptedMessages messages;
    AppContext app(messages);
    QVERIFY(connectToDemo(app));
    TfrmPrincipal w(app);
    QVERIFY(w.runShowSequence());
    const QStringList texts = panels(w);
    const int installed =
        app.cnt()
            .query(QStringLiteral("SELECT COUNT(*) FROM ITENS WHERE EXCLUIDO = '0' AND ID_PAI > 0 AND "
                                  "HW_SERIE <> '' AND ID <> -10"))
            .value(0, 0)
            .toInt();
    QVERIFY2(texts.contains(QStringLiteral("Leitores Instalados: %1").arg(installed)), qPrintable(texts.join('|')));
    QVERIFY(std::any_of(texts.begin(), texts.end(), [](const QString &t) { return t.startsWith("Em Estoque: "); }));

    logOn(w, QStringLiteral("ADMIN"), QStringLiteral("admin1234"));
    w.tvConfigura()->selectNode(nullptr);
    messages.expect(QStringLiteral("Selecione a pasta ou sub-pasta do Cliente do qual \rdeseja efetuar a operação"),
                    QStringLiteral("Seleção inválida"), 64);
    w.command("acNovoLeitorToolbar")->trigger();
    QVERIFY(messages.allShown());
}

QTEST_MAIN(TestPrincipal)
#include "tst_principal.moc"
