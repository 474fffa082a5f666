// The tree operations against the real server: naming in place, new clients,
// CreateNodes, and deletion with its cascade, the move to stock and the
// archive of deleted readers. Every test starts from a fresh demo database.

#include "ScriptedMessages.h"
#include "TestDatabase.h"
#include "TreeTestHelpers.h"
#include "app/AppContext.h"
#include "app/DbUpdate.h"
#include "app/Startup.h"
#include "audit/AuditTrail.h"
#include "tree/ItemTree.h"
#include "tree/TreeOperations.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace zentro;
using namespace treetest;

namespace {
constexpr int AskYesNo = mb::YesNo | mb::IconQuestion | mb::DefaultButton2;             // 292
constexpr int AskYesNoCancel = mb::YesNoCancel | mb::IconQuestion | mb::DefaultButton2; // 291
} // namespace

class TestTreeOperations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rename_data();
    void rename();
    void renameTellsTheReadersOfTheNewName();
    void renameFailingInTheDatabase();
    void newClient();
    void newClientFailureLeavesNoRow();
    void deleteClient_data();
    void deleteClient();
    void moveToStockKeepsNamesApart();
    void deleteThroughTheInstalledMirror();
    void deleteStockReaderInMaintenance();
    void parentFlag_data();
    void parentFlag();
    void failureHalfWayUndoesTheDeletion();
    void createNodesForAReader();
    void createNodesReusesTheSerialsRow();
    void createNodesForMirrorsAndMaintenance();
    void offeredCommands_data();
    void offeredCommands();

private:
    void load();
    QList<int> routinesSince(int mark);
    int lastRoutine();
    QString itemColumn(int id, const QString &column);
    void trigger(const QString &table, const QString &timing, const QString &condition);

    TestDatabase m_db;
    QTemporaryDir m_folder;
    ScriptedMessages m_messages;
    std::unique_ptr<AppContext> m_app;
    std::unique_ptr<ItemTree> m_tree;
    std::unique_ptr<TreeOperations> m_ops;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

void TestTreeOperations::initTestCase()
{
    qputenv("ZENTRO_NOW", "2026-03-04T05:06:07");
}

void TestTreeOperations::init()
{
    m_messages.clear();
    m_app = std::make_unique<AppContext>(m_messages);
    QVERIFY(
        openDemoAsAdmin(m_db, QStringLiteral("treeops"), *m_app, m_folder.path() + QStringLiteral("/events_log.htm")));
}

void TestTreeOperations::cleanup()
{
    QVERIFY2(m_messages.allShown(), "a message the test expected was not shown");
    m_tester.reset();
    m_ops.reset();
    m_tree.reset();
    m_app.reset();
    m_db.drop();
}

void TestTreeOperations::load()
{
    m_tree = std::make_unique<ItemTree>(*m_app);
    m_tester = std::make_unique<QAbstractItemModelTester>(m_tree.get(),
                                                          QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_ops = std::make_unique<TreeOperations>(*m_app, *m_tree);
    QVERIFY(m_tree->LoadTreeview());
}

QList<int> TestTreeOperations::routinesSince(int mark)
{
    QList<int> codes;
    const db::ResultSet rs = m_app->cnt().query(
        QStringLiteral("select MOV_ROTINA from TAB_MOV_USU where MOV_NUM > ? order by MOV_NUM"), {mark});
    for (const QVariantList &row : rs.rows())
        codes << row.at(0).toInt();
    return codes;
}

int TestTreeOperations::lastRoutine()
{
    return scalar(*m_app, QStringLiteral("select coalesce(max(MOV_NUM), 0) from TAB_MOV_USU")).toInt();
}

QString TestTreeOperations::itemColumn(int id, const QString &column)
{
    return scalar(*m_app,
                  QStringLiteral("select ") + column + QStringLiteral(" from ITENS where ID = ") + QString::number(id));
}

// A trigger that makes the server refuse a statement, to stand for a failure
// half-way through an operation.
void TestTreeOperations::trigger(const QString &table, const QString &timing, const QString &condition)
{
    QVERIFY(m_db.runSql(QStringLiteral("DELIMITER //\nCREATE TRIGGER tst_fail_%1 %2 ON %1 FOR EACH ROW BEGIN "
                                       "IF %3 THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'falha simulada'; "
                                       "END IF; END//\nDELIMITER ;\n")
                            .arg(table, timing, condition)));
}

// --- naming in place -------------------------------------------------------------------------------------------

void TestTreeOperations::rename_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: refused
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("flags");

    const QString invalid = QStringLiteral("Nome inválido");
    QTest::newRow("blanks around and inside") << "  Nova   Loja  "
                                              << "Nova Loja"
                                              << ""
                                              << "" << 0;
    QTest::newRow("30 characters") << "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234"
                                   << "ABCDEFGHIJKLMNOPQRSTUVWXY"
                                   << ""
                                   << "" << 0;
    QTest::newRow("cut leaves no trailing blank") << "ABCDEFGHIJKLMNOPQRSTUVWX YZ"
                                                  << "ABCDEFGHIJKLMNOPQRSTUVWX"
                                                  << ""
                                                  << "" << 0;
    QTest::newRow("own name in other case") << "padaria pão de ouro"
                                            << "padaria pão de ouro"
                                            << ""
                                            << "" << 0;
    QTest::newRow("deleted sibling's name") << "Antigo Cliente"
                                            << "Antigo Cliente"
                                            << ""
                                            << "" << 0;
    QTest::newRow("empty") << "    "
                           << ""
                           << "É obrigatória a definição de um nome." << invalid << 16;
    QTest::newRow("slash") << "Loja/Centro"
                           << ""
                           << "Existe um ou mais caracteres inválidos no nome." << invalid << 48;
    QTest::newRow("quote") << "D'Oeste"
                           << ""
                           << "Existe um ou mais caracteres inválidos no nome." << invalid << 48;
    QTest::newRow("double quote") << "Loja \"A\""
                                  << ""
                                  << "Existe um ou mais caracteres inválidos no nome." << invalid << 48;
    QTest::newRow("manutenção") << "manutenção"
                                << ""
                                << "Nome não permitido." << invalid << 16;
    QTest::newRow("Lista de Bonus") << "Lista de Bonus"
                                    << ""
                                    << "Nome não permitido." << invalid << 16;
    QTest::newRow("MasterConf mixed case") << "mAsTeRcOnF"
                                           << ""
                                           << "Nome não permitido." << invalid << 16;
    QTest::newRow("reserved after trimming") << "  Clientes "
                                             << ""
                                             << "Nome não permitido." << invalid << 16;
    QTest::newRow("live sibling") << "colégio nova geração"
                                  << ""
                                  << "Já existe outro item com o mesmo nome dentro dessa pasta."
                                  << "Nome redundante" << 48;
}

void TestTreeOperations::rename()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, message);
    QFETCH(QString, caption);
    QFETCH(int, flags);
    m_app->cnt().execute(QStringLiteral("INSERT INTO ITENS (NOME_LOCAL, ID_PAI, EXCLUIDO) VALUES "
                                        "('Antigo Cliente', -1, '1')"));
    load();
    TreeNode *client = at(*m_tree, {"Clientes", "Padaria Pão de Ouro"});
    QVERIFY(client);
    const int mark = lastRoutine();
    if (!message.isEmpty())
        m_messages.expect(message, caption, flags);

    const bool renamed = m_ops->tvConfiguraEdited(client, typed);
    QCOMPARE(renamed, !stored.isEmpty());
    if (stored.isEmpty()) {
        QCOMPARE(client->text(), QStringLiteral("Padaria Pão de Ouro"));
        QCOMPARE(itemColumn(5, "NOME_LOCAL"), QStringLiteral("Padaria Pão de Ouro"));
        QVERIFY(routinesSince(mark).isEmpty());
        return;
    }
    QCOMPARE(client->text(), stored);
    QCOMPARE(itemColumn(5, "NOME_LOCAL"), stored);
    QCOMPARE(routinesSince(mark), QList<int>{16});
    QCOMPARE(scalar(*m_app, "select concat(MOV_ATIV, '|', MOV_CLIENTE) from TAB_MOV_USU order by MOV_NUM desc limit 1"),
             QStringLiteral("Alterado nome Cliente para ") + stored + QStringLiteral("|5"));
    // The level is in order again.
    QStringList clients = childTexts(m_tree->topLevel(0));
    QStringList sorted = clients;
    std::sort(sorted.begin(), sorted.end(),
              [this](const QString &a, const QString &b) { return m_tree->compareTexts(a, b) < 0; });
    QCOMPARE(clients, sorted);
}

void TestTreeOperations::renameTellsTheReadersOfTheNewName()
{
    load();
    TreeNode *client = at(*m_tree, {"Clientes", "Metalúrgica Açoforte"});
    QVERIFY(m_ops->tvConfiguraEdited(client, QStringLiteral("Açoforte Aços")));
    for (TreeNode *n : entriesWithId(*m_tree, 102))
        QCOMPARE(n->nodeData().clientName, QStringLiteral("Açoforte Aços"));
    // An unchanged name stores and records nothing.
    const int mark = lastRoutine();
    QVERIFY(!m_ops->tvConfiguraEdited(client, QStringLiteral(" Açoforte  Aços ")));
    QVERIFY(routinesSince(mark).isEmpty());
    // Readers and mirrors cannot be renamed at all.
    QVERIFY(!m_ops->tvConfiguraEdited(entriesWithId(*m_tree, 102).first(), QStringLiteral("X")));
    QVERIFY(!m_tree->canRename(m_tree->topLevel(0)));
    QVERIFY(!m_tree->canRename(client->child(0)));
    QVERIFY(m_tree->canRename(at(*m_tree, {"Clientes", "Açoforte Aços", "ÁREA INDUSTRIAL"})));
}

void TestTreeOperations::renameFailingInTheDatabase()
{
    trigger(QStringLiteral("ITENS"), QStringLiteral("BEFORE UPDATE"), QStringLiteral("NEW.NOME_LOCAL = 'Falha'"));
    load();
    TreeNode *sub = at(*m_tree, {"Clientes", "Hospital São Lucas", "PRONTO-SOCORRO"});
    m_messages.expect(QStringLiteral("Erro ao editar o nome do item."), QStringLiteral("Erro"), mb::IconError);
    QVERIFY(!m_ops->tvConfiguraEdited(sub, QStringLiteral("Falha")));
    QCOMPARE(sub->text(), QStringLiteral("PRONTO-SOCORRO"));
    QCOMPARE(itemColumn(8, "NOME_LOCAL"), QStringLiteral("PRONTO-SOCORRO"));
}

// --- new client ------------------------------------------------------------------------------------------------

void TestTreeOperations::newClient()
{
    load();
    TreeNode *clientes = m_tree->topLevel(0);
    const int mark = lastRoutine();
    TreeNode *first = m_ops->NovoCliente(clientes);
    QVERIFY(first);
    QCOMPARE(first->text(), QStringLiteral("Novo Cliente"));
    const int id = first->nodeData().id;
    QVERIFY(id > 115);
    QCOMPARE(first->nodeData().ownerId, folder::Clientes);
    QCOMPARE(first->icon(), icon::FolderClosed);
    QCOMPARE(childTexts(first), QStringList{"MasterConf"});
    QCOMPARE(childTexts(first->child(0)),
             (QStringList{"Configurações", "Lista de Bônus", "Lista de Créditos", "Lista de Grupos",
                          "Lista de Exclusão", "Lista de Auto formatação", "Logs"}));
    QCOMPARE(first->child(0)->child(6)->nodeData().ownerId, id);
    QCOMPARE(scalar(*m_app, QStringLiteral("select concat(NOME_LOCAL, '|', ID_PAI, '|', TEM_FILHO, '|', EXCLUIDO, '|', "
                                           "DATA_INCLUI) from ITENS where ID = ") +
                                QString::number(id)),
             QStringLiteral("Novo Cliente|-1|0|0|2026-03-04 05:06:07"));
    QCOMPARE(routinesSince(mark), QList<int>{15});
    QCOMPARE(scalar(*m_app, "select MOV_ATIV from TAB_MOV_USU order by MOV_NUM desc limit 1"),
             QStringLiteral("Cliente nr ") + QString::number(id) + QStringLiteral(" - Novo Cliente"));

    TreeNode *second = m_ops->NovoCliente(clientes);
    QVERIFY(second);
    QCOMPARE(second->text(), QStringLiteral("Novo Cliente #1"));
    QCOMPARE(childTexts(clientes).mid(3, 2), (QStringList{"Novo Cliente", "Novo Cliente #1"}));
    // Offered on "Clientes" only.
    QVERIFY(!m_ops->NovoCliente(m_tree->FindFolder(folder::Estoque)));
}

void TestTreeOperations::newClientFailureLeavesNoRow()
{
    trigger(QStringLiteral("ITENS"), QStringLiteral("BEFORE UPDATE"),
            QStringLiteral("NEW.NOME_LOCAL LIKE 'Novo Cliente%'"));
    load();
    const QString before = scalar(*m_app, QStringLiteral("select count(*) from ITENS"));
    m_messages.expect(QStringLiteral("Erro ao criar/editar item."), QStringLiteral("Erro"), mb::IconError);
    m_messages.expect(QStringLiteral("Erro ao criar o novo cliente.\rTente novamente."), QStringLiteral("Erro"),
                      mb::IconError);
    QVERIFY(!m_ops->NovoCliente(m_tree->topLevel(0)));
    QCOMPARE(scalar(*m_app, QStringLiteral("select count(*) from ITENS")), before);
    QCOMPARE(m_tree->topLevel(0)->childCount(), 5);
}

// --- deletion --------------------------------------------------------------------------------------------------

void TestTreeOperations::deleteClient_data()
{
    QTest::addColumn<bool>("toStock");
    QTest::newRow("readers to stock") << true;
    QTest::newRow("readers deleted") << false;
}

void TestTreeOperations::deleteClient()
{
    QFETCH(bool, toStock);
    // Client 3 holds CANTINA (106) and PÁTIO (107, in maintenance, with a comment).
    m_app->cnt().execute(QStringLiteral(
        "INSERT INTO COMENTARIOS (ID_PAI, DATA, COMENTARIO, TIPO) VALUES (106, '2026-01-01 00:00:00', 'x', 0)"));
    m_app->cnt().execute(QStringLiteral("INSERT INTO CONFIGURACOES (ID_PAI) VALUES (3), (106), (107)"));
    m_app->cnt().execute(QStringLiteral("INSERT INTO LISTAS_BONUS (ID_PAI, ID_CARTAO) VALUES (3, 1), (106, 2)"));
    load();
    TreeNode *client = at(*m_tree, {"Clientes", "Colégio Nova Geração"});
    const int mark = lastRoutine();
    m_messages.expect(QStringLiteral("Tem certeza que deseja excluir \"Colégio Nova Geração\" e \r"
                                     "todas as suas dependências?"),
                      QStringLiteral("Excluir"), AskYesNo, mb::IdYes);
    m_messages.expect(QStringLiteral("Deseja que os leitores contidos na pasta\rsejam movidos para Estoque?"),
                      QStringLiteral("Excluir"), AskYesNoCancel, toStock ? mb::IdYes : mb::IdNo);
    QVERIFY(m_ops->Excluir(client));

    QVERIFY(!at(*m_tree, {"Clientes", "Colégio Nova Geração"}));
    QCOMPARE(itemColumn(3, "EXCLUIDO"), QStringLiteral("1"));
    QCOMPARE(scalar(*m_app, "select count(*) from CONFIGURACOES where ID_PAI in (3, 106, 107)"), QStringLiteral("0"));
    QCOMPARE(scalar(*m_app, "select count(*) from LISTAS_BONUS where ID_PAI in (3, 106)"), QStringLiteral("0"));
    QStringList installed = childTexts(m_tree->FindFolder(folder::Instalados));
    QVERIFY(!installed.contains(QStringLiteral("CANTINA (A0B1C2D3E4F50106)")));
    QVERIFY(!installed.contains(QStringLiteral("PÁTIO (A0B1C2D3E4F50107)")));
    QCOMPARE(m_tree->installedCount(), 8);

    const QList<int> reader = {19, 20, 21, 22, 23, 24, 25};
    const QList<int> folderLists = {19, 20, 21, 23, 24, 25};
    if (toStock) {
        for (int id : {106, 107})
            QCOMPARE(itemColumn(id, QStringLiteral("concat(ID_PAI, '|', EXCLUIDO)")), QStringLiteral("-3|0"));
        QCOMPARE(childTexts(m_tree->FindFolder(folder::Estoque)).mid(0, 2),
                 (QStringList{"CANTINA (A0B1C2D3E4F50106)", "LEITOR RESERVA 1 (A0B1C2D3E4F50111)"}));
        TreeNode *patio = at(*m_tree, {"Estoque", "PÁTIO (A0B1C2D3E4F50107)"});
        QVERIFY(patio);
        QCOMPARE(patio->icon(), icon::ReaderMaintenance);
        QCOMPARE(patio->nodeData().ownerId, folder::Estoque);
        QVERIFY(!patio->hasChildren());
        QVERIFY(at(*m_tree, {"Manutenção", "PÁTIO (A0B1C2D3E4F50107)"}));
        QCOMPARE(at(*m_tree, {"Manutenção", "PÁTIO (A0B1C2D3E4F50107)"})->nodeData().clientName,
                 QStringLiteral("PÁTIO (A0B1C2D3E4F50107)"));
        QCOMPARE(m_tree->stockCount(), 6);
        QCOMPARE(scalar(*m_app, "select count(*) from COMENTARIOS where ID_PAI in (106, 107)"), QStringLiteral("2"));
        QCOMPARE(scalar(*m_app, "select count(*) from ITENS_EXCLUIDOS"), QStringLiteral("0"));
        const QList<int> expected =
            reader + QList<int>{28} + reader + QList<int>{28, 27} + folderLists + QList<int>{17};
        QCOMPARE(routinesSince(mark), expected);
        QCOMPARE(scalar(*m_app, "select MOV_ATIV from TAB_MOV_USU order by MOV_NUM desc limit 1"),
                 QStringLiteral("Todos os leitores contidos na pasta (Colégio Nova Geração) foram movidos para "
                                "estoque."));
    } else {
        for (int id : {106, 107})
            QCOMPARE(itemColumn(id, "EXCLUIDO"), QStringLiteral("1"));
        QCOMPARE(scalar(*m_app, "select group_concat(concat(ID, ':', NOME_LOCAL, ':', HW_SERIE, ':', DATA_INCLUI, "
                                "':', DATA_EXCLUI) order by ID) from ITENS_EXCLUIDOS"),
                 QStringLiteral("106:CANTINA:A0B1C2D3E4F50106:2025-03-02 08:00:00:2026-03-04 05:06:07,"
                                "107:PÁTIO:A0B1C2D3E4F50107:2025-03-02 08:10:00:2026-03-04 05:06:07"));
        QCOMPARE(scalar(*m_app, "select count(*) from COMENTARIOS where ID_PAI in (106, 107)"), QStringLiteral("0"));
        QVERIFY(!at(*m_tree, {"Manutenção", "PÁTIO (A0B1C2D3E4F50107)"}));
        QCOMPARE(m_tree->stockCount(), 4);
        const QList<int> deleted = reader + QList<int>{26, 26, 28, 27};
        const QList<int> expected = deleted + deleted + QList<int>{27} + folderLists;
        QCOMPARE(routinesSince(mark), expected);
    }
    QVERIFY(entriesWithId(*m_tree, 106).size() == (toStock ? 1 : 0));
}

void TestTreeOperations::moveToStockKeepsNamesApart()
{
    // Stock already holds a "CANTINA"; ESCRITÓRIO (109) is renamed to the same,
    // and GARAGEM (108) carries the longest name there is.
    m_app->cnt().execute(QStringLiteral("INSERT INTO ITENS (NOME_LOCAL, HW_SERIE, ID_PAI) VALUES "
                                        "('CANTINA', 'FFFF000000000001', -3),"
                                        "('ABCDEFGHIJKLMNOPQRSTUVWXY', 'FFFF000000000002', -3)"));
    m_app->cnt().execute(QStringLiteral("UPDATE ITENS SET NOME_LOCAL = 'CANTINA', EM_MANUTENCAO = '1' WHERE ID = 109"));
    m_app->cnt().execute(QStringLiteral("UPDATE ITENS SET NOME_LOCAL = 'ABCDEFGHIJKLMNOPQRSTUVWXY' WHERE ID = 108"));
    load();
    const QString renamed = QStringLiteral("O leitor movido para Estoque possui o mesmo nome de\routro que já "
                                           "existia. O leitor movido foi renomeado.");
    auto moveToStock = [&](int id) {
        TreeNode *reader = m_tree->FindKLT(entriesWithId(*m_tree, id).first()->text(), id);
        QVERIFY(reader);
        m_messages.expect(QStringLiteral("Deseja que o leitor seja movido para Estoque?"), QStringLiteral("Excluir"),
                          mb::YesNoCancel | mb::IconQuestion, mb::IdYes);
        m_messages.expect(renamed, QStringLiteral("Leitor renomeado"), mb::IconInformation);
        QVERIFY(m_ops->Excluir(reader));
    };
    moveToStock(106);
    QCOMPARE(itemColumn(106, "NOME_LOCAL"), QStringLiteral("CANTINA#1"));
    QVERIFY(at(*m_tree, {"Estoque", "CANTINA#1 (A0B1C2D3E4F50106)"}));
    // Only exact names count: the renamed one does not.
    moveToStock(109);
    QCOMPARE(itemColumn(109, "NOME_LOCAL"), QStringLiteral("CANTINA#1"));
    // In maintenance, its entry there follows the new name and can be found by it.
    QCOMPARE(
        childTexts(m_tree->FindFolder(folder::Manutencao)),
        (QStringList{"CANTINA#1 (A0B1C2D3E4F50109)", "PÁTIO (A0B1C2D3E4F50107)", "REFEITÓRIO 2 (A0B1C2D3E4F50102)"}));
    QVERIFY(m_tree->FindDelNode(QStringLiteral("CANTINA#1 (A0B1C2D3E4F50109)"), 109, folder::Manutencao, false));
    QCOMPARE(at(*m_tree, {"Estoque", "CANTINA#1 (A0B1C2D3E4F50109)"})->icon(), icon::ReaderMaintenance);
    // The suffix stays within the 25 characters of the name.
    moveToStock(108);
    QCOMPARE(itemColumn(108, "NOME_LOCAL"), QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVW#1"));
    TreeNode *moved = at(*m_tree, {"Estoque", "ABCDEFGHIJKLMNOPQRSTUVW#1 (A0B1C2D3E4F50108)"});
    QVERIFY(moved);
    QCOMPARE(moved->nodeData().name, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVW#1"));
    QVERIFY(m_tree->FindFolder(folder::Estoque)->childrenInOrder());
    // Moving a reader that is not the only one keeps its client's TEM_FILHO.
    QCOMPARE(itemColumn(4, "TEM_FILHO"), QStringLiteral("0"));
    QCOMPARE(itemColumn(3, "TEM_FILHO"), QStringLiteral("1"));
}

void TestTreeOperations::deleteThroughTheInstalledMirror()
{
    load();
    TreeNode *mirror = at(*m_tree, {"Equipamentos Instalados", "REFEITÓRIO 1 (A0B1C2D3E4F50101)"});
    QVERIFY(mirror);
    TreeNode *entry = m_ops->entryToDelete(mirror);
    QCOMPARE(entry->parent()->text(), QStringLiteral("ÁREA INDUSTRIAL"));
    m_messages.expect(QStringLiteral("Deseja que o leitor seja movido para Estoque?"), QStringLiteral("Excluir"),
                      mb::YesNoCancel | mb::IconQuestion, mb::IdNo);
    QVERIFY(m_ops->Excluir(entry));
    QVERIFY(entriesWithId(*m_tree, 101).isEmpty());
    QCOMPARE(scalar(*m_app, "select count(*) from ITENS_EXCLUIDOS where ID = 101"), QStringLiteral("1"));
    QCOMPARE(scalar(*m_app, "select count(*) from LISTAS_PROD where ID_PAI = 101"), QStringLiteral("0"));
    // Cancel stops before anything happens.
    TreeNode *other = entriesWithId(*m_tree, 103).first();
    m_messages.expect(QStringLiteral("Deseja que o leitor seja movido para Estoque?"), QStringLiteral("Excluir"),
                      mb::YesNoCancel | mb::IconQuestion, mb::IdCancel);
    QVERIFY(!m_ops->Excluir(other));
    QCOMPARE(entriesWithId(*m_tree, 103).size(), 2);
    QCOMPARE(itemColumn(103, "EXCLUIDO"), QStringLiteral("0"));
}

void TestTreeOperations::deleteStockReaderInMaintenance()
{
    m_app->cnt().execute(QStringLiteral("UPDATE ITENS SET EM_MANUTENCAO = '1' WHERE ID = 112"));
    load();
    QCOMPARE(entriesWithId(*m_tree, 112).size(), 2);
    TreeNode *reader = at(*m_tree, {"Estoque", "LEITOR RESERVA 2 (A0B1C2D3E4F50112)"});
    const int mark = lastRoutine();
    m_messages.expect(QStringLiteral("Tem certeza que deseja excluir do Estoque o\r"
                                     "leitor \"LEITOR RESERVA 2 (A0B1C2D3E4F50112)\"?"),
                      QStringLiteral("Excluir"), AskYesNo, mb::IdYes);
    QVERIFY(m_ops->Excluir(reader));
    QVERIFY(entriesWithId(*m_tree, 112).isEmpty());
    QCOMPARE(itemColumn(112, "EXCLUIDO"), QStringLiteral("1"));
    QCOMPARE(scalar(*m_app, "select count(*) from ITENS_EXCLUIDOS"), QStringLiteral("0"));
    QCOMPARE(routinesSince(mark), (QList<int>{26, 27, 18}));
    QCOMPARE(m_tree->stockCount(), 3);
}

void TestTreeOperations::parentFlag_data()
{
    QTest::addColumn<int>("parent");
    QTest::addColumn<int>("reader");
    QTest::addColumn<bool>("rowAddedElsewhere");
    QTest::addColumn<QString>("flag");
    QTest::newRow("only reader of a sub-division") << 8 << 104 << false << "0";
    QTest::newRow("another console added a reader") << 8 << 104 << true << "1";
    QTest::newRow("only reader beside MasterConf") << 5 << 110 << false << "0";
    QTest::newRow("a sibling remains") << 6 << 101 << false << "1";
}

void TestTreeOperations::parentFlag()
{
    QFETCH(int, parent);
    QFETCH(int, reader);
    QFETCH(bool, rowAddedElsewhere);
    QFETCH(QString, flag);
    load();
    if (rowAddedElsewhere)
        m_app->cnt().execute(QStringLiteral("INSERT INTO ITENS (NOME_LOCAL, HW_SERIE, ID_PAI) VALUES "
                                            "('OUTRO', 'FFFF000000000003', ") +
                             QString::number(parent) + QStringLiteral(")"));
    TreeNode *entry = m_tree->FindKLT(entriesWithId(*m_tree, reader).first()->text(), reader);
    m_messages.expect(QStringLiteral("Deseja que o leitor seja movido para Estoque?"), QStringLiteral("Excluir"),
                      mb::YesNoCancel | mb::IconQuestion, mb::IdNo);
    QVERIFY(m_ops->Excluir(entry));
    QCOMPARE(itemColumn(parent, "TEM_FILHO"), flag);
}

void TestTreeOperations::failureHalfWayUndoesTheDeletion()
{
    // Client 4: ESCRITÓRIO (109) goes first and completes, GARAGEM (108) fails.
    m_app->cnt().execute(QStringLiteral("INSERT INTO CONFIGURACOES (ID_PAI) VALUES (109)"));
    m_app->cnt().execute(QStringLiteral(
        "INSERT INTO COMENTARIOS (ID_PAI, DATA, COMENTARIO, TIPO) VALUES (109, '2026-01-01 00:00:00', 'x', 0)"));
    trigger(QStringLiteral("ITENS_EXCLUIDOS"), QStringLiteral("BEFORE INSERT"), QStringLiteral("NEW.ID = 108"));
    load();
    TreeNode *client = at(*m_tree, {"Clientes", "Transportes Rápido Sul"});
    const QStringList before = childTexts(client);
    const int mark = lastRoutine();
    m_messages.expect(QStringLiteral("Tem certeza que deseja excluir \"Transportes Rápido Sul\" e \r"
                                     "todas as suas dependências?"),
                      QStringLiteral("Excluir"), AskYesNo, mb::IdYes);
    m_messages.expect(QStringLiteral("Deseja que os leitores contidos na pasta\rsejam movidos para Estoque?"),
                      QStringLiteral("Excluir"), AskYesNoCancel, mb::IdNo);
    m_messages.expect(QStringLiteral("Erro durante exclusão: \r\nExcluindo \"leitor\" da tabela ITENS e incluindo na "
                                     "tabela ITENS_EXCLUIDOS.\r\n\r\nItem(ns) afetado(s): \r\n"
                                     "GARAGEM (A0B1C2D3E4F50108)\r\n"),
                      QStringLiteral("Exclusão"), mb::IconError);
    QVERIFY(!m_ops->Excluir(client));

    // Nothing of it took effect, and the tree shows just that.
    QCOMPARE(itemColumn(4, "EXCLUIDO"), QStringLiteral("0"));
    QCOMPARE(itemColumn(109, "EXCLUIDO"), QStringLiteral("0"));
    QCOMPARE(scalar(*m_app, "select count(*) from ITENS_EXCLUIDOS"), QStringLiteral("0"));
    QCOMPARE(scalar(*m_app, "select count(*) from CONFIGURACOES where ID_PAI = 109"), QStringLiteral("1"));
    QCOMPARE(scalar(*m_app, "select count(*) from COMENTARIOS where ID_PAI = 109"), QStringLiteral("1"));
    QVERIFY(routinesSince(mark).isEmpty());
    QCOMPARE(at(*m_tree, {"Clientes", "Transportes Rápido Sul"}), client);
    QCOMPARE(childTexts(client), before);
    QCOMPARE(m_tree->installedCount(), 10);
    // The audit trail goes on under the same login.
    QVERIFY(GravaLog(*m_app, 73, QStringLiteral("depois")));
    QCOMPARE(scalar(*m_app, "select count(*) from TAB_MOV_USU M join TAB_LOG L on L.LOG_NUM = M.MOV_NUM_LOG "
                            "where M.MOV_ATIV = 'depois'"),
             QStringLiteral("1"));
    QFile log(m_app->events().path());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromLatin1(log.readAll())
                .contains(QStringLiteral("Erro ao excluir leitor/cliente: (Função: tvConfiguraDeletion): ")));
}

// --- CreateNodes -----------------------------------------------------------------------------------------------

void TestTreeOperations::createNodesForAReader()
{
    // A gap in the keys, and logs of the serial: unassigned, and one of another client.
    m_app->cnt().execute(QStringLiteral("INSERT INTO ITENS (ID, NOME_LOCAL, ID_PAI) VALUES (7000, 'X', -3)"));
    m_app->cnt().execute(QStringLiteral("DELETE FROM ITENS WHERE ID = 7000"));
    m_app->cnt().execute(QStringLiteral("INSERT INTO LOGS (HW_SERIE, ID_CLIENTE) VALUES "
                                        "('FFEE000000000001', 0), ('FFEE000000000001', -1), ('FFEE000000000001', 5)"));
    load();
    TreeNode *sub = at(*m_tree, {"Clientes", "Metalúrgica Açoforte", "ÁREA INDUSTRIAL"});
    ReaderRegistration registration;
    registration.serial = QStringLiteral("FFEE000000000001");
    registration.typeCode = 3;
    registration.masterCredits = true;
    registration.masterConfs = true;
    TreeNode *created = nullptr;
    const int mark = lastRoutine();
    QVERIFY(m_ops->CreateNodes(sub, QStringLiteral("NOVO D'AGUA"), &created, QStringLiteral("Metalúrgica Açoforte"),
                               true, icon::Reader, -1, registration.serial, &registration));
    QVERIFY(created);
    QCOMPARE(created->nodeData().id, 7001);
    QCOMPARE(created->text(), QStringLiteral("NOVO D'AGUA (FFEE000000000001)"));
    QCOMPARE(created->nodeData().ownerId, 6);
    QCOMPARE(scalar(*m_app, "select concat(NOME_LOCAL, '|', HW_SERIE, '|', ID_PAI, '|', TIPO_EQUIP, '|', "
                            "USAR_MASTER_CONFS, USAR_MASTER_LCRED, USAR_MASTER_LGROUP, USAR_MASTER_LBONUS, "
                            "USAR_MASTER_LAUTOFORMAT, '|', EM_MANUTENCAO, TEM_FILHO) from ITENS where ID = 7001"),
             QStringLiteral("NOVO D'AGUA|FFEE000000000001|6|3|11111|00"));
    QCOMPARE(itemColumn(6, "TEM_FILHO"), QStringLiteral("1"));
    // Logs go to the top-level client, never to the sub-division.
    QCOMPARE(scalar(*m_app, "select group_concat(ID_CLIENTE order by ID) from LOGS where HW_SERIE = "
                            "'FFEE000000000001'"),
             QStringLiteral("1,1,5"));
    QCOMPARE(routinesSince(mark), QList<int>{15});
    QCOMPARE(scalar(*m_app, "select MOV_ATIV from TAB_MOV_USU order by MOV_NUM desc limit 1"),
             QStringLiteral("Cliente nr -1 - NOVO D'AGUA"));
    QCOMPARE(childTexts(created), (QStringList{"Tabelas", "Configurações", "Logs", "Propriedades"}));
    QCOMPARE(created->child(0)->child(1)->icon(), icon::MasterData); // credits from the client
    QCOMPARE(created->child(0)->child(0)->icon(), icon::OwnData);    // own bonus list
    QCOMPARE(created->child(1)->icon(), icon::MasterData);
}

void TestTreeOperations::createNodesReusesTheSerialsRow()
{
    load();
    TreeNode *client = at(*m_tree, {"Clientes", "Padaria Pão de Ouro"});
    TreeNode *created = nullptr;
    QVERIFY(m_ops->CreateNodes(client, QStringLiteral("RESERVA INSTALADA"), &created,
                               QStringLiteral("Padaria Pão de Ouro"), true, icon::ReaderMaintenance, -1,
                               QStringLiteral("A0B1C2D3E4F50111"), nullptr));
    QCOMPARE(created->nodeData().id, 111);
    QCOMPARE(scalar(*m_app, "select concat(NOME_LOCAL, '|', ID_PAI, '|', USAR_MASTER_CONFS, '|', EM_MANUTENCAO, "
                            "'|', DATA_INCLUI) from ITENS where ID = 111"),
             QStringLiteral("RESERVA INSTALADA|5|5|1|2026-03-04 05:06:07"));
    QCOMPARE(scalar(*m_app, "select count(*) from ITENS where HW_SERIE = 'A0B1C2D3E4F50111'"), QStringLiteral("1"));
}

void TestTreeOperations::createNodesForMirrorsAndMaintenance()
{
    load();
    TreeNode *installed = m_tree->FindFolder(folder::Instalados);
    TreeNode *mirror = nullptr;
    QVERIFY(m_ops->CreateNodes(installed, QStringLiteral("BALCÃO"), &mirror, QStringLiteral("Padaria Pão de Ouro"),
                               false, icon::Reader, 500, QStringLiteral("FFEE000000000002")));
    QCOMPARE(mirror->nodeData().id, 500);
    QCOMPARE(mirror->nodeData().ownerId, folder::Instalados);
    QCOMPARE(installed->child(0), mirror); // at its alphabetical place
    QVERIFY(installed->childrenInOrder());
    QCOMPARE(m_tree->FindNodeBinSearch(installed, QStringLiteral("balcão (ffee000000000002)"), 500), 0);

    // An entry under "Manutenção" stands for the selected reader and puts it in maintenance.
    TreeNode *maintenance = m_tree->FindFolder(folder::Manutencao);
    TreeNode *entry = nullptr;
    QVERIFY(m_ops->CreateNodes(maintenance, QStringLiteral("CANTINA (A0B1C2D3E4F50106)"), &entry,
                               QStringLiteral("Colégio Nova Geração"), false, icon::ReaderMaintenance, -1, QString(),
                               nullptr, 106));
    QCOMPARE(entry->nodeData().id, 106);
    QCOMPARE(entry->nodeData().ownerId, folder::Manutencao);
    QCOMPARE(entry->icon(), icon::ReaderMaintenance);
    QCOMPARE(itemColumn(106, "EM_MANUTENCAO"), QStringLiteral("1"));
}

// --- context menu ----------------------------------------------------------------------------------------------

void TestTreeOperations::offeredCommands_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QStringList>("commands");
    const QStringList readerCommands = {"Excluir",    "Alterar leitor",       "Buscar Cliente", "Logs de Transações",
                                        "Manutenção", "Histórico Manutenção", "Propriedades",   "Consumidores"};
    QTest::newRow("Clientes") << QStringList{"Clientes"} << QStringList{"Expandir", "Novo Cliente", "Consumidores"};
    QTest::newRow("client") << QStringList{"Clientes", "Hospital São Lucas"}
                            << QStringList{"Expandir", "Novo Leitor",  "Excluir",
                                           "Renomear", "Propriedades", "Consumidores"};
    QTest::newRow("sub-division") << QStringList{"Clientes", "Hospital São Lucas", "PRONTO-SOCORRO"}
                                  << QStringList{"Expandir", "Novo Leitor", "Excluir", "Renomear", "Consumidores"};
    QTest::newRow("installed reader") << QStringList{"Clientes", "Hospital São Lucas",
                                                     "SALA DE ESPERA (A0B1C2D3E4F50105)"}
                                      << QStringList{"Expandir", "Abrir / Editar"} + readerCommands;
    QTest::newRow("list under a reader") << QStringList{"Clientes", "Hospital São Lucas",
                                                        "SALA DE ESPERA (A0B1C2D3E4F50105)", "Tabelas",
                                                        "Lista de Grupos"}
                                         << QStringList{"Abrir / Editar", "Consumidores"};
    QTest::newRow("Tabelas") << QStringList{"Clientes", "Hospital São Lucas", "SALA DE ESPERA (A0B1C2D3E4F50105)",
                                            "Tabelas"}
                             << QStringList{"Expandir", "Abrir / Editar", "Consumidores"};
    QTest::newRow("MasterConf") << QStringList{"Clientes", "Hospital São Lucas", "MasterConf"}
                                << QStringList{"Expandir", "Abrir / Editar", "Consumidores"};
    QTest::newRow("Logs under MasterConf") << QStringList{"Clientes", "Hospital São Lucas", "MasterConf", "Logs"}
                                           << QStringList{"Abrir / Editar", "Consumidores"};
    QTest::newRow("Equipamentos Instalados")
        << QStringList{"Equipamentos Instalados"} << QStringList{"Expandir", "Consumidores"};
    QTest::newRow("installed mirror") << QStringList{"Equipamentos Instalados", "CANTINA (A0B1C2D3E4F50106)"}
                                      << QStringList{"Abrir / Editar"} + readerCommands;
    QTest::newRow("maintenance mirror") << QStringList{"Manutenção", "PÁTIO (A0B1C2D3E4F50107)"}
                                        << QStringList{"Abrir / Editar"} + readerCommands;
    QTest::newRow("Estoque") << QStringList{"Estoque"} << QStringList{"Expandir", "Novo Leitor", "Consumidores"};
    QTest::newRow("stock reader") << QStringList{"Estoque", "LEITOR RESERVA 1 (A0B1C2D3E4F50111)"}
                                  << QStringList{"Abrir / Editar", "Novo Leitor", "Mover para cliente..."} +
                                         readerCommands;
    QTest::newRow("Não Cadastrados") << QStringList{"Não Cadastrados"} << QStringList{"Expandir"};
    QTest::newRow("unregistered reader") << QStringList{"Não Cadastrados", "A0B1C2D3E4F50115 (A0B1C2D3E4F50115)"}
                                         << QStringList{"Mover para cliente..."};
}

void TestTreeOperations::offeredCommands()
{
    QFETCH(QStringList, path);
    QFETCH(QStringList, commands);
    load();
    TreeNode *entry = at(*m_tree, path);
    QVERIFY(entry);
    QCOMPARE(m_ops->offeredCommands(entry), commands);
}

QTEST_GUILESS_MAIN(TestTreeOperations)
#include "tst_treeoperations.moc"
