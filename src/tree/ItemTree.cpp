#include "tree/ItemTree.h"

#include "app/AppContext.h"
#include "app/DataAccess.h"
#include "audit/EventLog.h"

#include <QCollatorSortKey>
#include <QLocale>

#include <algorithm>
#include <functional>
#include <numeric>

namespace zentro {

namespace {

// Texts of the fixed entries; QStringLiteral shares them, so the thousands of
// entries under readers cost no text copies.
const QString MasterConfText = QStringLiteral("MasterConf");
const QString TabelasText = QStringLiteral("Tabelas");
const QString ConfiguracoesText = QStringLiteral("Configurações");
const QString LogsText = QStringLiteral("Logs");
const QString PropriedadesText = QStringLiteral("Propriedades");
const QString BonusText = QStringLiteral("Lista de Bônus");
const QString CreditosText = QStringLiteral("Lista de Créditos");
const QString GruposText = QStringLiteral("Lista de Grupos");
const QString ExclusaoText = QStringLiteral("Lista de Exclusão");
const QString ProdutosText = QStringLiteral("Lista de Produtos");
const QString AutoformatacaoText = QStringLiteral("Lista de Autoformatação");
const QString AutoFormatacaoMasterText = QStringLiteral("Lista de Auto formatação");

bool isOne(const QVariant &v)
{
    return v.toString().trimmed() == QLatin1String("1");
}

int masterIcon(bool usesMaster)
{
    return usesMaster ? icon::MasterData : icon::OwnData;
}

} // namespace

ItemTree::ItemTree(AppContext &app, QObject *parent)
    : QAbstractItemModel(parent)
    , m_app(app)
    , m_collator(QLocale(QLocale::Portuguese, QLocale::Brazil))
    , m_searchCollator(QLocale(QLocale::Portuguese, QLocale::Brazil))
{
    // Letters compare without regard to case first; case only breaks ties.
    m_collator.setCaseSensitivity(Qt::CaseSensitive);
    m_searchCollator.setCaseSensitivity(Qt::CaseInsensitive);
}

ItemTree::~ItemTree() = default;

// --- model -----------------------------------------------------------------------------------------------------

TreeNode *ItemTree::nodeOf(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<TreeNode *>(index.internalPointer());
}

QModelIndex ItemTree::indexOf(const TreeNode *node) const
{
    if (!node || node == &m_root)
        return {};
    return createIndex(node->m_row, 0, const_cast<TreeNode *>(node));
}

QModelIndex ItemTree::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    const TreeNode *p = parent.isValid() ? nodeOf(parent) : &m_root;
    if (!p || row >= p->childCount())
        return {};
    return createIndex(row, 0, p->child(row));
}

QModelIndex ItemTree::parent(const QModelIndex &child) const
{
    const TreeNode *n = nodeOf(child);
    if (!n || !n->m_parent || n->m_parent == &m_root)
        return {};
    return createIndex(n->m_parent->m_row, 0, n->m_parent);
}

int ItemTree::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const TreeNode *p = parent.isValid() ? nodeOf(parent) : &m_root;
    return p ? p->childCount() : 0;
}

int ItemTree::columnCount(const QModelIndex &) const
{
    return 1;
}

bool ItemTree::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

QVariant ItemTree::data(const QModelIndex &index, int role) const
{
    const TreeNode *n = nodeOf(index);
    if (!n)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return n->m_text;
    case Qt::ToolTipRole: {
        const QString hint = hintOf(n);
        return hint.isEmpty() ? QVariant() : QVariant(hint);
    }
    case IconRole:
        return effectiveIcon(n);
    default:
        return {};
    }
}

Qt::ItemFlags ItemTree::flags(const QModelIndex &index) const
{
    const TreeNode *n = nodeOf(index);
    if (!n)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (canRename(n))
        f |= Qt::ItemIsEditable;
    return f;
}

// --- building --------------------------------------------------------------------------------------------------

void ItemTree::clear()
{
    beginResetModel();
    m_root.m_children.clear();
    m_root.m_inOrder = true;
    endResetModel();
}

TreeNode *ItemTree::addEntry(TreeNode *parent, const QString &text, int iconIndex, const ItemNodeData &data)
{
    if (!parent)
        parent = &m_root;
    auto node = std::make_unique<TreeNode>();
    node->m_text = text;
    node->m_icon = iconIndex;
    node->m_data = data;
    node->m_parent = parent;
    const int row = parent->childCount();
    node->m_row = row;
    if (m_building) {
        if (row > 0)
            parent->m_inOrder = false; // the ordering pass settles it
    } else if (row > 0 && parent->m_inOrder && compareTexts(parent->m_children.back()->m_text, text) > 0) {
        parent->m_inOrder = false;
    }
    TreeNode *raw = node.get();
    if (!m_building)
        beginInsertRows(indexOf(parent), row, row);
    parent->m_children.push_back(std::move(node));
    if (!m_building) {
        endInsertRows();
        // A folder that gets its first entry may show another icon now.
        if (row == 0 && parent != &m_root)
            emitIconChanged(parent);
    }
    return raw;
}

TreeNode *ItemTree::addEntrySorted(TreeNode *parent, const QString &text, int iconIndex, const ItemNodeData &data)
{
    if (!parent)
        parent = &m_root;
    if (!parent->m_inOrder) {
        TreeNode *n = addEntry(parent, text, iconIndex, data);
        sortChildren(parent);
        return n;
    }
    // Upper bound: an entry goes after the ones that compare equal to it.
    int lo = 0;
    int hi = parent->childCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (compareTexts(parent->child(mid)->m_text, text) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    auto node = std::make_unique<TreeNode>();
    node->m_text = text;
    node->m_icon = iconIndex;
    node->m_data = data;
    node->m_parent = parent;
    TreeNode *raw = node.get();
    if (!m_building)
        beginInsertRows(indexOf(parent), lo, lo);
    parent->m_children.insert(parent->m_children.begin() + lo, std::move(node));
    renumber(parent, lo);
    if (!m_building) {
        endInsertRows();
        if (parent->childCount() == 1 && parent != &m_root)
            emitIconChanged(parent);
    }
    return raw;
}

void ItemTree::removeEntry(TreeNode *node)
{
    if (!node || node == &m_root || !node->m_parent)
        return;
    TreeNode *parent = node->m_parent;
    const int row = node->m_row;
    if (!m_building)
        beginRemoveRows(indexOf(parent), row, row);
    parent->m_children.erase(parent->m_children.begin() + row);
    renumber(parent, row);
    if (!m_building) {
        endRemoveRows();
        if (!parent->hasChildren() && parent != &m_root)
            emitIconChanged(parent);
    }
}

void ItemTree::renumber(TreeNode *parent, int from)
{
    for (int i = from; i < parent->childCount(); ++i)
        parent->m_children[size_t(i)]->m_row = i;
}

void ItemTree::setEntryText(TreeNode *node, const QString &text)
{
    if (!node || node->m_text == text)
        return;
    node->m_text = text;
    if (node->m_parent)
        node->m_parent->m_inOrder = node->m_parent->childCount() < 2;
    if (!m_building) {
        const QModelIndex i = indexOf(node);
        emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
    }
}

void ItemTree::setEntryIcon(TreeNode *node, int iconIndex)
{
    if (!node || node->m_icon == iconIndex)
        return;
    node->m_icon = iconIndex;
    emitIconChanged(node);
}

void ItemTree::setEntryData(TreeNode *node, const ItemNodeData &data)
{
    if (!node)
        return;
    node->m_data = data;
    if (!m_building) {
        const QModelIndex i = indexOf(node);
        emit dataChanged(i, i, {Qt::ToolTipRole});
    }
}

void ItemTree::emitIconChanged(TreeNode *node)
{
    if (m_building || !node || node == &m_root)
        return;
    const QModelIndex i = indexOf(node);
    emit dataChanged(i, i, {IconRole});
}

void ItemTree::AttachNodeData(TreeNode *entry, int id, int ownerId, const QString &name, const QString &serial,
                              int iconIndex)
{
    if (!entry)
        return;
    ItemNodeData d;
    d.id = id;
    d.ownerId = ownerId;
    d.name = name;
    d.serial = serial;
    setEntryData(entry, d);
    setEntryIcon(entry, iconIndex);
}

void ItemTree::addMasterConf(TreeNode *client, bool withAutoFormatList)
{
    ItemNodeData d;
    d.ownerId = client->m_data.id;
    TreeNode *master = addEntry(client, MasterConfText, icon::MasterConfClosed, d);
    addEntry(master, ConfiguracoesText, icon::MasterEntry, d);
    addEntry(master, BonusText, icon::MasterEntry, d);
    addEntry(master, CreditosText, icon::MasterEntry, d);
    addEntry(master, GruposText, icon::MasterEntry, d);
    addEntry(master, ExclusaoText, icon::MasterEntry, d);
    if (withAutoFormatList)
        addEntry(master, AutoFormatacaoMasterText, icon::MasterEntry, d);
    addEntry(master, LogsText, icon::MasterLogs, d);
}

void ItemTree::addReaderEntries(TreeNode *reader, const MasterUse &use)
{
    ItemNodeData d;
    d.ownerId = reader->m_data.id;
    TreeNode *tabelas = addEntry(reader, TabelasText, icon::Tabelas, d);
    addEntry(tabelas, BonusText, masterIcon(use.bonus), d);
    addEntry(tabelas, CreditosText, masterIcon(use.credits), d);
    addEntry(tabelas, GruposText, masterIcon(use.groups), d);
    addEntry(tabelas, ExclusaoText, icon::MasterData, d);
    addEntry(tabelas, ProdutosText, icon::OwnData, d);
    addEntry(tabelas, AutoformatacaoText, masterIcon(use.autoFormat), d);
    addEntry(reader, ConfiguracoesText, masterIcon(use.confs), d);
    addEntry(reader, LogsText, icon::ReaderLogs, d);
    addEntry(reader, PropriedadesText, icon::Properties, d);
}

TreeNode *ItemTree::addUnregisteredReader(int id, const QString &serial)
{
    TreeNode *folderNode = FindFolder(folder::NaoCadastrados);
    if (!folderNode)
        return nullptr;
    ItemNodeData d;
    d.id = id;
    d.ownerId = folder::NaoCadastrados;
    d.name = serial;
    d.serial = serial;
    const QString text = readerText(serial, serial);
    // Same hint as after a reload.
    d.clientName = text.left(25);
    return addEntrySorted(folderNode, text, icon::Reader, d);
}

void ItemTree::addFixedFolders()
{
    const std::pair<const char16_t *, int> folders[] = {
        {u"Clientes", folder::Clientes},
        {u"Equipamentos Instalados", folder::Instalados},
        {u"Estoque", folder::Estoque},
        {u"Manutenção", folder::Manutencao},
        {u"Não Cadastrados", folder::NaoCadastrados},
    };
    for (const auto &[text, id] : folders) {
        ItemNodeData d;
        d.id = id;
        addEntry(&m_root, QString::fromUtf16(text), 0, d);
    }
}

bool ItemTree::LoadTreeview()
{
    beginResetModel();
    m_building = true;
    m_root.m_children.clear();
    addFixedFolders();

    RowsByParent rows;
    QString error;
    bool ok = queryRows(QString(), rows, &error);
    if (ok) {
        QSet<int> mounted;
        mountRows(FindFolder(folder::Clientes), rows, mounted);
        mountRows(FindFolder(folder::Estoque), rows, mounted);
        mountRows(FindFolder(folder::NaoCadastrados), rows, mounted);
    } else {
        m_app.logEvent(QStringLiteral("Erro ao extrair estrutura da árvore de clientes (Função: MountTree): ") + error,
                       EventLog::CriticalError);
    }
    OrdemAlfabetica();
    m_building = false;
    endResetModel();

    if (!ok) {
        m_app.showMessageBox(QStringLiteral("Erro ao carregar estrutura da árvore de clientes."),
                             QStringLiteral("Erro"), mb::IconError);
        m_app.logEvent(QStringLiteral("Erro ao CARREGAR a estrutura do Treeview (Função: LoadTreeview): ") + error,
                       EventLog::CriticalError);
    }
    return ok;
}

// Reads the live rows of ITENS (all of them, or those under the parents the
// condition names) into lists per parent, each in NOME_LOCAL order.
bool ItemTree::queryRows(const QString &where, RowsByParent &rows, QString *error)
{
    QString sql = QStringLiteral("Select ID, NOME_LOCAL, HW_SERIE, ID_PAI, EM_MANUTENCAO, TEM_FILHO, "
                                 "USAR_MASTER_CONFS, USAR_MASTER_LCRED, USAR_MASTER_LGROUP, USAR_MASTER_LBONUS, "
                                 "USAR_MASTER_LAUTOFORMAT from ITENS where EXCLUIDO = '0' ");
    if (!where.isEmpty())
        sql += QStringLiteral("AND ") + where + QLatin1Char(' ');
    sql += QStringLiteral("and id <> '-10' order by NOME_LOCAL, ID");
    db::ResultSet rs;
    if (!DynamicQuery(m_app, sql, QueryMode::Open, &rs)) {
        if (error)
            *error = QStringLiteral("Selecionando registros da tabela ITENS");
        return false;
    }
    rows.reserve(rows.size() + rs.rowCount() / 4 + 8);
    for (const QVariantList &r : rs.rows()) {
        ItemRow row;
        row.id = r.at(0).toInt();
        row.name = r.at(1).toString();
        const QVariant serial = r.at(2);
        row.serial = serial.toString();
        row.isReader = !serial.isNull() && !row.serial.isEmpty();
        row.parentId = r.at(3).toInt();
        row.maintenance = isOne(r.at(4));
        row.hasChildren = isOne(r.at(5));
        row.use.confs = r.at(6).toLongLong() != 0;
        row.use.credits = r.at(7).toLongLong() != 0;
        row.use.groups = r.at(8).toLongLong() != 0;
        row.use.bonus = r.at(9).toLongLong() != 0;
        row.use.autoFormat = r.at(10).toLongLong() != 0;
        rows[row.parentId].push_back(std::move(row));
    }
    return true;
}

// Adds the children of an entry from the rows read, recursively, the way the
// folders have always been mounted: a row whose TEM_FILHO is not 1 gets no
// children, whatever rows name it as parent. Mirrors of installed readers and
// of readers in maintenance are added on the way.
void ItemTree::mountRows(TreeNode *entry, const RowsByParent &rows, QSet<int> &mounted)
{
    if (!entry)
        return;
    const int entryId = entry->m_data.id;
    // A row that names itself or an ancestor as parent must not loop.
    if (mounted.contains(entryId) && !isFixedFolder(entry))
        return;
    mounted.insert(entryId);
    const auto it = rows.constFind(entryId);
    if (it == rows.constEnd())
        return;

    TreeNode *installed = nullptr;
    TreeNode *maintenance = nullptr;
    for (const ItemRow &row : *it) {
        TreeNode *node = nullptr;
        if (row.isReader) {
            const QString text = readerText(row.name, row.serial);
            node = addEntry(entry, text, row.maintenance ? icon::ReaderMaintenance : icon::Reader);
            // The client name is the text of the entry right under a fixed folder.
            QString clientName = text;
            for (TreeNode *up = entry; up && up != &m_root; up = up->m_parent) {
                if (up->m_parent && isFixedFolder(up->m_parent)) {
                    clientName = up->m_text;
                    break;
                }
            }
            ItemNodeData d;
            d.id = row.id;
            d.ownerId = entryId;
            d.clientName = clientName.left(25);
            d.name = row.name;
            d.serial = row.serial;
            node->m_data = d;
            if (row.maintenance) {
                if (!maintenance)
                    maintenance = FindFolder(folder::Manutencao);
                ItemNodeData m = d;
                m.ownerId = folder::Manutencao;
                addEntry(maintenance, text, icon::ReaderMaintenance, m);
            }
            if (row.parentId > 0) {
                addReaderEntries(node, row.use);
                if (!installed)
                    installed = FindFolder(folder::Instalados);
                ItemNodeData m = d;
                m.ownerId = folder::Instalados;
                addEntry(installed, text, node->m_icon, m);
            }
        } else {
            ItemNodeData d;
            d.id = row.id;
            d.ownerId = entryId;
            node = addEntry(entry, row.name, icon::FolderClosed, d);
            if (row.parentId == folder::Clientes)
                addMasterConf(node, false);
        }
        if (row.hasChildren)
            mountRows(node, rows, mounted);
    }
}

bool ItemTree::MountTree(TreeNode *entry)
{
    if (!entry)
        return false;
    // One query per folder level below the entry.
    RowsByParent rows;
    QList<int> level{entry->m_data.id};
    QSet<int> seen;
    QString error;
    while (!level.isEmpty()) {
        QStringList ids;
        for (int id : level) {
            if (!seen.contains(id)) {
                seen.insert(id);
                ids << QString::number(id);
            }
        }
        if (ids.isEmpty())
            break;
        RowsByParent batch;
        if (!queryRows(QStringLiteral("ID_PAI in (") + ids.join(QLatin1Char(',')) + QLatin1Char(')'), batch, &error)) {
            m_app.logEvent(QStringLiteral("Erro ao extrair estrutura da árvore de clientes (Função: MountTree): ") +
                               error,
                           EventLog::CriticalError);
            return false;
        }
        level.clear();
        for (auto it = batch.begin(); it != batch.end(); ++it) {
            for (const ItemRow &row : it.value()) {
                if (row.hasChildren)
                    level << row.id;
            }
            auto &target = rows[it.key()];
            for (ItemRow &row : it.value())
                target.push_back(std::move(row));
        }
    }
    QSet<int> mounted;
    // Mirrors may land anywhere in their folders: those lose their order.
    mountRows(entry, rows, mounted);
    if (isFixedFolder(entry) && entry->m_data.id != folder::Clientes)
        sortChildren(entry, true);
    else
        organizeBelow(entry);
    for (int id : {folder::Instalados, folder::Manutencao}) {
        TreeNode *f = FindFolder(id);
        if (f && !f->m_inOrder)
            sortChildren(f);
    }
    return true;
}

// --- ordering --------------------------------------------------------------------------------------------------

int ItemTree::compareTexts(const QString &a, const QString &b) const
{
    return m_collator.compare(a, b);
}

bool ItemTree::sameText(const QString &a, const QString &b) const
{
    return a.compare(b, Qt::CaseSensitive) == 0 || a.toUpper() == b.toUpper();
}

void ItemTree::applyOrder(TreeNode *parent, const std::vector<int> &order)
{
    bool identity = true;
    for (size_t i = 0; i < order.size(); ++i) {
        if (order[i] != int(i)) {
            identity = false;
            break;
        }
    }
    if (identity)
        return;
    const QModelIndex parentIndex = indexOf(parent);
    if (!m_building)
        emit layoutAboutToBeChanged({QPersistentModelIndex(parentIndex)}, QAbstractItemModel::VerticalSortHint);
    std::vector<std::unique_ptr<TreeNode>> sorted;
    sorted.reserve(order.size());
    for (int i : order)
        sorted.push_back(std::move(parent->m_children[size_t(i)]));
    parent->m_children = std::move(sorted);
    renumber(parent, 0);
    if (!m_building) {
        const QModelIndexList persistent = persistentIndexList();
        for (const QModelIndex &old : persistent) {
            TreeNode *n = nodeOf(old);
            if (n && n->m_parent == parent)
                changePersistentIndex(old, createIndex(n->m_row, 0, n));
        }
        emit layoutChanged({QPersistentModelIndex(parentIndex)}, QAbstractItemModel::VerticalSortHint);
    }
}

void ItemTree::sortChildren(TreeNode *parent, bool allLevels)
{
    if (!parent)
        return;
    const int n = parent->childCount();
    if (n > 1) {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(size_t(n));
        for (int i = 0; i < n; ++i)
            keys.push_back(m_collator.sortKey(parent->child(i)->m_text));
        std::vector<int> order(static_cast<size_t>(n));
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&keys](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
        applyOrder(parent, order);
    }
    parent->m_inOrder = true;
    if (allLevels) {
        for (int i = 0; i < parent->childCount(); ++i) {
            if (parent->child(i)->hasChildren())
                sortChildren(parent->child(i), true);
        }
    }
}

// "MasterConf" first, then the folders, then everything else, each group in
// alphabetical order.
bool ItemTree::OrganizeLevel(TreeNode *entry)
{
    if (!entry)
        return false;
    // A fixed folder has no parent entry: it orders its own children.
    organizeChildren(entry->m_parent && entry->m_parent != &m_root ? entry->m_parent : entry);
    return true;
}

void ItemTree::organizeChildren(TreeNode *parent)
{
    const int n = parent->childCount();
    if (n == 0)
        return;
    std::vector<QCollatorSortKey> keys;
    std::vector<int> group(static_cast<size_t>(n));
    keys.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        const TreeNode *c = parent->child(i);
        keys.push_back(m_collator.sortKey(c->m_text));
        group[size_t(i)] = isMasterConf(c) ? 0 : (isFolderEntry(c) ? 1 : 2);
    }
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (group[size_t(a)] != group[size_t(b)])
            return group[size_t(a)] < group[size_t(b)];
        return keys[size_t(a)].compare(keys[size_t(b)]) < 0;
    });
    // Plain alphabetical order only when no grouping moved anything.
    bool alphabetical = true;
    for (int i = 1; i < n && alphabetical; ++i)
        alphabetical = keys[size_t(order[size_t(i - 1)])].compare(keys[size_t(order[size_t(i)])]) <= 0;
    applyOrder(parent, order);
    parent->m_inOrder = alphabetical;
}

void ItemTree::organizeBelow(TreeNode *entry)
{
    bool hasFolderChild = false;
    for (int i = 0; i < entry->childCount(); ++i) {
        TreeNode *c = entry->child(i);
        if (isMasterConf(c) || isReader(c))
            continue;
        hasFolderChild = true;
        if (c->hasChildren())
            organizeBelow(c);
    }
    // A client's or sub-division's own level is ordered even when it holds
    // readers only, so "MasterConf" always leads.
    if (hasFolderChild || isFolderEntry(entry))
        organizeChildren(entry);
}

bool ItemTree::OrganizeAllItens(TreeNode *entry)
{
    if (!entry)
        return false;
    organizeBelow(entry);
    return true;
}

bool ItemTree::OrdemAlfabetica(TreeNode *installed, TreeNode *stock, TreeNode *maintenance, TreeNode *unregistered)
{
    if (isEmpty())
        return false;
    if (!installed)
        installed = FindFolder(folder::Instalados);
    if (!stock)
        stock = FindFolder(folder::Estoque);
    if (!maintenance)
        maintenance = FindFolder(folder::Manutencao);
    if (!unregistered)
        unregistered = FindFolder(folder::NaoCadastrados);
    OrganizeAllItens(topLevel(0));
    for (TreeNode *f : {installed, stock, maintenance, unregistered}) {
        if (f)
            sortChildren(f, true);
    }
    for (TreeNode *f : {topLevel(0), installed, stock, maintenance, unregistered}) {
        if (f)
            collapse(f, true);
    }
    return true;
}

// --- look-ups --------------------------------------------------------------------------------------------------

bool ItemTree::isReader(const TreeNode *node)
{
    return node && (node->m_icon == icon::Reader || node->m_icon == icon::ReaderMaintenance);
}

bool ItemTree::isFolderEntry(const TreeNode *node)
{
    return node && (node->m_icon == icon::FolderOpen || node->m_icon == icon::FolderClosed);
}

bool ItemTree::isFixedFolder(const TreeNode *node)
{
    return node && node->m_parent && !node->m_parent->m_parent && node->m_data.id < 0 && node->m_data.id >= -5;
}

bool ItemTree::isMasterConf(const TreeNode *node)
{
    return node && (node->m_icon == icon::MasterConfClosed || node->m_icon == icon::MasterConfOpen);
}

TreeNode *ItemTree::readerAbove(TreeNode *node) const
{
    for (TreeNode *up = node ? node->m_parent : nullptr; up && up != &m_root; up = up->m_parent) {
        if (isReader(up))
            return up;
    }
    return nullptr;
}

bool ItemTree::isBelowReader(const TreeNode *node) const
{
    return readerAbove(const_cast<TreeNode *>(node)) != nullptr;
}

bool ItemTree::isBelowMasterConf(const TreeNode *node) const
{
    for (const TreeNode *up = node ? node->m_parent : nullptr; up && up != &m_root; up = up->m_parent) {
        if (isMasterConf(up))
            return true;
    }
    return false;
}

int ItemTree::effectiveIcon(const TreeNode *node) const
{
    if (!node)
        return -1;
    if (isFixedFolder(node))
        return node->m_expanded ? icon::FolderOpen : icon::FolderClosed;
    if (isFolderEntry(node))
        return node->m_expanded && node->hasChildren() ? icon::FolderOpen : icon::FolderClosed;
    if (isMasterConf(node))
        return node->m_expanded ? icon::MasterConfOpen : icon::MasterConfClosed;
    return node->m_icon;
}

bool ItemTree::canRename(const TreeNode *node) const
{
    if (!node || !node->m_parent || node->m_parent == &m_root)
        return false;
    if (isFixedFolder(node->m_parent)) {
        const int f = node->m_parent->m_data.id;
        if (f == folder::Instalados || f == folder::Manutencao || f == folder::NaoCadastrados)
            return false;
    }
    switch (node->m_icon) {
    case icon::Reader:
    case icon::ReaderMaintenance:
    case icon::ReaderLogs:
    case icon::MasterLogs:
    case icon::MasterData:
    case icon::MasterConfClosed:
    case icon::MasterConfOpen:
    case icon::MasterEntry:
        return false;
    default:
        break;
    }
    return !isBelowReader(node);
}

QString ItemTree::hintOf(const TreeNode *node)
{
    if (!node || node->m_data.clientName.isEmpty())
        return {};
    return QStringLiteral("Pertence ao Cliente: ") + node->m_data.clientName;
}

QString ItemTree::readerText(const QString &name, const QString &serial)
{
    return name + QStringLiteral(" (") + serial + QLatin1Char(')');
}

TreeNode *ItemTree::FindFolder(int id) const
{
    for (int i = 0; i < m_root.childCount(); ++i) {
        if (m_root.child(i)->m_data.id == id)
            return m_root.child(i);
    }
    return nullptr;
}

TreeNode *ItemTree::topFolderOf(TreeNode *entry) const
{
    TreeNode *n = entry;
    while (n && n->m_parent && n->m_parent != &m_root)
        n = n->m_parent;
    return n && n->m_parent == &m_root ? n : nullptr;
}

TreeNode *ItemTree::ClientNodeOf(TreeNode *entry) const
{
    for (TreeNode *n = entry; n && n->m_parent && n->m_parent != &m_root; n = n->m_parent) {
        if (isFixedFolder(n->m_parent))
            return n->m_parent->m_data.id == folder::Clientes ? n : nullptr;
    }
    return nullptr;
}

bool ItemTree::keyMatches(const TreeNode *node, const QString &text, int id) const
{
    return (id == folder::AnyId || node->m_data.id == id) && sameText(node->m_text, text);
}

int ItemTree::FindNode(TreeNode *start, const QString &text, TreeNode *&found, int mode) const
{
    found = nullptr;
    if (!start)
        return -1;
    std::function<TreeNode *(TreeNode *)> mode0 = [&](TreeNode *n) -> TreeNode * {
        if (sameText(n->m_text, text))
            return n;
        if (n->hasChildren() && !isReader(n)) {
            for (int i = 0; i < n->childCount(); ++i) {
                if (TreeNode *hit = mode0(n->child(i)))
                    return hit;
            }
        }
        return nullptr;
    };
    std::function<TreeNode *(TreeNode *)> mode1 = [&](TreeNode *n) -> TreeNode * {
        for (int i = 0; i < n->childCount(); ++i) {
            TreeNode *c = n->child(i);
            if (!c->hasChildren()) {
                if (sameText(c->m_text, text))
                    return c;
            } else if (TreeNode *hit = mode1(c)) {
                return hit;
            }
        }
        return nullptr;
    };
    found = mode == 0 ? mode0(start) : mode1(start);
    return found ? absoluteIndex(found) : -1;
}

int ItemTree::FindNodeBinSearch(TreeNode *folderNode, const QString &text, int id) const
{
    if (!folderNode || !folderNode->hasChildren())
        return -1;
    const int n = folderNode->childCount();
    if (!folderNode->m_inOrder) {
        // Nothing vouches for the order here: look at every entry.
        for (int i = 0; i < n; ++i) {
            if (keyMatches(folderNode->child(i), text, id))
                return i;
        }
        return -1;
    }
    // The same order the folder was sorted in, without the case tie-break:
    // every text equal to the key stands in one run.
    int lo = 0;
    int hi = n;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (m_searchCollator.compare(folderNode->child(mid)->m_text, text) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    for (int i = lo; i < n && m_searchCollator.compare(folderNode->child(i)->m_text, text) == 0; ++i) {
        if (keyMatches(folderNode->child(i), text, id))
            return i;
    }
    return -1;
}

bool ItemTree::FindDelNode(const QString &text, int id, int folderId, bool remove)
{
    TreeNode *f = FindFolder(folderId);
    if (!f || !f->hasChildren())
        return false;
    const int i = FindNodeBinSearch(f, text, id);
    if (i < 0)
        return false;
    if (remove) {
        collapse(f, f->childCount() > 1);
        removeEntry(f->child(i));
    }
    return true;
}

int ItemTree::Find_In_Node(TreeNode *start, const QString &text, int id, TreeNode **found) const
{
    if (found)
        *found = nullptr;
    if (!start)
        return -1;
    std::vector<TreeNode *> stack;
    for (int i = start->childCount() - 1; i >= 0; --i)
        stack.push_back(start->child(i));
    while (!stack.empty()) {
        TreeNode *n = stack.back();
        stack.pop_back();
        if (isReader(n)) {
            if (keyMatches(n, text, id)) {
                if (found)
                    *found = n;
                return absoluteIndex(n);
            }
            continue; // never below a reader
        }
        for (int i = n->childCount() - 1; i >= 0; --i)
            stack.push_back(n->child(i));
    }
    return -1;
}

TreeNode *ItemTree::FindKLT(const QString &text, int id) const
{
    if (isEmpty())
        return nullptr;
    TreeNode *hit = nullptr;
    if (Find_In_Node(topLevel(0), text, id, &hit) >= 0)
        return hit;
    TreeNode *stock = FindFolder(folder::Estoque);
    const int i = FindNodeBinSearch(stock, text, id);
    return i >= 0 ? stock->child(i) : nullptr;
}

int ItemTree::FindNodeByText(const QString &text, int start, TreeNode **found) const
{
    if (found)
        *found = nullptr;
    if (start < 0)
        start = 0;
    int index = 0;
    std::vector<TreeNode *> stack;
    for (int i = m_root.childCount() - 1; i >= 0; --i)
        stack.push_back(m_root.child(i));
    while (!stack.empty()) {
        TreeNode *n = stack.back();
        stack.pop_back();
        if (index >= start && n->m_text.contains(text, Qt::CaseInsensitive)) {
            if (found)
                *found = n;
            return index;
        }
        ++index;
        for (int i = n->childCount() - 1; i >= 0; --i)
            stack.push_back(n->child(i));
    }
    return -1;
}

bool ItemTree::Leitores_IDs_List(TreeNode *entry, QStringList &list, bool byName) const
{
    if (!entry)
        return false;
    if (isReader(entry)) {
        list << QString::number(entry->m_data.id);
        return true;
    }
    for (int i = 0; i < entry->childCount(); ++i) {
        TreeNode *c = entry->child(i);
        if (isReader(c))
            list << (byName ? c->m_text : QString::number(c->m_data.id));
        else if (c->hasChildren() && !isMasterConf(c))
            Leitores_IDs_List(c, list, byName);
    }
    return true;
}

int ItemTree::subtreeSize(const TreeNode *node) const
{
    int size = 1;
    for (int i = 0; i < node->childCount(); ++i)
        size += subtreeSize(node->child(i));
    return size;
}

int ItemTree::absoluteIndex(const TreeNode *node) const
{
    if (!node || node == &m_root)
        return -1;
    int index = 0;
    for (const TreeNode *n = node; n && n != &m_root; n = n->m_parent) {
        for (int i = 0; i < n->m_row; ++i)
            index += subtreeSize(n->m_parent->child(i));
        if (n->m_parent != &m_root)
            index += 1; // the parent itself comes first
    }
    return index;
}

TreeNode *ItemTree::nodeAtAbsoluteIndex(int index) const
{
    if (index < 0)
        return nullptr;
    int i = 0;
    std::vector<TreeNode *> stack;
    for (int r = m_root.childCount() - 1; r >= 0; --r)
        stack.push_back(m_root.child(r));
    while (!stack.empty()) {
        TreeNode *n = stack.back();
        stack.pop_back();
        if (i++ == index)
            return n;
        for (int r = n->childCount() - 1; r >= 0; --r)
            stack.push_back(n->child(r));
    }
    return nullptr;
}

// --- counters and expansion ------------------------------------------------------------------------------------

int ItemTree::installedCount() const
{
    const TreeNode *f = FindFolder(folder::Instalados);
    return f ? f->childCount() : 0;
}

int ItemTree::stockCount() const
{
    const TreeNode *f = FindFolder(folder::Estoque);
    return f ? f->childCount() : 0;
}

QString ItemTree::installedCounterText() const
{
    return QStringLiteral("Leitores Instalados: ") + QString::number(installedCount());
}

QString ItemTree::stockCounterText() const
{
    return QStringLiteral("Em Estoque: ") + QString::number(stockCount());
}

void ItemTree::setExpanded(TreeNode *node, bool expanded)
{
    if (!node || node->m_expanded == expanded)
        return;
    node->m_expanded = expanded;
    emitIconChanged(node);
}

void ItemTree::collapse(TreeNode *node, bool allLevels)
{
    if (!node)
        return;
    if (allLevels) {
        for (int i = 0; i < node->childCount(); ++i) {
            if (node->child(i)->hasChildren())
                collapse(node->child(i), true);
        }
    }
    if (node->m_expanded) {
        node->m_expanded = false;
        if (!m_building) {
            emitIconChanged(node);
            emit collapseRequested(indexOf(node));
        }
    }
}

} // namespace zentro
