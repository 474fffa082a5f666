// Loads the item tree from databases of 500 and 2,000 clients with ten readers
// each (some in sub-divisions, in stock, in maintenance, unregistered), and
// reads "select * from ITENS" whole through the same database layer in the
// same run; prints both and their ratio. With the windows built it also times
// what the operator does by hand on the loaded tree: the widget's load,
// expanding folders, selecting a reader, renaming a client.
//
//   bench_tree [--defaults-file=MY.CNF] [--clients=500,2000] [--runs=3]
//
// The defaults file names the MariaDB server (default: $ZENTRO_TEST_MYCNF, or
// the test server of this checkout, which scripts/test-services starts).

#include "app/AppContext.h"
#include "audit/AuditTrail.h"
#include "db/Sql.h"
#include "tree/ItemNodeData.h"
#include "tree/ItemTree.h"
#include "tree/TreeOperations.h"

#ifdef BENCH_TREE_GUI
#include "tree/ui/TvConfigura.h"
#include <QApplication>
#include <QTreeView>
#else
#include <QCoreApplication>
#endif

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace zentro;

namespace {

// Answers every question with its first button and reports what it was told.
class AnsweringMessages : public MessagePresenter
{
public:
    int show(const QString &text, const QString &caption, int flags) override
    {
        std::fprintf(stderr, "mensagem [%s]: %s\n", qPrintable(caption), qPrintable(text));
        const int buttons = flags & 0x0F;
        return buttons == mb::YesNo || buttons == mb::YesNoCancel ? mb::IdYes : mb::IdOk;
    }
};

struct Options
{
    QString defaultsFile;
    QList<int> clients{500, 2000};
    int runs = 3;
};

QString socketOf(const QString &cnf)
{
    QFile f(cnf);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression re(QStringLiteral("^socket=(.*)$"), QRegularExpression::MultilineOption);
    const auto m = re.match(QString::fromUtf8(f.readAll()));
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

bool createDatabase(const Options &o, const QString &name, const QString &odbcIni)
{
    QProcess p;
    p.start(QStringLiteral(ZENTRO_SOURCE_DIR "/scripts/zentro-db"),
            {QStringLiteral("--defaults-file=") + o.defaultsFile, QStringLiteral("--name=") + name});
    if (!p.waitForFinished(300000) || p.exitCode() != 0) {
        std::fprintf(stderr, "bench_tree: creating %s failed: %s\n", qPrintable(name),
                     p.readAllStandardError().constData());
        return false;
    }
    QFile ini(odbcIni);
    if (!ini.open(QIODevice::Append))
        return false;
    ini.write(QStringLiteral("[%1]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so\nSOCKET=%2\nDATABASE=%1\n"
                             "USER=zentro\nPASSWORD=zentro\nCHARSET=utf8mb4\n\n")
                  .arg(name, socketOf(o.defaultsFile))
                  .toUtf8());
    return true;
}

void dropDatabase(const Options &o, const QString &name)
{
    QProcess p;
    p.start(QStringLiteral("mariadb"),
            {QStringLiteral("--defaults-file=") + o.defaultsFile, QStringLiteral("-u"), QStringLiteral("root"),
             QStringLiteral("-e"), QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(name)});
    p.waitForFinished(60000);
}

// Client c holds readers c*10 ... c*10+9. Every fourth client has a
// sub-division with four of them; every 20th reader is in stock, every 25th in
// maintenance, every 100th was never registered.
int fill(AppContext &app, int clients)
{
    static const QStringList words = {
        QStringLiteral("Ação"),      QStringLiteral("Área"),    QStringLiteral("Colégio"), QStringLiteral("Hospital"),
        QStringLiteral("Indústria"), QStringLiteral("Padaria"), QStringLiteral("Ótica"),   QStringLiteral("Usina"),
        QStringLiteral("escola"),    QStringLiteral("Mercado"), QStringLiteral("Ônibus"),  QStringLiteral("Zoológico")};
    db::Connection &cnt = app.cnt();
    db::Transaction t(cnt);
    QStringList rows;
    auto flush = [&](bool force) {
        if (rows.isEmpty() || (!force && rows.size() < 1000))
            return;
        cnt.execute(QStringLiteral("INSERT INTO ITENS (ID, NOME_LOCAL, HW_SERIE, ID_PAI, EM_MANUTENCAO, TEM_FILHO, "
                                   "USAR_MASTER_CONFS, USAR_MASTER_LCRED, DATA_INCLUI) VALUES ") +
                    rows.join(QLatin1Char(',')));
        rows.clear();
    };
    const int subBase = 1000000;
    const int readerBase = 2000000;
    int readers = 0;
    for (int c = 1; c <= clients; ++c) {
        const bool hasSub = c % 4 == 0;
        rows << QStringLiteral("(%1, %2, NULL, -1, '0', '1', 0, 0, '2026-01-01 00:00:00')")
                    .arg(c)
                    .arg(
                        sql::quote(words.at(c % words.size()) + QStringLiteral(" %1").arg(c, 4, 10, QLatin1Char('0'))));
        if (hasSub)
            rows << QStringLiteral("(%1, 'SETOR %2', '', %3, '0', '1', 0, 0, '2026-01-01 00:00:00')")
                        .arg(subBase + c)
                        .arg(c)
                        .arg(c);
        for (int r = 0; r < 10; ++r) {
            const int n = c * 10 + r;
            int parent = hasSub && r < 4 ? subBase + c : c;
            if (n % 20 == 0)
                parent = folder::Estoque;
            else if (n % 100 == 1)
                parent = folder::NaoCadastrados;
            rows << QStringLiteral("(%1, %2, %3, %4, '%5', '0', %6, %7, '2026-01-01 00:00:00')")
                        .arg(readerBase + n)
                        .arg(sql::quote(QStringLiteral("LEITOR %1 %2").arg(words.at(n % words.size())).arg(n)))
                        .arg(sql::quote(QStringLiteral("%1").arg(n, 16, 16, QLatin1Char('0')).toUpper()))
                        .arg(parent)
                        .arg(n % 25 == 0 ? 1 : 0)
                        .arg(n % 2 ? c : 0)
                        .arg(n % 3 ? 1 : 0);
            ++readers;
            flush(false);
        }
    }
    flush(true);
    t.commit();
    return readers;
}

double best(int runs, const std::function<void()> &work)
{
    double fastest = 1e30;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        fastest = std::min(fastest, clock.nsecsElapsed() / 1e6);
    }
    return fastest;
}

int countNodes(const TreeNode *n)
{
    int count = 1;
    for (int i = 0; i < n->childCount(); ++i)
        count += countNodes(n->child(i));
    return count;
}

bool runOne(const Options &o, int clients, const QString &odbcIni, const QString &logDir)
{
    const QString name = QStringLiteral("zb_tree_%1").arg(clients);
    if (!createDatabase(o, name, odbcIni))
        return false;
    AnsweringMessages messages;
    AppContext app(messages);
    app.events().setPath(logDir + QStringLiteral("/events_log.htm"));
    app.user = {0, QStringLiteral("ADMIN"), 1};
    bool ok = true;
    try {
        app.cnt().open(QStringLiteral("DSN=") + name + QStringLiteral(";"));
        const int readers = fill(app, clients);
        inicialog(app);

        int rows = 0;
        const double baseline =
            best(o.runs, [&] { rows = app.cnt().query(QStringLiteral("select * from ITENS")).rowCount(); });
        ItemTree tree(app);
        const double load = best(o.runs, [&] { ok = tree.LoadTreeview() && ok; });
        int nodes = 0;
        for (int i = 0; i < tree.topLevelCount(); ++i)
            nodes += countNodes(tree.topLevel(i));
        std::printf("%d clientes x 10 leitores (%d linhas em ITENS, %d entradas na árvore; %s, %s)\n", clients, rows,
                    nodes, qPrintable(tree.installedCounterText()), qPrintable(tree.stockCounterText()));
        std::printf("  LoadTreeview:                 %9.1f ms\n", load);
        std::printf("  select * from ITENS (inteiro): %8.1f ms\n", baseline);
        std::printf("  razão LoadTreeview / select:   %8.2f\n", load / baseline);
        (void)readers;

#ifdef BENCH_TREE_GUI
        TvConfigura tv(app);
        tv.resize(360, 900);
        tv.show();
        QCoreApplication::processEvents();
        tv.setOperational(true);
        const double widgetLoad = best(o.runs, [&] {
            ok = tv.LoadTreeview() && ok;
            QCoreApplication::processEvents();
        });
        QTreeView *view = tv.view();
        ItemTree &t = tv.tree();
        TreeNode *clientes = t.FindFolder(folder::Clientes);
        TreeNode *client = clientes->child(clientes->childCount() / 2);
        const double expandClient = best(1, [&] {
            view->expand(t.indexOf(clientes));
            view->expand(t.indexOf(client));
            QCoreApplication::processEvents();
        });
        TreeNode *installed = t.FindFolder(folder::Instalados);
        const double expandInstalled = best(1, [&] {
            view->expand(t.indexOf(installed));
            view->scrollToBottom();
            QCoreApplication::processEvents();
        });
        TreeNode *mirror = installed->child(installed->childCount() * 2 / 3);
        const QString text = mirror->text();
        const int id = mirror->nodeData().id;
        const double select = best(o.runs, [&] {
            tv.FindKLT(text, id);
            QCoreApplication::processEvents();
        });
        int renames = 0;
        const double rename = best(o.runs, [&] {
            ok = tv.operations().tvConfiguraEdited(client, QStringLiteral("Renomeado %1").arg(++renames)) && ok;
            QCoreApplication::processEvents();
        });
        std::printf("  janela: LoadTreeview          %8.1f ms\n", widgetLoad);
        std::printf("  expandir \"Clientes\" e um cliente %5.1f ms\n", expandClient);
        std::printf("  expandir \"Equipamentos Instalados\" (%d) %5.1f ms\n", installed->childCount(), expandInstalled);
        std::printf("  selecionar um leitor (FindKLT)   %5.1f ms\n", select);
        std::printf("  renomear um cliente              %5.1f ms\n", rename);
#endif
    } catch (const db::DbError &e) {
        std::fprintf(stderr, "bench_tree: %s\n", qPrintable(e.text()));
        ok = false;
    }
    app.cnt().close();
    dropDatabase(o, name);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
#ifdef BENCH_TREE_GUI
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
#else
    QCoreApplication qapp(argc, argv);
#endif
    Options o;
    o.defaultsFile = qEnvironmentVariable("ZENTRO_TEST_MYCNF");
    if (o.defaultsFile.isEmpty())
        o.defaultsFile = QStringLiteral(ZENTRO_SOURCE_DIR "/build/test-services/mariadb/my.cnf");
    for (const QString &a : qapp.arguments().mid(1)) {
        if (a.startsWith(QStringLiteral("--defaults-file="))) {
            o.defaultsFile = a.section(QLatin1Char('='), 1);
        } else if (a.startsWith(QStringLiteral("--clients="))) {
            o.clients.clear();
            for (const QString &n : a.section(QLatin1Char('='), 1).split(QLatin1Char(',')))
                o.clients << n.toInt();
        } else if (a.startsWith(QStringLiteral("--runs="))) {
            o.runs = std::max(1, a.section(QLatin1Char('='), 1).toInt());
        } else {
            std::fprintf(stderr, "uso: bench_tree [--defaults-file=MY.CNF] [--clients=500,2000] [--runs=3]\n");
            return 2;
        }
    }
    if (!QFileInfo::exists(o.defaultsFile)) {
        std::fprintf(stderr, "bench_tree: servidor não encontrado (%s); rode scripts/test-services start\n",
                     qPrintable(o.defaultsFile));
        return 2;
    }
    QTemporaryDir dir;
    const QString odbcIni = dir.path() + QStringLiteral("/odbc.ini");
    qputenv("ODBCINI", odbcIni.toLocal8Bit());
    qputenv("ODBCSYSINI", dir.path().toLocal8Bit());
    QFile(dir.path() + QStringLiteral("/odbcinst.ini")).open(QIODevice::WriteOnly);

    bool ok = true;
    for (int clients : o.clients)
        ok = runOne(o, clients, odbcIni, dir.path()) && ok;
    return ok ? 0 : 1;
}
