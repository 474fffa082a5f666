// The main window's frame: title from the owner record, status bar, closing.

#include "ScriptedMessages.h"
#include "TestDatabase.h"
#include "app/AppContext.h"
#include "app/DbUpdate.h"
#include "app/Startup.h"
#include "tree/ui/TfrmPrincipal.h"

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

private:
    QStringList panels(TfrmPrincipal &w) const;

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
    SilentDbUpdateView view;
    QVERIFY(BD_Connect(app, m_db.connectionString(), view));

    app.cnt().execute(QStringLiteral("DELETE FROM CLIENTESKV"));
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
    SilentDbUpdateView view;
    QVERIFY(BD_Connect(app, m_db.connectionString(), view));
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

QTEST_MAIN(TestPrincipal)
#include "tst_principal.moc"
