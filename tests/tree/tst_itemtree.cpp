// The item tree against the real server: loading, the loading rules, the
// order and the search that relies on it, the look-ups in the tree and in the
// database, and the registration of unknown readers.

#include "ScriptedMessages.h"
#include "TestDatabase.h"
#include "TreeTestHelpers.h"
#include "app/AppContext.h"
#include "app/DbUpdate.h"
#include "app/Startup.h"
#include "tree/ItemLookup.h"
#include "tree/ItemTree.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace zentro;
using namespace treetest;

class TestItemTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void demoTree();
    void readerEntriesFollowTheMasterSwitches_data();
    void readerEntriesFollowTheMasterSwitches();
    void loadingRules();
    void loadFailureLeavesTheFolders();
    void orderAndSearchShareOneComparison_data();
    void orderAndSearchShareOneComparison();
    void searchFallsBackWhereOrderIsUnknown();
    void lookupsInTheTree();
    void findNodeByTextWalksAllHits();
    void clientIdOfItem_data();
    void clientIdOfItem();
    void readerIdBySerial();
    void unregisteredReaderTakesTheServersKey();
    void folderIconsFollowExpansion();

private:
    bool connect(const TestDatabase &db);

    TestDatabase m_demo;
    TestDatabase m_rules;
    QTemporaryDir m_folder;
    ScriptedMessages m_messages;
    std::unique_ptr<AppContext> m_app;
};

void TestItemTree::initTestCase()
{
    qputenv("ZENTRO_NOW", "2026-03-04T05:06:07");
    TestDatabase::Options demo;
    demo.demo = true;
    QVERIFY(m_demo.create(QStringLiteral("itemtree_demo"), demo));
    QVERIFY(m_rules.create(QStringLiteral("itemtree_rules")));
    // Rows that exercise every loading rule.
    QVERIFY(m_rules.runSql(
        QStringLiteral("INSERT INTO ITENS (ID, NOME_LOCAL, HW_SERIE, ID_PAI, EM_MANUTENCAO, TEM_FILHO, EXCLUIDO, "
                       "USAR_MASTER_CONFS) VALUES "
                       // a client whose TEM_FILHO is 0 hides the rows under it
                       "(10, 'Sem Filhos', NULL, -1, '0', '0', '0', 0),"
                       "(11, 'Escondido', 'FFFF000000000011', 10, '0', '0', '0', 0),"
                       // a client with sub-divisions and readers in mixed order
                       "(20, 'Cliente Misto', NULL, -1, '0', '1', '0', 0),"
                       "(21, 'zeta', '', 20, '0', '0', '0', 0),"
                       "(22, 'Alfa', NULL, 20, '0', '0', '0', 0),"
                       "(23, 'Beta', 'FFFF000000000023', 20, '0', '0', '0', 20),"
                       "(24, 'alfa leitor', 'FFFF000000000024', 20, '1', '0', '0', 0),"
                       "(25, 'Apagado', 'FFFF000000000025', 20, '0', '0', '1', 0),"
                       // in stock and in maintenance
                       "(30, 'Reserva', 'FFFF000000000030', -3, '1', '0', '0', -3),"
                       // a row naming its own parent as child must not loop
                       "(-1, 'Raiz', NULL, -1, '0', '1', '0', 0),"
                       "(40, 'Ciclo A', NULL, 41, '0', '1', '0', 0),"
                       "(41, 'Ciclo B', NULL, 40, '0', '1', '0', 0)")));
    // The reserved row -10 hangs under the clients and has children.
    QVERIFY(m_rules.runSql(QStringLiteral("UPDATE ITENS SET TEM_FILHO = '1' WHERE ID = -10;"
                                          "INSERT INTO ITENS (ID, NOME_LOCAL, ID_PAI, TEM_FILHO, EXCLUIDO) "
                                          "VALUES (50, 'Sob Reservado', -10, '0', '0')")));
}

void TestItemTree::init()
{
    m_messages.clear();
    m_app = std::make_unique<AppContext>(m_messages);
    m_app->events().setPath(m_folder.path() + QStringLiteral("/events_log.htm"));
    m_app->user = {1, QStringLiteral("ADMIN"), 1};
}

bool TestItemTree::connect(const TestDatabase &db)
{
    SilentDbUpdateView view;
    return BD_Connect(*m_app, db.connectionString(), view);
}

void TestItemTree::demoTree()
{
    QVERIFY(connect(m_demo));
    ItemTree tree(*m_app);
    QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(tree.LoadTreeview());

    QCOMPARE(topTexts(tree),
             (QStringList{"Clientes", "Equipamentos Instalados", "Estoque", "Manutenção", "Não Cadastrados"}));
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(tree.topLevel(i)->nodeData().id, -1 - i);
        QCOMPARE(tree.topLevel(i)->nodeData().ownerId, 0);
    }
    QCOMPARE(childTexts(at(tree, {"Clientes"})),
             (QStringList{"Colégio Nova Geração", "Hospital São Lucas", "Metalúrgica Açoforte", "Padaria Pão de Ouro",
                          "Transportes Rápido Sul"}));
    // "MasterConf" first, then the sub-divisions, then the readers.
    QCOMPARE(childTexts(at(tree, {"Clientes", "Metalúrgica Açoforte"})),
             (QStringList{"MasterConf", "ADMINISTRAÇÃO", "ÁREA INDUSTRIAL"}));
    QCOMPARE(childTexts(at(tree, {"Clientes", "Hospital São Lucas"})),
             (QStringList{"MasterConf", "PRONTO-SOCORRO", "SALA DE ESPERA (A0B1C2D3E4F50105)"}));
    QCOMPARE(childTexts(at(tree, {"Clientes", "Hospital São Lucas", "MasterConf"})),
             (QStringList{"Configurações", "Lista de Bônus", "Lista de Créditos", "Lista de Grupos",
                          "Lista de Exclusão", "Logs"}));

    TreeNode *r101 =
        at(tree, {"Clientes", "Metalúrgica Açoforte", "ÁREA INDUSTRIAL", "REFEITÓRIO 1 (A0B1C2D3E4F50101)"});
    QVERIFY(r101);
    QCOMPARE(r101->icon(), icon::Reader);
    QCOMPARE(r101->nodeData().id, 101);
    QCOMPARE(r101->nodeData().ownerId, 6);
    QCOMPARE(r101->nodeData().clientName, QStringLiteral("Metalúrgica Açoforte"));
    QCOMPARE(r101->nodeData().name, QStringLiteral("REFEITÓRIO 1"));
    QCOMPARE(r101->nodeData().serial, QStringLiteral("A0B1C2D3E4F50101"));
    QCOMPARE(childTexts(r101), (QStringList{"Tabelas", "Configurações", "Logs", "Propriedades"}));
    QCOMPARE(childTexts(r101->child(0)),
             (QStringList{"Lista de Bônus", "Lista de Créditos", "Lista de Grupos", "Lista de Exclusão",
                          "Lista de Produtos", "Lista de Autoformatação"}));
    QCOMPARE(r101->child(0)->child(0)->nodeData().ownerId, 101);
    QCOMPARE(tree.data(tree.indexOf(r101), Qt::ToolTipRole).toString(),
             QStringLiteral("Pertence ao Cliente: Metalúrgica Açoforte"));

    // A reader in maintenance at a client shows three times.
    const QList<TreeNode *> r102 = entriesWithId(tree, 102);
    QCOMPARE(r102.size(), 3);
    QCOMPARE(tree.topFolderOf(r102[0])->text(), QStringLiteral("Clientes"));
    QCOMPARE(r102[1]->parent()->text(), QStringLiteral("Equipamentos Instalados"));
    QCOMPARE(r102[2]->parent()->text(), QStringLiteral("Manutenção"));
    for (TreeNode *n : r102) {
        QCOMPARE(n->icon(), icon::ReaderMaintenance);
        QCOMPARE(n->text(), QStringLiteral("REFEITÓRIO 2 (A0B1C2D3E4F50102)"));
        QCOMPARE(n->nodeData().clientName, QStringLiteral("Metalúrgica Açoforte"));
    }
    QCOMPARE(r102[1]->nodeData().ownerId, folder::Instalados);
    QCOMPARE(r102[2]->nodeData().ownerId, folder::Manutencao);

    QCOMPARE(
        childTexts(at(tree, {"Equipamentos Instalados"})),
        (QStringList{"CANTINA (A0B1C2D3E4F50106)", "CORREDOR A (A0B1C2D3E4F50104)", "ESCRITÓRIO (A0B1C2D3E4F50109)",
                     "GARAGEM (A0B1C2D3E4F50108)", "LOJA CENTRO (A0B1C2D3E4F50110)", "PÁTIO (A0B1C2D3E4F50107)",
                     "RECEPÇÃO (A0B1C2D3E4F50103)", "REFEITÓRIO 1 (A0B1C2D3E4F50101)",
                     "REFEITÓRIO 2 (A0B1C2D3E4F50102)", "SALA DE ESPERA (A0B1C2D3E4F50105)"}));
    QCOMPARE(childTexts(at(tree, {"Manutenção"})),
             (QStringList{"PÁTIO (A0B1C2D3E4F50107)", "REFEITÓRIO 2 (A0B1C2D3E4F50102)"}));
    TreeNode *stock = at(tree, {"Estoque", "LEITOR RESERVA 1 (A0B1C2D3E4F50111)"});
    QVERIFY(stock);
    QVERIFY(!stock->hasChildren());
    QCOMPARE(stock->nodeData().clientName, QStringLiteral("LEITOR RESERVA 1 (A0B1C2D"));
    TreeNode *unregistered = at(tree, {"Não Cadastrados", "A0B1C2D3E4F50115 (A0B1C2D3E4F50115)"});
    QVERIFY(unregistered);
    QCOMPARE(unregistered->nodeData().ownerId, folder::NaoCadastrados);

    QCOMPARE(tree.installedCounterText(), QStringLiteral("Leitores Instalados: 10"));
    QCOMPARE(tree.stockCounterText(), QStringLiteral("Em Estoque: 4"));
    // Auxiliary entries carry no hint.
    QVERIFY(tree.data(tree.indexOf(r101->child(0)), Qt::ToolTipRole).isNull());
}

void TestItemTree::readerEntriesFollowTheMasterSwitches_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QList<int>>("tableIcons");
    QTest::addColumn<int>("configIcon");
    const QList<int> own = {33, 33, 33, 27, 33, 33};
    QTest::newRow("own data") << QStringList{"Metalúrgica Açoforte", "ÁREA INDUSTRIAL",
                                             "REFEITÓRIO 1 (A0B1C2D3E4F50101)"}
                              << own << 33;
    QTest::newRow("master data") << QStringList{"Metalúrgica Açoforte", "ÁREA INDUSTRIAL",
                                                "REFEITÓRIO 2 (A0B1C2D3E4F50102)"}
                                 << QList<int>{27, 27, 27, 27, 33, 27} << 27;
    QTest::newRow("mixed") << QStringList{"Metalúrgica Açoforte", "ADMINISTRAÇÃO", "RECEPÇÃO (A0B1C2D3E4F50103)"}
                           << QList<int>{27, 33, 27, 27, 33, 27} << 33;
}

void TestItemTree::readerEntriesFollowTheMasterSwitches()
{
    QFETCH(QStringList, path);
    QFETCH(QList<int>, tableIcons);
    QFETCH(int, configIcon);
    QVERIFY(connect(m_demo));
    ItemTree tree(*m_app);
    QVERIFY(tree.LoadTreeview());
    TreeNode *reader = at(tree, QStringList{"Clientes"} + path);
    QVERIFY(reader);
    QList<int> icons;
    for (int i = 0; i < reader->child(0)->childCount(); ++i)
        icons << reader->child(0)->child(i)->icon();
    QCOMPARE(icons, tableIcons);
    QCOMPARE(reader->child(0)->icon(), icon::Tabelas);
    QCOMPARE(reader->child(1)->icon(), configIcon);
    QCOMPARE(reader->child(2)->icon(), icon::ReaderLogs);
    QCOMPARE(reader->child(3)->icon(), icon::Properties);
}

void TestItemTree::loadingRules()
{
    QVERIFY(connect(m_rules));
    ItemTree tree(*m_app);
    QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(tree.LoadTreeview());

    // TEM_FILHO '0': only "MasterConf", though a row names it as parent.
    QCOMPARE(childTexts(at(tree, {"Clientes", "Sem Filhos"})), QStringList{"MasterConf"});
    QVERIFY(entriesWithId(tree, 11).isEmpty());

    // MasterConf, folders, readers; an empty serial makes a folder; deleted rows never show.
    TreeNode *mixed = at(tree, {"Clientes", "Cliente Misto"});
    QCOMPARE(childTexts(mixed),
             (QStringList{"MasterConf", "Alfa", "zeta", "alfa leitor (FFFF000000000024)", "Beta (FFFF000000000023)"}));
    QCOMPARE(mixed->child(2)->icon(), icon::FolderClosed);
    QVERIFY(entriesWithId(tree, 25).isEmpty());

    // In stock and in maintenance: stock and maintenance, never installed, no entries under it.
    const QList<TreeNode *> reserve = entriesWithId(tree, 30);
    QCOMPARE(reserve.size(), 2);
    QCOMPARE(reserve[0]->parent()->text(), QStringLiteral("Estoque"));
    QCOMPARE(reserve[1]->parent()->text(), QStringLiteral("Manutenção"));
    QVERIFY(!reserve[0]->hasChildren());
    QCOMPARE(reserve[0]->icon(), icon::ReaderMaintenance);
    QCOMPARE(reserve[1]->nodeData().clientName, QStringLiteral("Reserva (FFFF000000000030"));

    // The reserved row and what hangs under it never show.
    QVERIFY(entriesWithId(tree, -10).isEmpty());
    QVERIFY(entriesWithId(tree, 50).isEmpty());
    // A row that names a fixed folder's identifier as its own shows once, and
    // rows that name each other as parents never show.
    QCOMPARE(entriesWithId(tree, -1).size(), 2); // the folder and "Raiz"
    QCOMPARE(childTexts(at(tree, {"Clientes", "Raiz"})), QStringList{"MasterConf"});
    QVERIFY(entriesWithId(tree, 40).isEmpty());
    QCOMPARE(tree.installedCounterText(), QStringLiteral("Leitores Instalados: 2"));
    QCOMPARE(tree.stockCounterText(), QStringLiteral("Em Estoque: 1"));
}

void TestItemTree::loadFailureLeavesTheFolders()
{
    QVERIFY(connect(m_demo));
    ItemTree tree(*m_app);
    QVERIFY(tree.LoadTreeview());
    m_app->cnt().close();
    m_messages.expect(QStringLiteral("Erro ao carregar estrutura da árvore de clientes."), QStringLiteral("Erro"),
                      mb::IconError);
    QVERIFY(!tree.LoadTreeview());
    QVERIFY(m_messages.allShown());
    // What the database could not confirm is not shown.
    QCOMPARE(tree.topLevelCount(), 5);
    for (int i = 0; i < 5; ++i)
        QVERIFY(!tree.topLevel(i)->hasChildren());
    QFile log(m_app->events().path());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(log.readAll()); // the event file is Windows-1252
    QVERIFY(text.contains(QStringLiteral("Erro ao CARREGAR a estrutura do Treeview (Função: LoadTreeview): "
                                         "Selecionando registros da tabela ITENS")));
}

void TestItemTree::orderAndSearchShareOneComparison_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("expectedId"); // -1: absent

    QTest::newRow("accented capital") << "ÁREA INDUSTRIAL" << -99 << 1;
    QTest::newRow("accented, lower case key") << "área industrial" << -99 << 1;
    QTest::newRow("unaccented twin") << "AREA INDUSTRIAL" << -99 << 2;
    QTest::newRow("cedilla") << "AÇÃO" << -99 << 3;
    QTest::newRow("cedilla, mixed case") << "ação" << -99 << 3;
    QTest::newRow("same text, first id") << "Pátio" << 5 << 5;
    QTest::newRow("same text, second id") << "Pátio" << 6 << 6;
    QTest::newRow("same text, other case, any id") << "PÁTIO" << -99 << 5;
    QTest::newRow("accented short word") << "zé" << -99 << 9;
    QTest::newRow("accented initial") << "ábaco" << -99 << 10;
    QTest::newRow("last entry") << "ZEBRA" << 12 << 12;
    QTest::newRow("absent text") << "AREA" << -99 << -1;
    QTest::newRow("present text, absent id") << "Pátio" << 7 << -1;
}

void TestItemTree::orderAndSearchShareOneComparison()
{
    QFETCH(QString, key);
    QFETCH(int, id);
    QFETCH(int, expectedId);
    QVERIFY(connect(m_rules));
    ItemTree tree(*m_app);
    QVERIFY(tree.LoadTreeview());
    TreeNode *stock = tree.FindFolder(folder::Estoque);
    const QList<std::pair<QString, int>> entries = {
        {"ÁREA INDUSTRIAL", 1}, {"AREA INDUSTRIAL", 2}, {"AÇÃO", 3},  {"Acao", 4},
        {"Pátio", 5},           {"Pátio", 6},           {"patio", 8}, {"ZÉ", 9},
        {"Ábaco", 10},          {"abacate", 11},        {"Zebra", 12}};
    for (const auto &[text, entryId] : entries) {
        ItemNodeData d;
        d.id = entryId;
        tree.addEntry(stock, text, icon::Reader, d);
    }
    tree.sortChildren(stock);
    QVERIFY(stock->childrenInOrder());
    // The order the tree shows is the locale's, letters before case.
    QStringList shown = childTexts(stock);
    shown.removeAll(QStringLiteral("Reserva (FFFF000000000030)"));
    QCOMPARE(shown.indexOf("abacate") < shown.indexOf("Ábaco"), true);
    QVERIFY(shown.indexOf("Ábaco") < shown.indexOf("Acao"));
    QVERIFY(shown.indexOf("AREA INDUSTRIAL") < shown.indexOf("ÁREA INDUSTRIAL"));
    QVERIFY(shown.indexOf("ÁREA INDUSTRIAL") < shown.indexOf("patio"));
    QVERIFY(shown.indexOf("ZÉ") < shown.indexOf("Zebra"));

    const int row = tree.FindNodeBinSearch(stock, key, id);
    if (expectedId < 0) {
        QCOMPARE(row, -1);
    } else {
        QVERIFY2(row >= 0, qPrintable(key));
        QCOMPARE(stock->child(row)->nodeData().id, expectedId);
        QCOMPARE(stock->child(row)->text().toUpper(), key.toUpper());
    }
    // The same search finds and removes the entry.
    if (expectedId >= 0) {
        QVERIFY(tree.FindDelNode(key, id, folder::Estoque, true));
        QCOMPARE(tree.FindNodeBinSearch(stock, key, expectedId), -1);
    } else {
        QVERIFY(!tree.FindDelNode(key, id, folder::Estoque, true));
    }
}

void TestItemTree::searchFallsBackWhereOrderIsUnknown()
{
    QVERIFY(connect(m_rules));
    ItemTree tree(*m_app);
    QVERIFY(tree.LoadTreeview());
    TreeNode *stock = tree.FindFolder(folder::Estoque);
    for (const QString &text : {QStringLiteral("Bravo"), QStringLiteral("Delta"), QStringLiteral("Foxtrot")}) {
        ItemNodeData d;
        d.id = 70 + int(text.size());
        tree.addEntrySorted(stock, text, icon::Reader, d);
    }
    QVERIFY(stock->childrenInOrder());
    // Appended out of order, as other windows may do: a binary search would miss it.
    ItemNodeData d;
    d.id = 99;
    tree.addEntry(stock, QStringLiteral("Alfa"), icon::Reader, d);
    QVERIFY(!stock->childrenInOrder());
    const int row = tree.FindNodeBinSearch(stock, QStringLiteral("ALFA"), 99);
    QCOMPARE(row, stock->childCount() - 1);
    // A renamed entry makes its folder's order unknown too.
    tree.sortChildren(stock);
    tree.setEntryText(stock->child(0), QStringLiteral("Zulu"));
    QCOMPARE(tree.FindNodeBinSearch(stock, QStringLiteral("zulu"), 99), 0);
}

void TestItemTree::lookupsInTheTree()
{
    QVERIFY(connect(m_demo));
    ItemTree tree(*m_app);
    QVERIFY(tree.LoadTreeview());
    const QString r102 = QStringLiteral("REFEITÓRIO 2 (A0B1C2D3E4F50102)");

    // FindKLT: the entry under "Clientes", else the one in "Estoque".
    TreeNode *hit = tree.FindKLT(r102, 102);
    QVERIFY(hit);
    QCOMPARE(hit->parent()->text(), QStringLiteral("ÁREA INDUSTRIAL"));
    QCOMPARE(tree.FindKLT(r102.toLower(), 102), hit);
    TreeNode *stockHit = tree.FindKLT(QStringLiteral("LEITOR RESERVA 3 (A0B1C2D3E4F50113)"), 113);
    QVERIFY(stockHit);
    QCOMPARE(stockHit->parent()->text(), QStringLiteral("Estoque"));
    QVERIFY(!tree.FindKLT(r102, 999));
    QVERIFY(!tree.FindKLT(QStringLiteral("A0B1C2D3E4F50115 (A0B1C2D3E4F50115)"), 115));

    // Find_In_Node answers the absolute index of the hit.
    TreeNode *found = nullptr;
    const int index = tree.Find_In_Node(tree.topLevel(0), r102, 102, &found);
    QCOMPARE(found, hit);
    QCOMPARE(tree.nodeAtAbsoluteIndex(index), hit);
    QCOMPARE(tree.absoluteIndex(hit), index);
    QCOMPARE(tree.absoluteIndex(tree.topLevel(0)), 0);
    QCOMPARE(tree.nodeAtAbsoluteIndex(1)->text(), QStringLiteral("Colégio Nova Geração"));

    // FindNode: mode 0 checks the start entry and descends; mode 1 matches leaves only.
    QCOMPARE(tree.FindNode(tree.topLevel(0), QStringLiteral("hospital são lucas"), found, 0),
             tree.absoluteIndex(at(tree, {"Clientes", "Hospital São Lucas"})));
    QCOMPARE(found->nodeData().id, 2);
    QCOMPARE(tree.FindNode(tree.topLevel(0), QStringLiteral("Hospital São Lucas"), found, 1), -1);
    QVERIFY(tree.FindNode(tree.topLevel(0), QStringLiteral("LOGS"), found, 1) > 0);
    QCOMPARE(found->icon(), icon::MasterLogs);

    // ClientNodeOf: the top-level client; none for a stock reader or a folder.
    QCOMPARE(tree.ClientNodeOf(hit)->nodeData().id, 1);
    QCOMPARE(tree.ClientNodeOf(hit->child(0)->child(2))->nodeData().id, 1);
    QCOMPARE(tree.ClientNodeOf(at(tree, {"Clientes", "Hospital São Lucas"}))->nodeData().id, 2);
    QVERIFY(!tree.ClientNodeOf(stockHit));
    QVERIFY(!tree.ClientNodeOf(tree.topLevel(0)));

    // Leitores_IDs_List: every reader below, at any depth, never "MasterConf".
    QStringList names;
    QVERIFY(tree.Leitores_IDs_List(at(tree, {"Clientes", "Metalúrgica Açoforte"}), names, true));
    QCOMPARE(names, (QStringList{"RECEPÇÃO (A0B1C2D3E4F50103)", "REFEITÓRIO 1 (A0B1C2D3E4F50101)", r102}));
    QStringList ids;
    QVERIFY(tree.Leitores_IDs_List(at(tree, {"Clientes"}), ids, false));
    QCOMPARE(ids.size(), 10);
    ids.clear();
    QVERIFY(tree.Leitores_IDs_List(hit, ids, true));
    QCOMPARE(ids, QStringList{"102"});
}

void TestItemTree::findNodeByTextWalksAllHits()
{
    QVERIFY(connect(m_demo));
    ItemTree tree(*m_app);
    QVERIFY(tree.LoadTreeview());
    // Each reader of the demo carries its serial in three places at most.
    QList<int> hits;
    int position = -1;
    for (;;) {
        TreeNode *found = nullptr;
        position = tree.FindNodeByText(QStringLiteral("e4f50102"), position < 0 ? -1 : position + 1, &found);
        if (position < 0)
            break;
        QCOMPARE(found->nodeData().id, 102);
        hits << position;
        QVERIFY(hits.size() <= 3);
    }
    QCOMPARE(hits.size(), 3);
    QVERIFY(hits[0] < hits[1] && hits[1] < hits[2]);
    QCOMPARE(tree.FindNodeByText(QStringLiteral("NINGUÉM"), 0), -1);
}

void TestItemTree::clientIdOfItem_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("client");
    QTest::newRow("client") << 1 << 1;
    QTest::newRow("sub-division") << 6 << 1;
    QTest::newRow("reader two levels down") << 101 << 1;
    QTest::newRow("reader at the client") << 105 << 2;
    QTest::newRow("stock reader") << 111 << -1;
    QTest::newRow("unregistered reader") << 115 << -1;
    QTest::newRow("no such item") << 99999 << -1;
    QTest::newRow("rows naming each other") << 901 << -1;
}

void TestItemTree::clientIdOfItem()
{
    QFETCH(int, item);
    QFETCH(int, client);
    QVERIFY(connect(m_demo));
    m_app->cnt().execute(QStringLiteral("INSERT IGNORE INTO ITENS (ID, NOME_LOCAL, ID_PAI) VALUES "
                                        "(901, 'LOOP A', 902), (902, 'LOOP B', 901)"));
    QCOMPARE(getClientIDofItem(*m_app, item), client);
}

void TestItemTree::readerIdBySerial()
{
    QVERIFY(connect(m_demo));
    QCOMPARE(getReaderIdBySerial(*m_app, QStringLiteral("A0B1C2D3E4F50101")), 101);
    QCOMPARE(getReaderIdBySerial(*m_app, QStringLiteral("0000000000000000")), -1);
    // A deleted row with the same serial does not count; a live one does.
    m_app->cnt().execute(QStringLiteral("INSERT INTO ITENS (ID, NOME_LOCAL, HW_SERIE, ID_PAI, EXCLUIDO) VALUES "
                                        "(950, 'VELHO', 'A0B1C2D3E4F50106', -3, '1')"));
    QCOMPARE(getReaderIdBySerial(*m_app, QStringLiteral("A0B1C2D3E4F50106")), 106);
    m_app->cnt().execute(QStringLiteral("INSERT INTO ITENS (ID, NOME_LOCAL, HW_SERIE, ID_PAI, EXCLUIDO) VALUES "
                                        "(951, 'GÊMEO', 'A0B1C2D3E4F50106', -3, '0')"));
    QCOMPARE(getReaderIdBySerial(*m_app, QStringLiteral("A0B1C2D3E4F50106")), -1);
    m_app->cnt().execute(QStringLiteral("DELETE FROM ITENS WHERE ID IN (950, 951)"));
}

void TestItemTree::unregisteredReaderTakesTheServersKey()
{
    TestDatabase db;
    TestDatabase::Options demo;
    demo.demo = true;
    QVERIFY(db.create(QStringLiteral("itemtree_unreg"), demo));
    QVERIFY(connect(db));
    ItemTree tree(*m_app);
    QVERIFY(tree.LoadTreeview());
    // A gap in the key sequence: the highest ID plus one is not the next key.
    m_app->cnt().execute(QStringLiteral("INSERT INTO ITENS (ID, NOME_LOCAL, ID_PAI) VALUES (7000, 'X', -3)"));
    m_app->cnt().execute(QStringLiteral("DELETE FROM ITENS WHERE ID = 7000"));

    int id = 0;
    const QString serial = QStringLiteral("00AB00CD00EF0012");
    QVERIFY(InserirLeitorNaoCadastrado(*m_app, serial, id));
    QCOMPARE(id, 7001);
    QCOMPARE(scalar(*m_app, QStringLiteral("select concat(HW_SERIE, '|', NOME_LOCAL, '|', ID_PAI, '|', TEM_FILHO) "
                                           "from ITENS where ID = ") +
                                QString::number(id)),
             serial + QStringLiteral("|") + serial + QStringLiteral("|-5|0"));
    QCOMPARE(getReaderIdBySerial(*m_app, serial), id);

    TreeNode *entry = tree.addUnregisteredReader(id, serial);
    QCOMPARE(childTexts(tree.FindFolder(folder::NaoCadastrados)),
             (QStringList{"00AB00CD00EF0012 (00AB00CD00EF0012)", "A0B1C2D3E4F50115 (A0B1C2D3E4F50115)"}));
    QCOMPARE(entry->nodeData().ownerId, folder::NaoCadastrados);
    QCOMPARE(entry->icon(), icon::Reader);

    // A serial longer than the name column still registers the reader.
    const QString longSerial = QStringLiteral("0123456789ABCDEF0123456789ABCDEF");
    QVERIFY(InserirLeitorNaoCadastrado(*m_app, longSerial, id));
    QCOMPARE(getReaderIdBySerial(*m_app, longSerial), id);
    db.drop();
}

void TestItemTree::folderIconsFollowExpansion()
{
    QVERIFY(connect(m_demo));
    ItemTree tree(*m_app);
    QVERIFY(tree.LoadTreeview());
    TreeNode *clientes = tree.topLevel(0);
    TreeNode *client = at(tree, {"Clientes", "Hospital São Lucas"});
    TreeNode *master = client->child(0);
    QCOMPARE(tree.effectiveIcon(clientes), icon::FolderClosed);
    QCOMPARE(tree.effectiveIcon(client), icon::FolderClosed);
    QCOMPARE(tree.effectiveIcon(master), icon::MasterConfClosed);
    QSignalSpy changed(&tree, &QAbstractItemModel::dataChanged);
    tree.setExpanded(clientes, true);
    tree.setExpanded(client, true);
    tree.setExpanded(master, true);
    QCOMPARE(changed.size(), 3);
    QCOMPARE(tree.effectiveIcon(clientes), icon::FolderOpen);
    QCOMPARE(tree.effectiveIcon(client), icon::FolderOpen);
    QCOMPARE(tree.effectiveIcon(master), icon::MasterConfOpen);
    QCOMPARE(tree.data(tree.indexOf(master), ItemTree::IconRole).toInt(), icon::MasterConfOpen);
    // Collapsing all levels asks the views to follow.
    QSignalSpy collapse(&tree, &ItemTree::collapseRequested);
    tree.collapse(clientes, true);
    QCOMPARE(collapse.size(), 3);
    QCOMPARE(tree.effectiveIcon(master), icon::MasterConfClosed);
    QCOMPARE(tree.effectiveIcon(client), icon::FolderClosed);
}

QTEST_GUILESS_MAIN(TestItemTree)
#include "tst_itemtree.moc"
