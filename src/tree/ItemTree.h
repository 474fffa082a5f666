#pragma once

#include "tree/ItemNodeData.h"

#include <QAbstractItemModel>
#include <QCollator>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <memory>
#include <vector>

namespace zentro {

class AppContext;

// One entry of the item tree. Its text, icon and data change only through
// ItemTree, so that every view of the tree hears of it.
class TreeNode
{
public:
    const QString &text() const { return m_text; }
    // The icon as stored; folders and "MasterConf" show another one while
    // expanded (ItemTree::effectiveIcon).
    int icon() const { return m_icon; }
    const ItemNodeData &nodeData() const { return m_data; }

    TreeNode *parent() const { return m_parent; }
    int row() const { return m_row; }
    int childCount() const { return int(m_children.size()); }
    TreeNode *child(int row) const { return m_children[size_t(row)].get(); }
    bool hasChildren() const { return !m_children.empty(); }
    bool isExpanded() const { return m_expanded; }
    // The children are known to stand in alphabetical order, so a binary
    // search over them can be trusted.
    bool childrenInOrder() const { return m_inOrder; }

private:
    friend class ItemTree;
    QString m_text;
    int m_icon = 0;
    ItemNodeData m_data;
    TreeNode *m_parent = nullptr;
    int m_row = 0;
    bool m_expanded = false;
    bool m_inOrder = true;
    std::vector<std::unique_ptr<TreeNode>> m_children;
};

// The tree of clients, sub-divisions and readers built from ITENS: the five
// fixed folders, the entries under readers and clients, the mirrors of
// installed readers and of readers in maintenance. It is the model the tree
// view shows, and it holds every look-up other windows use to find readers and
// clients in it. One comparison orders it and searches it.
class ItemTree : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Role {
        IconRole = Qt::UserRole + 1, // the icon list position to paint (int)
    };

    // Which of a reader's configuration and lists take the client's master data.
    struct MasterUse
    {
        bool confs = false;
        bool credits = false;
        bool groups = false;
        bool bonus = false;
        bool autoFormat = false;
    };

    explicit ItemTree(AppContext &app, QObject *parent = nullptr);
    ~ItemTree() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    TreeNode *nodeOf(const QModelIndex &index) const;
    QModelIndex indexOf(const TreeNode *node) const;

    int topLevelCount() const { return m_root.childCount(); }
    TreeNode *topLevel(int row) const { return m_root.child(row); }
    bool isEmpty() const { return !m_root.hasChildren(); }
    void clear();

    // Loading.
    bool LoadTreeview();
    bool MountTree(TreeNode *entry);
    void AttachNodeData(TreeNode *entry, int id, int ownerId, const QString &name, const QString &serial, int icon);

    // Building blocks of the operations; each keeps the views in step.
    TreeNode *addEntry(TreeNode *parent, const QString &text, int icon, const ItemNodeData &data = {});
    // Adds at the entry's alphabetical place (a folder kept in order stays so).
    TreeNode *addEntrySorted(TreeNode *parent, const QString &text, int icon, const ItemNodeData &data = {});
    void removeEntry(TreeNode *node);
    void setEntryText(TreeNode *node, const QString &text);
    void setEntryIcon(TreeNode *node, int icon);
    void setEntryData(TreeNode *node, const ItemNodeData &data);
    void addMasterConf(TreeNode *client, bool withAutoFormatList);
    void addReaderEntries(TreeNode *reader, const MasterUse &use);
    // The tree part of registering an unknown reader: its entry under "Não Cadastrados".
    TreeNode *addUnregisteredReader(int id, const QString &serial);

    // Ordering.
    bool OrdemAlfabetica(TreeNode *installed = nullptr, TreeNode *stock = nullptr, TreeNode *maintenance = nullptr,
                         TreeNode *unregistered = nullptr);
    bool OrganizeAllItens(TreeNode *entry);
    bool OrganizeLevel(TreeNode *entry);
    void sortChildren(TreeNode *parent, bool allLevels = false);
    // The tree's alphabetical order: negative, zero or positive.
    int compareTexts(const QString &a, const QString &b) const;

    // Look-ups in the tree. Indexes are absolute (pre-order over the whole tree).
    TreeNode *FindFolder(int id) const;
    TreeNode *ClientNodeOf(TreeNode *entry) const;
    // The fixed folder an entry lies in (the folder itself for a folder).
    TreeNode *topFolderOf(TreeNode *entry) const;
    int FindNode(TreeNode *start, const QString &text, TreeNode *&found, int mode) const;
    int FindNodeBinSearch(TreeNode *folder, const QString &text, int id) const;
    bool FindDelNode(const QString &text, int id, int folderId, bool remove);
    int Find_In_Node(TreeNode *start, const QString &text, int id, TreeNode **found = nullptr) const;
    // The reader's entry under "Clientes", else under "Estoque"; null when absent.
    TreeNode *FindKLT(const QString &text, int id) const;
    int FindNodeByText(const QString &text, int start, TreeNode **found = nullptr) const;
    bool Leitores_IDs_List(TreeNode *entry, QStringList &list, bool byName) const;
    int absoluteIndex(const TreeNode *node) const;
    TreeNode *nodeAtAbsoluteIndex(int index) const;

    // Status bar counters.
    int installedCount() const;
    int stockCount() const;
    QString installedCounterText() const;
    QString stockCounterText() const;

    // Kinds of entries.
    static bool isReader(const TreeNode *node);
    static bool isFolderEntry(const TreeNode *node); // client or sub-division (icon 10/11)
    static bool isFixedFolder(const TreeNode *node);
    static bool isMasterConf(const TreeNode *node);
    bool isBelowReader(const TreeNode *node) const;
    bool isBelowMasterConf(const TreeNode *node) const;
    TreeNode *readerAbove(TreeNode *node) const;
    int effectiveIcon(const TreeNode *node) const;
    // Whether the operator may name this entry in place: clients and sub-divisions.
    bool canRename(const TreeNode *node) const;
    static QString hintOf(const TreeNode *node);
    static QString readerText(const QString &name, const QString &serial);

    // Expansion, kept in step with the view: the folder icons follow it.
    void setExpanded(TreeNode *node, bool expanded);
    void collapse(TreeNode *node, bool allLevels);

signals:
    // The tree wants this entry shown collapsed.
    void collapseRequested(const QModelIndex &index);

private:
    struct ItemRow
    {
        int id = 0;
        int parentId = 0;
        QString name;
        QString serial;
        bool isReader = false;
        bool maintenance = false;
        bool hasChildren = false;
        MasterUse use;
    };
    using RowsByParent = QHash<int, std::vector<ItemRow>>;

    bool queryRows(const QString &where, RowsByParent &rows, QString *error);
    void mountRows(TreeNode *entry, const RowsByParent &rows, QSet<int> &mounted);
    void addFixedFolders();
    void organizeBelow(TreeNode *entry);
    void organizeChildren(TreeNode *parent);
    void applyOrder(TreeNode *parent, const std::vector<int> &order);
    void renumber(TreeNode *parent, int from);
    bool sameText(const QString &a, const QString &b) const;
    bool keyMatches(const TreeNode *node, const QString &text, int id) const;
    int subtreeSize(const TreeNode *node) const;
    void emitIconChanged(TreeNode *node);

    AppContext &m_app;
    TreeNode m_root;
    QCollator m_collator;       // the order
    QCollator m_searchCollator; // the same order without the case tie-break
    bool m_building = false;    // inside a reset: no per-row signals
};

} // namespace zentro
