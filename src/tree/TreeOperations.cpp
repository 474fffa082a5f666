#include "tree/TreeOperations.h"

#include "app/AppContext.h"
#include "app/Clock.h"
#include "app/DataAccess.h"
#include "audit/AuditTrail.h"
#include "db/Sql.h"
#include "tree/ItemLookup.h"
#include "tree/ItemTree.h"

#include <QHash>

#include <optional>

namespace zentro {

namespace {

const QString RefusedChars = QStringLiteral("!\"#%&'*/:;<=>?@\\|");

QString now()
{
    return sql::dateTime(Clock::now());
}

QString idText(qint64 id)
{
    return sql::quote(id);
}

// The statements of one operation share a transaction, unless the caller
// already runs one (then they are part of the caller's work). The login record
// number is put back on rollback: a record opened inside is gone with it.
class OperationTransaction
{
public:
    explicit OperationTransaction(AppContext &app)
        : m_app(app)
        , m_loginRecord(app.loginRecord)
    {
        if (!app.cnt().inTransaction())
            m_transaction.emplace(app.cnt());
    }
    ~OperationTransaction()
    {
        if (!m_committed)
            m_app.loginRecord = m_loginRecord;
    }
    void commit()
    {
        if (m_transaction)
            m_transaction->commit();
        m_committed = true;
    }

private:
    AppContext &m_app;
    int m_loginRecord;
    std::optional<db::Transaction> m_transaction;
    bool m_committed = false;
};

} // namespace

TreeOperations::TreeOperations(AppContext &app, ItemTree &tree)
    : m_app(app)
    , m_tree(tree)
{
}

int TreeOperations::clientIdOf(TreeNode *entry) const
{
    TreeNode *client = m_tree.ClientNodeOf(entry);
    return client ? client->nodeData().id : 0;
}

// --- context menu ----------------------------------------------------------------------------------------------

QStringList TreeOperations::offeredCommands(TreeNode *entry) const
{
    QStringList c;
    if (!entry)
        return c;
    const QString expand = QStringLiteral("Expandir");
    const QString open = QStringLiteral("Abrir / Editar");
    const QString consumers = QStringLiteral("Consumidores");
    const QStringList readerCommands = {
        QStringLiteral("Excluir"),        QStringLiteral("Alterar leitor"),
        QStringLiteral("Buscar Cliente"), QStringLiteral("Logs de Transações"),
        QStringLiteral("Manutenção"),     QStringLiteral("Histórico Manutenção"),
        QStringLiteral("Propriedades"),   consumers,
    };
    if (entry->hasChildren())
        c << expand;

    if (ItemTree::isFixedFolder(entry)) {
        switch (entry->nodeData().id) {
        case folder::Clientes:
            c << QStringLiteral("Novo Cliente") << consumers;
            break;
        case folder::Estoque:
            c << QStringLiteral("Novo Leitor") << consumers;
            break;
        case folder::NaoCadastrados:
            break;
        default:
            c << consumers;
            break;
        }
        return c;
    }
    if (ItemTree::isMasterConf(entry) || m_tree.isBelowMasterConf(entry) || m_tree.isBelowReader(entry)) {
        c << open << consumers;
        return c;
    }
    TreeNode *top = m_tree.topFolderOf(entry);
    const int topId = top ? top->nodeData().id : 0;
    if (ItemTree::isReader(entry)) {
        c.clear();
        switch (topId) {
        case folder::Clientes:
            c << expand << open << readerCommands;
            break;
        case folder::Instalados:
        case folder::Manutencao:
            c << open << readerCommands;
            break;
        case folder::Estoque:
            c << open << QStringLiteral("Novo Leitor") << QStringLiteral("Mover para cliente...") << readerCommands;
            break;
        case folder::NaoCadastrados:
            c << QStringLiteral("Mover para cliente...");
            break;
        default:
            break;
        }
        return c;
    }
    if (ItemTree::isFolderEntry(entry)) {
        c << QStringLiteral("Novo Leitor") << QStringLiteral("Excluir") << QStringLiteral("Renomear");
        if (entry->parent() == m_tree.FindFolder(folder::Clientes))
            c << QStringLiteral("Propriedades");
        c << consumers;
        return c;
    }
    return {};
}

// --- naming in place -------------------------------------------------------------------------------------------

bool TreeOperations::isRefusedChar(QChar c)
{
    return RefusedChars.contains(c);
}

QString TreeOperations::normalizeName(const QString &text)
{
    return text.simplified().left(25).trimmed();
}

bool TreeOperations::isReservedName(const QString &name)
{
    static const QStringList reserved = {
        QStringLiteral("CLIENTES"),          QStringLiteral("EQUIPAMENTOS INSTALADOS"),
        QStringLiteral("ESTOQUE"),           QStringLiteral("MANUTENCAO"),
        QStringLiteral("MANUTENÇAO"),        QStringLiteral("MANUTENCÃO"),
        QStringLiteral("MANUTENÇÃO"),        QStringLiteral("TABELAS"),
        QStringLiteral("LISTA DE CRÉDITOS"), QStringLiteral("LISTA DE CREDITOS"),
        QStringLiteral("LISTA DE GRUPOS"),   QStringLiteral("LISTA DE PRODUTOS"),
        QStringLiteral("LISTA NEGRA"),       QStringLiteral("LISTA DE EXCLUSÃO"),
        QStringLiteral("LISTA DE EXCLUSAO"), QStringLiteral("LISTA DE BÔNUS"),
        QStringLiteral("LISTA DE BONUS"),    QStringLiteral("CONFIGURAÇÕES"),
        QStringLiteral("MASTERCONF"),
    };
    return reserved.contains(name.toUpper());
}

bool TreeOperations::tvConfiguraEdited(TreeNode *entry, const QString &newText)
{
    if (!entry || !m_tree.canRename(entry))
        return false;
    const QString name = normalizeName(newText);
    // An edit that changed nothing stores nothing and records nothing.
    if (name == entry->text())
        return false;
    const QString invalid = QStringLiteral("Nome inválido");
    if (name.isEmpty()) {
        m_app.showMessageBox(QStringLiteral("É obrigatória a definição de um nome."), invalid, mb::IconError);
        return false;
    }
    for (const QChar c : name) {
        if (isRefusedChar(c)) {
            m_app.showMessageBox(QStringLiteral("Existe um ou mais caracteres inválidos no nome."), invalid,
                                 mb::IconWarning);
            return false;
        }
    }
    if (isReservedName(name)) {
        m_app.showMessageBox(QStringLiteral("Nome não permitido."), invalid, mb::IconError);
        return false;
    }
    const ItemNodeData &d = entry->nodeData();
    // The entry itself is not "another item": a change of case is a rename.
    if (RegExists(m_app, QStringLiteral("Select * from ITENS where EXCLUIDO = 0 AND NOME_LOCAL = ") + sql::quote(name) +
                             QStringLiteral(" and ID_PAI = ") + QString::number(d.ownerId) +
                             QStringLiteral(" and ID <> ") + QString::number(d.id))) {
        m_app.showMessageBox(QStringLiteral("Já existe outro item com o mesmo nome dentro dessa pasta."),
                             QStringLiteral("Nome redundante"), mb::IconWarning);
        return false;
    }
    if (!DynamicQuery(m_app,
                      QStringLiteral("Update ITENS set NOME_LOCAL = ") + sql::quote(name) +
                          QStringLiteral(" where ID = ") + idText(d.id),
                      QueryMode::Execute)) {
        m_app.showMessageBox(QStringLiteral("Erro ao editar o nome do item."), QStringLiteral("Erro"), mb::IconError);
        return false;
    }
    GravaLog(m_app, 16, QStringLiteral("Alterado nome Cliente para ") + name, 0, 0, clientIdOf(entry));
    m_tree.setEntryText(entry, name);
    m_tree.OrganizeLevel(entry);
    if (m_tree.ClientNodeOf(entry) == entry)
        refreshClientNames(entry);
    return true;
}

// The readers of a renamed client tell its new name in their hint, here and in
// the mirror folders, as they will after the next load.
void TreeOperations::refreshClientNames(TreeNode *client)
{
    const QString clientName = client->text().left(25);
    QHash<int, bool> readers;
    std::function<void(TreeNode *)> walk = [&](TreeNode *n) {
        for (int i = 0; i < n->childCount(); ++i) {
            TreeNode *c = n->child(i);
            if (ItemTree::isReader(c)) {
                readers.insert(c->nodeData().id, true);
                ItemNodeData d = c->nodeData();
                d.clientName = clientName;
                m_tree.setEntryData(c, d);
            } else if (!ItemTree::isMasterConf(c)) {
                walk(c);
            }
        }
    };
    walk(client);
    for (int f : {folder::Instalados, folder::Manutencao}) {
        TreeNode *mirrors = m_tree.FindFolder(f);
        for (int i = 0; mirrors && i < mirrors->childCount(); ++i) {
            TreeNode *m = mirrors->child(i);
            if (readers.contains(m->nodeData().id)) {
                ItemNodeData d = m->nodeData();
                d.clientName = clientName;
                m_tree.setEntryData(m, d);
            }
        }
    }
}

// --- new client and CreateNodes --------------------------------------------------------------------------------

bool TreeOperations::CreateIndexNode(const QString &baseName, int parentId, QString &name, int &id)
{
    db::ResultSet rs;
    const QString sql = QStringLiteral("CALL p_NAME_INDEX(") + sql::quote(baseName) + QStringLiteral(", ") +
                        idText(parentId) + QStringLiteral(")");
    if (!DynamicQuery(m_app, sql, QueryMode::Open, &rs) || rs.isEmpty()) {
        name = QStringLiteral("#ERRO#");
        id = -9999;
        m_app.logEvent(QStringLiteral("Erro ao gerar nome de novo nó (Função CreateIndexNode): ") +
                           QStringLiteral("Erro acessando Stored Procedure \"NEW_INDEX\"."),
                       EventLog::CriticalError);
        return false;
    }
    name = rs.value(0, QStringLiteral("TEXTO_GERADO")).toString();
    id = rs.value(0, QStringLiteral("ID_GERADO")).toInt();
    return true;
}

TreeNode *TreeOperations::NovoCliente(TreeNode *clicked)
{
    if (!clicked || !ItemTree::isFixedFolder(clicked) || clicked->nodeData().id != folder::Clientes)
        return nullptr;
    QString name;
    int id = 0;
    try {
        bool ok = false;
        {
            // The row p_NAME_INDEX makes must not outlive a failure of the rest.
            OperationTransaction transaction(m_app);
            ok = CreateIndexNode(QStringLiteral("Novo Cliente"), folder::Clientes, name, id) &&
                 createNodesInDatabase(clicked, name, id, icon::FolderClosed, QString(), nullptr);
            if (ok)
                transaction.commit();
        }
        if (!ok) {
            m_app.showMessageBox(QStringLiteral("Erro ao criar o novo cliente.\rTente novamente."),
                                 QStringLiteral("Erro"), mb::IconError);
            return nullptr;
        }
        TreeNode *node =
            createNodesInTree(clicked, name, QString(), icon::FolderClosed, id, false, QString(), nullptr, 0);
        m_tree.OrganizeLevel(node);
        return node;
    } catch (const db::DbError &e) {
        m_app.showMessageBox(QStringLiteral("Impossível criar o novo Cliente devido a\rum erro desconhecido."),
                             QStringLiteral("Novo Cliente bloqueado"), mb::IconError);
        m_app.logEvent(QStringLiteral("Erro ao tentar criar um Cliente (mnNovoClienteClick): ") + e.text(),
                       EventLog::ItemError);
        return nullptr;
    }
}

bool TreeOperations::createNodesInDatabase(TreeNode *parent, const QString &name, int &id, int iconIndex,
                                           const QString &serial, const ReaderRegistration *registration)
{
    if (!parent)
        return false;
    const int parentId = parent->nodeData().id;
    const int idArgument = id;
    if (!DynamicQuery(m_app, QStringLiteral("UPDATE ITENS Set TEM_FILHO = '1' where ID = ") + idText(parentId),
                      QueryMode::Execute))
        return false;

    auto failed = [this] {
        m_app.showMessageBox(QStringLiteral("Erro ao criar/editar item."), QStringLiteral("Erro"), mb::IconError);
        return false;
    };
    const QString stamp = now();
    if (id == -1) {
        // The master switches of a new reader name its client (the folder
        // itself for a reader placed straight in a fixed folder).
        TreeNode *top = parent;
        while (top->parent() && !ItemTree::isFixedFolder(top) && !ItemTree::isFixedFolder(top->parent()))
            top = top->parent();
        const QString topId = idText(top->nodeData().id);
        const QString maintenance =
            iconIndex == icon::ReaderMaintenance ? QStringLiteral("'1'") : QStringLiteral("'0'");
        const int typeCode = registration ? registration->typeCode : 1;
        db::ResultSet rs;
        if (!DynamicQuery(m_app,
                          QStringLiteral("SELECT ID FROM ITENS WHERE EXCLUIDO = '0' AND HW_SERIE = ") +
                              sql::quote(serial) + QStringLiteral(" AND EXCLUIDO = '0' ORDER BY ID DESC LIMIT 1;"),
                          QueryMode::Open, &rs))
            return failed();
        const int found = rs.isEmpty() ? 0 : rs.value(0, 0).toInt();
        if (found < 1) {
            const QString sql =
                QStringLiteral("Insert INTO ITENS (NOME_LOCAL, HW_SERIE, ID_PAI, TIPO_EQUIP, USAR_MASTER_CONFS, "
                               "USAR_MASTER_LCRED, USAR_MASTER_LGROUP, USAR_MASTER_LBONUS, USAR_MASTER_LAUTOFORMAT, "
                               "EM_MANUTENCAO, TEM_FILHO, DATA_INCLUI)  values (") +
                sql::quote(name) + QStringLiteral(", ") + sql::quote(serial) + QStringLiteral(", ") + idText(parentId) +
                QStringLiteral(", ") + idText(typeCode) + QStringLiteral(", ") + topId + QStringLiteral(", ") + topId +
                QStringLiteral(", ") + topId + QStringLiteral(", ") + topId + QStringLiteral(", ") + topId +
                QStringLiteral(", ") + maintenance + QStringLiteral(", '0', ") + stamp + QStringLiteral(")");
            db::ResultSet key;
            // The key is the one the server gave this row; the highest ID plus
            // one names another row after any gap in the sequence.
            if (!DynamicQuery(m_app, sql, QueryMode::Execute) ||
                !DynamicQuery(m_app, QStringLiteral("Select LAST_INSERT_ID()"), QueryMode::Open, &key) ||
                key.isEmpty() || key.value(0, 0).toLongLong() <= 0)
                return failed();
            id = key.value(0, 0).toInt();
        } else {
            const QString sql =
                QStringLiteral("UPDATE ITENS SET NOME_LOCAL = ") + sql::quote(name) + QStringLiteral(", HW_SERIE = ") +
                sql::quote(serial) + QStringLiteral(", ID_PAI = ") + idText(parentId) +
                QStringLiteral(", TIPO_EQUIP = ") + idText(typeCode) + QStringLiteral(", USAR_MASTER_CONFS = ") +
                topId + QStringLiteral(", USAR_MASTER_LCRED = ") + topId + QStringLiteral(", USAR_MASTER_LGROUP = ") +
                topId + QStringLiteral(", USAR_MASTER_LBONUS = ") + topId +
                QStringLiteral(", USAR_MASTER_LAUTOFORMAT = ") + topId +
                QStringLiteral(", TEM_FILHO = '0', DATA_INCLUI = ") + stamp + QStringLiteral(", EM_MANUTENCAO = ") +
                maintenance + QStringLiteral(" WHERE ID = ") + idText(found) + QStringLiteral(";");
            if (!DynamicQuery(m_app, sql, QueryMode::Execute))
                return failed();
            id = found;
        }
    } else if (!DynamicQuery(m_app,
                             QStringLiteral("Update ITENS set TEM_FILHO = '0', DATA_INCLUI = ") + stamp +
                                 QStringLiteral(" where ID = ") + idText(id),
                             QueryMode::Execute)) {
        return failed();
    }

    GravaLog(m_app, 15, QStringLiteral("Cliente nr ") + QString::number(idArgument) + QStringLiteral(" - ") + name, 0,
             idArgument == -1 ? id : 0, parentId == folder::Clientes ? id : getClientIDofItem(m_app, parentId));

    if (registration) {
        // Browser and reports filter logs by the top-level client, never by a
        // sub-division.
        int clientId = getClientIDofItem(m_app, parentId);
        if (clientId < 1)
            clientId = parentId;
        if (!DynamicQuery(m_app,
                          QStringLiteral("update LOGS set ID_CLIENTE = ") + idText(clientId) +
                              QStringLiteral(" where ") + QStringLiteral("HW_SERIE = ") +
                              sql::quote(registration->serial) + QStringLiteral(" and ") +
                              QStringLiteral("ID_CLIENTE <= 0"),
                          QueryMode::Execute)) {
            m_app.showMessageBox(
                QStringLiteral("Erro atualizando os registros de log de transações ainda não vinculados ao cliente."),
                QStringLiteral("Log de Transações"), mb::IconError);
            return false;
        }
    }
    return true;
}

TreeNode *TreeOperations::createNodesInTree(TreeNode *parent, const QString &name, const QString &clientName,
                                            int iconIndex, int id, bool newReader, const QString &serial,
                                            const ReaderRegistration *registration, int selectedId)
{
    if (!parent || m_tree.isEmpty())
        return nullptr;
    const QString text = serial.isEmpty() ? name : ItemTree::readerText(name, serial);
    ItemNodeData d;
    d.clientName = clientName.left(25);
    d.name = name;
    d.serial = serial;

    if (ItemTree::isFixedFolder(parent) && parent->nodeData().id == folder::Manutencao) {
        // The database first: the folder never shows a maintenance it does not hold.
        if (!DynamicQuery(m_app,
                          QStringLiteral("UPDATE ITENS Set EM_MANUTENCAO = '1' where ID = ") + idText(selectedId),
                          QueryMode::Execute)) {
            m_app.showMessageBox(QStringLiteral("Erro ao enviar o leitor para manutenção."), QStringLiteral("Erro"),
                                 mb::IconError);
            return nullptr;
        }
        d.id = selectedId;
        d.ownerId = folder::Manutencao;
        return m_tree.addEntry(parent, text, icon::ReaderMaintenance, d);
    }

    d.id = id;
    d.ownerId = parent->nodeData().id;
    TreeNode *top = m_tree.topFolderOf(parent);
    const bool inClientes = top && top->nodeData().id == folder::Clientes;
    TreeNode *node = nullptr;
    if (!inClientes && top == parent)
        node = m_tree.addEntrySorted(parent, text, iconIndex, d);
    else
        node = m_tree.addEntry(parent, text, iconIndex, d);

    if (ItemTree::isFixedFolder(parent) && parent->nodeData().id == folder::Clientes) {
        m_tree.addMasterConf(node, true);
    } else if (newReader && inClientes) {
        ItemTree::MasterUse use;
        if (registration) {
            use.confs = registration->masterConfs;
            use.credits = registration->masterCredits;
            use.groups = registration->masterGroups;
            use.bonus = registration->masterBonus;
            use.autoFormat = registration->masterAutoFormat;
        }
        m_tree.addReaderEntries(node, use);
    }
    if (!inClientes && top && top != parent)
        m_tree.sortChildren(top);
    return node;
}

bool TreeOperations::CreateNodes(TreeNode *parent, const QString &name, TreeNode **inOut, const QString &clientName,
                                 bool write, int iconIndex, int id, const QString &serial,
                                 const ReaderRegistration *registration, int selectedId)
{
    int entryId = (inOut && *inOut) ? (*inOut)->nodeData().id : ((id == -1 || id == -9999) ? 0 : id);
    if (write) {
        int rowId = id;
        if (!createNodesInDatabase(parent, name, rowId, iconIndex, serial, registration))
            return false;
        if (id == -1)
            entryId = rowId;
    }
    if (!parent || m_tree.isEmpty())
        return true;
    TreeNode *node =
        createNodesInTree(parent, name, clientName, iconIndex, entryId, id == -1, serial, registration, selectedId);
    if (!node)
        return false;
    if (inOut)
        *inOut = node;
    return true;
}

// --- deletion --------------------------------------------------------------------------------------------------

TreeNode *TreeOperations::entryToDelete(TreeNode *clicked) const
{
    if (!clicked)
        return nullptr;
    TreeNode *parent = clicked->parent();
    if (ItemTree::isReader(clicked) && ItemTree::isFixedFolder(parent) &&
        (parent->nodeData().id == folder::Instalados || parent->nodeData().id == folder::Manutencao))
        return m_tree.FindKLT(clicked->text(), clicked->nodeData().id);
    return clicked;
}

bool TreeOperations::Excluir(TreeNode *entry)
{
    if (!entry || m_tree.isEmpty())
        return false;
    const ItemNodeData d = entry->nodeData();
    const QString text = entry->text();
    TreeNode *parent = entry->parent();
    const bool isFolder = ItemTree::isFolderEntry(entry) && d.id > 0;
    const bool inStock = ItemTree::isReader(entry) && ItemTree::isFixedFolder(parent) && d.ownerId == folder::Estoque;
    const bool installed = ItemTree::isReader(entry) && d.ownerId >= 1;
    if (!isFolder && !inStock && !installed)
        return false;

    const QString caption = QStringLiteral("Excluir");
    bool moveToStock = false;
    if (isFolder) {
        if (m_app.showMessageBox(QStringLiteral("Tem certeza que deseja excluir \"") + text + QStringLiteral("\" e ") +
                                     QStringLiteral("\r") + QStringLiteral("todas as suas dependências?"),
                                 caption, mb::YesNo | mb::IconQuestion | mb::DefaultButton2) != mb::IdYes)
            return false;
        const int answer = m_app.showMessageBox(
            QStringLiteral("Deseja que os leitores contidos na pasta\rsejam movidos para Estoque?"), caption,
            mb::YesNoCancel | mb::IconQuestion | mb::DefaultButton2);
        if (answer != mb::IdYes && answer != mb::IdNo)
            return false;
        moveToStock = answer == mb::IdYes;
    } else if (inStock) {
        if (m_app.showMessageBox(QStringLiteral("Tem certeza que deseja excluir do Estoque o\rleitor \"") + text +
                                     QStringLiteral("\"?"),
                                 caption, mb::YesNo | mb::IconQuestion | mb::DefaultButton2) != mb::IdYes)
            return false;
    } else {
        const int answer = m_app.showMessageBox(QStringLiteral("Deseja que o leitor seja movido para Estoque?"),
                                                caption, mb::YesNoCancel | mb::IconQuestion);
        if (answer != mb::IdYes && answer != mb::IdNo)
            return false;
        moveToStock = answer == mb::IdYes;
    }

    // Deepest entries first, the chosen one last, as the tree removes them.
    std::vector<TreeNode *> order;
    std::function<void(TreeNode *)> postOrder = [&](TreeNode *n) {
        for (int i = 0; i < n->childCount(); ++i)
            postOrder(n->child(i));
        order.push_back(n);
    };
    postOrder(entry);

    const int parentId = (parent && !ItemTree::isFixedFolder(parent)) ? parent->nodeData().id : 0;
    const int clientId = clientIdOf(entry);
    Plan plan;
    QString error;
    TreeNode *failedEntry = nullptr;
    try {
        OperationTransaction transaction(m_app);
        if (inStock && entry->icon() == icon::ReaderMaintenance) {
            plan.treeSteps.push_back(
                [this, text, id = d.id] { m_tree.FindDelNode(text, id, folder::Manutencao, true); });
        }
        for (TreeNode *n : order) {
            if (!deleteEntry(n, moveToStock, plan, error)) {
                failedEntry = n;
                break;
            }
        }
        if (!failedEntry) {
            if (isFolder && moveToStock)
                GravaLog(m_app, 17,
                         QStringLiteral("Todos os leitores contidos na pasta (") + text +
                             QStringLiteral(") foram movidos para estoque."),
                         0, 0, clientId);
            else if (inStock)
                GravaLog(m_app, 18, QStringLiteral("Leitor ") + text + QStringLiteral(" foi EXCLUIDO."), 0, d.id, 0);
            else if (installed && moveToStock)
                GravaLog(m_app, 17, QStringLiteral("Leitor ") + text + QStringLiteral(" foi movido para estoque."), 0,
                         d.id, clientId);
            // The parent keeps TEM_FILHO while the database holds a live child
            // of it, whatever the tree happened to show.
            if (!inStock && parentId > 0 && !clearParentFlag(parentId)) {
                plan.notices << [this] {
                    m_app.showMessageBox(QStringLiteral("Inconsistência na exclusão de itens."),
                                         QStringLiteral("Inconsistência"), mb::IconWarning);
                };
            }
            transaction.commit();
        }
    } catch (const db::DbError &e) {
        if (!failedEntry) {
            failedEntry = entry;
            error = e.text();
        }
    }

    if (failedEntry) {
        // Nothing of this deletion took effect: the tree stays as it was.
        const ItemNodeData &fd = failedEntry->nodeData();
        m_app.logEvent(QStringLiteral("Erro ao excluir leitor/cliente: (Função: tvConfiguraDeletion): ") + error +
                           QStringLiteral("\r\n") + QStringLiteral("<br>") + QStringLiteral("ID Leitor = ") +
                           QString::number(fd.id) + QStringLiteral("\r\n") + QStringLiteral("<br>") +
                           QStringLiteral("Node = \"") + failedEntry->text() + QStringLiteral("\"."),
                       EventLog::Error);
        m_app.showMessageBox(QStringLiteral("Erro durante exclusão: \r\n") + error + QStringLiteral(".") +
                                 QStringLiteral("\r\n") + QStringLiteral("\r\n") +
                                 QStringLiteral("Item(ns) afetado(s): ") + QStringLiteral("\r\n") +
                                 failedEntry->text() + QStringLiteral("\r\n"),
                             QStringLiteral("Exclusão"), mb::IconError);
        return false;
    }

    if (parent && parent->childCount() == 1)
        m_tree.collapse(parent, true);
    for (const auto &step : plan.treeSteps)
        step();
    m_tree.removeEntry(entry);
    for (const auto &notice : plan.notices)
        notice();
    return true;
}

bool TreeOperations::clearParentFlag(int parentId)
{
    db::ResultSet rs;
    QString error;
    if (DynamicQuery(m_app,
                     QStringLiteral("Select count(*) from ITENS where EXCLUIDO = '0' AND ID_PAI = ") + idText(parentId),
                     QueryMode::Open, &rs, &error)) {
        if (rs.value(0, 0).toLongLong() > 0)
            return true;
        if (DynamicQuery(m_app, QStringLiteral("Update ITENS set TEM_FILHO = '0' where ID = ") + idText(parentId),
                         QueryMode::Execute, nullptr, &error))
            return true;
    }
    m_app.logEvent(QStringLiteral("Erro editar registro pai do node que foi excluído (mnExcluirClick): ") + error,
                   EventLog::Error);
    return false;
}

void TreeOperations::deleteLists(TreeNode *entry, bool reader)
{
    struct List
    {
        const char16_t *table;
        int code;
    };
    static const List lists[] = {
        {u"CONFIGURACOES", 19},   {u"LISTAS_GRUPOS", 20}, {u"LISTAS_PROD", 21},   {u"LISTA_PROD_INFO_ADD", 22},
        {u"LISTAS_CREDITOS", 23}, {u"LISTAS_BONUS", 24},  {u"LISTAS_NEGRAS", 25},
    };
    const ItemNodeData &d = entry->nodeData();
    const QString text = entry->text();
    const int clientId = clientIdOf(entry);
    const int readerId = reader ? d.id : 0;
    for (const List &l : lists) {
        if (!reader && l.code == 22)
            continue;
        const QString table = QString::fromUtf16(l.table);
        if (!DynamicQuery(m_app,
                          QStringLiteral("Delete from ") + table + QStringLiteral(" where ID_PAI = ") + idText(d.id),
                          QueryMode::Execute)) {
            // One list that cannot be removed does not keep the others.
            m_app.logEvent(QStringLiteral("Erro excluindo registros da tabela ") + table +
                               QStringLiteral("\r\n<br>ID Leitor = ") + QString::number(d.id) + QStringLiteral("\r\n") +
                               QStringLiteral("<br>") + QStringLiteral("Node = \"") + text + QStringLiteral("\"."),
                           EventLog::ItemError);
            continue;
        }
        if (l.code == 19)
            GravaLog(m_app, 19, QStringLiteral("Configurações do Leitor ") + text + QStringLiteral(" foram excluidas."),
                     0, readerId, clientId);
        else
            GravaLog(m_app, l.code, QStringLiteral("Exclusão GERAL via Exclusão Leitor : ") + text, 0, readerId,
                     clientId);
    }
}

bool TreeOperations::deleteFolderRow(TreeNode *entry, const QString &errorText, const QString &logText, QString &error)
{
    if (!DynamicQuery(m_app,
                      QStringLiteral("UPDATE ITENS SET EXCLUIDO = '1' where ID = ") + idText(entry->nodeData().id),
                      QueryMode::Execute)) {
        error = errorText;
        return false;
    }
    GravaLog(m_app, 27, logText + entry->text(), 0, 0, clientIdOf(entry));
    return true;
}

bool TreeOperations::deleteEntry(TreeNode *entry, bool moveToStock, Plan &plan, QString &error)
{
    const ItemNodeData d = entry->nodeData();
    const QString text = entry->text();
    const int clientId = clientIdOf(entry);
    auto deleteComments = [&](const QString &logText) {
        if (!DynamicQuery(m_app, QStringLiteral("Delete from COMENTARIOS where ID_PAI = ") + idText(d.id),
                          QueryMode::Execute)) {
            error = QStringLiteral("Excluindo comentários do \"leitor\" da tabela COMENTARIOS");
            return false;
        }
        GravaLog(m_app, 26, logText + text, 0, d.id, clientId);
        return true;
    };

    if (ItemTree::isReader(entry) && d.ownerId >= 1) {
        plan.treeSteps.push_back([this, id = d.id] {
            TreeNode *installed = m_tree.FindFolder(folder::Instalados);
            for (int i = 0; installed && i < installed->childCount(); ++i) {
                if (installed->child(i)->nodeData().id == id) {
                    if (installed->childCount() == 1)
                        m_tree.collapse(installed, true);
                    m_tree.removeEntry(installed->child(i));
                    break;
                }
            }
        });
        deleteLists(entry, true);
        if (moveToStock)
            return moveReaderToStock(entry, plan, error);
        if (!deleteComments(QStringLiteral("Exclusão do leitor : ")))
            return false;
        if (entry->icon() == icon::ReaderMaintenance) {
            plan.treeSteps.push_back(
                [this, text, id = d.id] { m_tree.FindDelNode(text, id, folder::Manutencao, true); });
        }
        if (!deleteComments(QStringLiteral("Exclusão do leitor : ")))
            return false;
        if (!copyToItensExcluidos(d.id)) {
            error = QStringLiteral("Excluindo \"leitor\" da tabela ITENS e incluindo na tabela ITENS_EXCLUIDOS");
            return false;
        }
        GravaLog(m_app, 28, QStringLiteral("O leitor foi excluido e enviado para itens excluídos : ") + text, 0, d.id,
                 clientId);
        if (!DynamicQuery(m_app, QStringLiteral("UPDATE ITENS SET EXCLUIDO = '1' WHERE ID = ") + idText(d.id),
                          QueryMode::Execute)) {
            error = QStringLiteral("Excluindo \"leitor\" na tabela ITENS");
            return false;
        }
        GravaLog(m_app, 27, QStringLiteral("Exclusão LEITOR : ") + text, 0, d.id, clientId);
        return true;
    }
    if (ItemTree::isReader(entry) && d.ownerId == folder::Estoque && !moveToStock) {
        if (!deleteComments(QStringLiteral("Exclusão do leitor em estoque: ")))
            return false;
        if (!DynamicQuery(m_app, QStringLiteral("UPDATE ITENS SET EXCLUIDO = '1' where ID = ") + idText(d.id),
                          QueryMode::Execute)) {
            error = QStringLiteral("Excluindo \"leitor\" na tabela ITENS");
            return false;
        }
        GravaLog(m_app, 27, QStringLiteral("Exclusão do leitor : ") + text, 0, d.id, 0);
        return true;
    }
    if (ItemTree::isFolderEntry(entry) && d.id != 0) {
        if (d.ownerId >= 0 && !deleteFolderRow(entry, QStringLiteral("Excluindo \"pasta\" da tabela ITENS"),
                                               QStringLiteral("Exclusão LEITOR : "), error))
            return false;
        if (!deleteFolderRow(entry, QStringLiteral("Excluindo \"pasta\" na tabela ITENS"),
                             QStringLiteral("Exclusão do leitor : "), error))
            return false;
        deleteLists(entry, false);
    }
    return true;
}

bool TreeOperations::moveReaderToStock(TreeNode *entry, Plan &plan, QString &error)
{
    const ItemNodeData d = entry->nodeData();
    const QString text = entry->text();
    const int clientId = clientIdOf(entry);
    error = QStringLiteral("Movendo \"leitor\" para o Estoque na tabela ITENS");
    db::ResultSet rs;
    if (!DynamicQuery(m_app,
                      QStringLiteral("Select * from ITENS where EXCLUIDO = '0' AND NOME_LOCAL = ") +
                          sql::quote(d.name) + QStringLiteral(" and ID_PAI = '") + QStringLiteral("-3") +
                          QStringLiteral("'"),
                      QueryMode::Open, &rs))
        return false;
    const int count = rs.rowCount();
    QString newName = d.name;
    if (count == 0) {
        if (!DynamicQuery(m_app,
                          QStringLiteral("Update ITENS set ID_PAI = '") + QStringLiteral("-3") + QStringLiteral("'") +
                              QStringLiteral(" where ID = ") + idText(d.id),
                          QueryMode::Execute))
            return false;
        GravaLog(m_app, 28,
                 QStringLiteral("O leitor foi movido para Estoque com o mesmo nome : ") + text +
                     QStringLiteral(" PARA: ") + text + QStringLiteral("#"),
                 0, d.id, clientId);
    } else {
        // The suffix must survive in NOME_LOCAL's 25 characters.
        const QString suffix = QStringLiteral("#") + QString::number(count);
        newName = d.name.left(25 - int(suffix.size())) + suffix;
        if (!DynamicQuery(m_app,
                          QStringLiteral("Update ITENS set NOME_LOCAL = ") + sql::quote(newName) +
                              QStringLiteral(", ") + QStringLiteral("ID_PAI = '") + QStringLiteral("-3") +
                              QStringLiteral("' where ID = ") + idText(d.id),
                          QueryMode::Execute))
            return false;
        plan.notices << [this] {
            m_app.showMessageBox(QStringLiteral("O leitor movido para Estoque possui o mesmo nome de\routro que já "
                                                "existia. O leitor movido foi renomeado."),
                                 QStringLiteral("Leitor renomeado"), mb::IconInformation);
        };
        GravaLog(m_app, 28,
                 QStringLiteral("O leitor movido para Estoque possui o mesmo nome deoutro que já existia. O leitor "
                                "movido foi renomeado. DE : ") +
                     text + QStringLiteral(" PARA: ") + text + QStringLiteral("#"),
                 0, d.id, clientId);
    }
    error.clear();

    const int iconIndex = entry->icon();
    plan.treeSteps.push_back([this, d, newName, iconIndex] {
        const QString newText = ItemTree::readerText(newName, d.serial);
        ItemNodeData s = d;
        s.ownerId = folder::Estoque;
        s.name = newName;
        s.clientName = newText.left(25);
        m_tree.addEntrySorted(m_tree.FindFolder(folder::Estoque), newText, iconIndex, s);
        if (iconIndex != icon::ReaderMaintenance)
            return;
        // The entry under "Manutenção" stays and must keep naming the reader
        // as it is now, or it could not be found by its text again.
        TreeNode *maintenance = m_tree.FindFolder(folder::Manutencao);
        for (int i = 0; maintenance && i < maintenance->childCount(); ++i) {
            TreeNode *m = maintenance->child(i);
            if (m->nodeData().id != d.id)
                continue;
            ItemNodeData md = m->nodeData();
            md.clientName = s.clientName;
            md.name = newName;
            m_tree.setEntryData(m, md);
            if (m->text() != newText) {
                m_tree.removeEntry(m);
                m_tree.addEntrySorted(maintenance, newText, icon::ReaderMaintenance, md);
            }
            break;
        }
    });
    return true;
}

bool TreeOperations::copyToItensExcluidos(int id)
{
    QString error;
    db::ResultSet rs;
    if (!DynamicQuery(m_app, QStringLiteral("Select * from ITENS where EXCLUIDO = '0' AND ID = ") + idText(id),
                      QueryMode::Open, &rs, &error)) {
        // error holds the driver's text
    } else if (rs.rowCount() != 1) {
        error = QStringLiteral("Inconsistência na quantidade de registros encontrados na seleção para exclusão: ") +
                QString::number(rs.rowCount()) + QStringLiteral(" registros");
    } else {
        const QDateTime included = rs.value(0, QStringLiteral("DATA_INCLUI")).toDateTime();
        const QString sql = QStringLiteral("Insert into ITENS_EXCLUIDOS (ID, NOME_LOCAL, HW_SERIE, DATA_INCLUI, "
                                           "DATA_EXCLUI) values (") +
                            idText(id) + QStringLiteral(", ") +
                            sql::quote(rs.value(0, QStringLiteral("NOME_LOCAL")).toString()) + QStringLiteral(", ") +
                            sql::quote(rs.value(0, QStringLiteral("HW_SERIE")).toString()) + QStringLiteral(", ") +
                            (included.isValid() ? sql::dateTime(included) : QStringLiteral("NULL")) +
                            QStringLiteral(", ") + now() + QStringLiteral(")");
        if (DynamicQuery(m_app, sql, QueryMode::Execute))
            return true;
        error = QStringLiteral("Inserindo \"leitor\" na tabela ITENS_EXCLUIDOS");
    }
    m_app.logEvent(QStringLiteral("Erro ao incluir leitor na tabela ITENS_EXCLUIDOS: ") + error + QStringLiteral("."),
                   EventLog::CriticalError);
    return false;
}

} // namespace zentro
