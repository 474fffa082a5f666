// Window-wide behaviour: the field-help window and the wheel over grids.

#include "ScriptedMessages.h"
#include "TestDatabase.h"
#include "app/AppContext.h"
#include "app/ui/MiniHelp.h"
#include "app/ui/TfrmDBUpdate.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

using namespace zentro;

class TestWindowHelpers : public QObject
{
    Q_OBJECT

private slots:
    void oneHelpWindowAtATime();
    void wheelMovesOneRowPerNotch();
    void updateWindowShowsTheSteps();
};

void TestWindowHelpers::oneHelpWindowAtATime()
{
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    ShowMiniHelp(&area, QStringLiteral("Valor em reais.\nUse vírgula."), QStringLiteral("Crédito"));
    ShowMiniHelp(&area, QStringLiteral("Grupo do usuário"), QStringLiteral("Grupo"));
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const auto open = area.subWindowList();
    QCOMPARE(open.size(), 1);
    QCOMPARE(open.first()->widget()->findChild<QPlainTextEdit *>()->toPlainText(), QStringLiteral("Grupo do usuário"));
    QVERIFY(open.first()->widget()->findChild<QPlainTextEdit *>()->isReadOnly());
    QTest::keyClick(open.first()->widget(), Qt::Key_Escape);
    QTRY_VERIFY(area.subWindowList().isEmpty());
}

void TestWindowHelpers::wheelMovesOneRowPerNotch()
{
    QStandardItemModel model(50, 2);
    QTableView view;
    view.setModel(&model);
    view.resize(300, 200);
    view.show();
    qApp->installEventFilter(CreateGridWheelFilter(qApp));
    view.setCurrentIndex(model.index(10, 0));
    auto wheel = [&view](int delta) {
        QWheelEvent e(QPointF(20, 20), view.viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &e);
    };
    wheel(-120);
    QCOMPARE(view.currentIndex().row(), 11);
    wheel(-120);
    wheel(120);
    wheel(120);
    wheel(120);
    QCOMPARE(view.currentIndex().row(), 9);
}

// The update window as the operator sees it: its caption, the panel shown only
// while converting, the status line of each step, and closed at the end.
void TestWindowHelpers::updateWindowShowsTheSteps()
{
    QTemporaryDir home;
    qputenv("ZENTRO_HOME", home.path().toLocal8Bit());
    QDir(home.path()).mkpath(QStringLiteral("data/conv"));
    QFile script(home.path() + QStringLiteral("/data/conv/505.SQL"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("create table NOVA (x int)^\r\nupdate DBINFO set VERSION = '505'^\r\n");
    script.close();

    TestDatabase db;
    TestDatabase::Options empty;
    empty.empty = true;
    QVERIFY(db.create(QStringLiteral("updatewindow"), empty));
    QVERIFY(db.runSql(QStringLiteral("CREATE TABLE DBINFO (VERSION VARCHAR(3)); INSERT INTO DBINFO VALUES ('504');")));

    ScriptedMessages messages;
    AppContext app(messages);
    app.cnt().open(db.connectionString());
    TfrmDBUpdate window;
    auto *status = window.findChildren<QLabel *>().last();
    messages.expectPrefix(QStringLiteral("Uma atualização"), mb::IdYes);
    messages.expectPrefix(QStringLiteral("As orientações do aviso anterior foram seguidas?"), mb::IdYes);
    QVERIFY(UpdateDatabase(app, window, QStringLiteral("504")));
    QVERIFY(messages.allShown());
    QCOMPARE(window.windowTitle(), QStringLiteral("Atualização de Estrutura de Banco de Dados"));
    QCOMPARE(status->text(), QStringLiteral("Finalizando conversões necessárias... Aguarde..."));
    QVERIFY(!window.isVisible());
    QCOMPARE(window.findChild<QProgressBar *>()->value(), 100);
    QCOMPARE(app.cnt().query(QStringLiteral("SELECT VERSION FROM DBINFO")).value(0, 0).toString(),
             QStringLiteral("505"));
    db.drop();
    qunsetenv("ZENTRO_HOME");
}

QTEST_MAIN(TestWindowHelpers)
#include "tst_windowhelpers.moc"
