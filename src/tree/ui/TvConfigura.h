#pragma once

#include "tree/ItemNodeData.h"
#include "tree/TreeOperations.h"

#include <QPersistentModelIndex>
#include <QWidget>

#include <memory>

class QAction;
class QMenu;
class QTreeView;

namespace zentro {

class AppContext;
class ItemTree;
class TreeIcons;
class TreeNode;

// The item tree along the left edge of the main window, with its context menu
// pupManipularItens, renaming in place and the look-ups other windows use.
// The tree data and every rule live in ItemTree and TreeOperations; this
// widget shows them, asks them and tells the main window what the operator
// chose (the signals below) for the windows other parts of the program own.
class TvConfigura : public QWidget
{
    Q_OBJECT
public:
    explicit TvConfigura(AppContext &app, QWidget *parent = nullptr);
    ~TvConfigura() override;

    ItemTree &tree() { return *m_tree; }
    TreeOperations &operations() { return *m_operations; }
    QTreeView *view() const { return m_view; }

    // Enabled with its context menu after a level-1 login; disabled without
    // context menu otherwise (F2 then does nothing).
    void setOperational(bool on);
    bool isOperational() const { return m_operational; }

    // Loading and ordering.
    bool LoadTreeview();
    bool MountTree(TreeNode *entry);
    bool OrdemAlfabetica();
    bool OrganizeAllItens(TreeNode *entry);
    bool OrganizeLevel(TreeNode *entry);
    void UpdateCounters();

    // Look-ups; those that select show the entry found.
    TreeNode *FindFolder(int id) const;
    TreeNode *ClientNodeOf(TreeNode *entry) const;
    int FindNode(TreeNode *start, const QString &text, TreeNode *&found, int mode) const;
    int FindNodeBinSearch(TreeNode *folder, const QString &text, int id) const;
    bool FindDelNode(const QString &text, int id, int folderId, bool remove);
    int Find_In_Node(TreeNode *start, const QString &text, int id, TreeNode **found = nullptr) const;
    bool FindKLT(const QString &text, int id);
    int FindNodeByText(const QString &text, int start, bool select);
    bool Leitores_IDs_List(TreeNode *entry, QStringList &list, bool byName) const;

    // Registers an unknown reader in the database and gives it its entry.
    bool InserirLeitorNaoCadastrado(const QString &serial, int &id);
    // CreateNodes, then the new entry selected.
    bool CreateNodes(TreeNode *parent, const QString &name, TreeNode **inOut, const QString &clientName, bool write,
                     int icon, int id, const QString &serial, const ReaderRegistration *registration = nullptr,
                     int selectedId = 0);

    // The selected entry, and the one the last mouse press or context-menu
    // request was on (the one every context-menu command acts on).
    TreeNode *selectedNode() const;
    const ItemNodeData *selectedData() const;
    TreeNode *clickedNode() const;
    void selectNode(TreeNode *node);

    // The context menu. addCommand puts a command of the main window at its
    // place in the menu (as a stand-in that triggers it); each command shows
    // on the entries that offer its caption.
    QMenu *contextMenu() const { return m_menu; }
    void addCommand(QAction *action);
    // Shows and checks the commands for an entry as the menu will offer them.
    void prepareContextMenu(TreeNode *entry);

public slots:
    // F2: renames the selected entry in place.
    void AuxRenomear();
    void startRename(TreeNode *entry);
    // Double-click and "Abrir / Editar" on the selected entry.
    void abrirEditar();
    void mnNovoClienteClick();
    void mnExcluirClick();

signals:
    void countersChanged(const QString &installed, const QString &stock);
    // "Pertence ao Cliente: ..." while the mouse is over a reader; empty otherwise.
    void hintChanged(const QString &hint);
    void selectedEntryChanged();
    // A mouse press anywhere in the tree.
    void clicked();

    // Commands other windows carry out, on the selected entry.
    void configurarLeitorRequested(const QString &startEntry, bool hideOnlinePage);
    void masterConfRequested(const QString &startEntry);
    void logsRequested();
    void propriedadesRequested();
    void novoLeitorRequested();
    void alterarLeitorRequested();
    void buscarClienteRequested();
    // inMaintenance: the check the "Manutenção" entry showed.
    void manutencaoRequested(bool inMaintenance);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class TreeItemDelegate;
    void showContextMenu(const QPoint &pos);
    QAction *addMenuCommand(const QString &caption, void (TvConfigura::*handler)());
    void finishRename(const QPersistentModelIndex &index, const QString &text);
    void cancelEdit();
    void expandClicked();
    void renameClicked();
    void emitNovoLeitor() { emit novoLeitorRequested(); }
    void emitAlterarLeitor() { emit alterarLeitorRequested(); }
    void emitBuscarCliente() { emit buscarClienteRequested(); }
    void emitManutencao();
    void emitPropriedades() { emit propriedadesRequested(); }
    void onRowsChanged(const QModelIndex &parent);
    void setHint(const QString &hint);

    AppContext &m_app;
    std::unique_ptr<ItemTree> m_tree;
    std::unique_ptr<TreeOperations> m_operations;
    std::unique_ptr<TreeIcons> m_icons;
    QTreeView *m_view;
    QMenu *m_menu;
    QAction *m_maintenanceAction = nullptr;
    bool m_maintenanceShown = false;
    bool m_operational = false;
    QPersistentModelIndex m_clicked;
    QPersistentModelIndex m_selectedBeforeEdit;
    QString m_hint;
};

} // namespace zentro
