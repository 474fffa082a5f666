#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace zentro {

class AppContext;
class ItemTree;
class TreeNode;

// What the reader registration window holds while it is open; CreateNodes
// takes the new reader's type and master switches from it and attaches the
// serial's unassigned transaction logs to the client.
struct ReaderRegistration
{
    QString serial;
    int typeCode = 1;
    bool masterConfs = false;
    bool masterCredits = false;
    bool masterGroups = false;
    bool masterBonus = false;
    bool masterAutoFormat = false;
};

// What the operator does to the client structure through the tree: new
// clients, names given in place, the shared routine that writes an ITENS row
// and builds its entries, and deletion with its cascade over a reader's data,
// the move to stock and the archive of deleted readers. The questions and
// messages go through the application's message presenter; the tree is changed
// only after the database has taken the change.
class TreeOperations
{
public:
    TreeOperations(AppContext &app, ItemTree &tree);

    // The context menu's commands offered on an entry, by caption.
    QStringList offeredCommands(TreeNode *entry) const;

    // Naming in place.
    static bool isRefusedChar(QChar c);
    // Trimmed, every run of blanks made one, at most 25 characters.
    static QString normalizeName(const QString &text);
    static bool isReservedName(const QString &name);
    // Checks and stores the name an in-place edit ended with; true when the
    // entry was renamed. A refused name leaves the old one everywhere.
    bool tvConfiguraEdited(TreeNode *entry, const QString &newText);

    // New client: the row, its entry and its "MasterConf" group; the entry to
    // name in place, or null after a failure (already told to the operator).
    bool CreateIndexNode(const QString &baseName, int parentId, QString &name, int &id);
    TreeNode *NovoCliente(TreeNode *clicked);

    // Writes (with write set) a new or reused ITENS row and builds its tree
    // entries. id -1 means a reader whose row is looked up by serial or
    // inserted; -9999 and -1 count as 0 for the entry. selectedId is the
    // reader an entry under "Manutenção" stands for.
    bool CreateNodes(TreeNode *parent, const QString &name, TreeNode **inOut, const QString &clientName, bool write,
                     int icon, int id, const QString &serial, const ReaderRegistration *registration = nullptr,
                     int selectedId = 0);
    // The two halves of CreateNodes, for callers that commit a transaction of
    // their own between them. createNodesInDatabase turns id -1 into the row's ID.
    bool createNodesInDatabase(TreeNode *parent, const QString &name, int &id, int icon, const QString &serial,
                               const ReaderRegistration *registration);
    TreeNode *createNodesInTree(TreeNode *parent, const QString &name, const QString &clientName, int icon, int id,
                                bool newReader, const QString &serial, const ReaderRegistration *registration,
                                int selectedId);

    // Deletion. The entry a delete on the clicked one removes (a mirror stands
    // for its reader), null when none.
    TreeNode *entryToDelete(TreeNode *clicked) const;
    // Asks, deletes in one transaction and brings the tree in step; true when
    // something was deleted.
    bool Excluir(TreeNode *entry);
    // Copies a reader's row to ITENS_EXCLUIDOS.
    bool copyToItensExcluidos(int id);

private:
    struct Plan
    {
        std::vector<std::function<void()>> treeSteps; // run after the commit
        QList<std::function<void()>> notices;         // messages shown after the commit
    };

    bool deleteEntry(TreeNode *entry, bool moveToStock, Plan &plan, QString &error);
    bool deleteFolderRow(TreeNode *entry, const QString &errorText, const QString &logText, QString &error);
    void deleteLists(TreeNode *entry, bool reader);
    bool moveReaderToStock(TreeNode *entry, Plan &plan, QString &error);
    bool clearParentFlag(int parentId);
    int clientIdOf(TreeNode *entry) const;
    void refreshClientNames(TreeNode *client);

    AppContext &m_app;
    ItemTree &m_tree;
};

} // namespace zentro
