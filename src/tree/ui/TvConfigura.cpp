#include "tree/ui/TvConfigura.h"

#include "app/AppContext.h"
#include "tree/ItemLookup.h"
#include "tree/ItemTree.h"
#include "tree/ui/TreeIcons.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

namespace zentro {

namespace {

// The order the context menu has always listed its commands in.
const QStringList &commandOrder()
{
    static const QStringList order = {
        QStringLiteral("Expandir"),
        QStringLiteral("Abrir / Editar"),
        QStringLiteral("Novo Cliente"),
        QStringLiteral("Novo Leitor"),
        QStringLiteral("Mover para cliente..."),
        QStringLiteral("Excluir"),
        QStringLiteral("Renomear"),
        QStringLiteral("Alterar leitor"),
        QStringLiteral("Buscar Cliente"),
        QStringLiteral("Logs de Transações"),
        QStringLiteral("Manutenção"),
        QStringLiteral("Histórico Manutenção"),
        QStringLiteral("Propriedades"),
        QStringLiteral("Consumidores"),
    };
    return order;
}

QString captionOf(const QAction *action)
{
    QString caption = action->text();
    caption.remove(QLatin1Char('&'));
    return caption;
}

class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor()
    {
        // A message box may have put the cursor back already.
        if (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

// Paints every entry with the picture its icon position names, and edits
// names with a field that refuses the characters a name may not hold.
class TreeItemDelegate : public QStyledItemDelegate
{
public:
    TreeItemDelegate(TvConfigura &tree, TreeIcons &icons)
        : QStyledItemDelegate(&tree)
        , m_tree(tree)
        , m_icons(icons)
    {
    }

    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QIcon icon = m_icons.icon(index.data(ItemTree::IconRole).toInt());
        if (!icon.isNull()) {
            option->icon = icon;
            option->features |= QStyleOptionViewItem::HasDecoration;
        }
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *editor = new QLineEdit(parent);
        editor->setObjectName(QStringLiteral("renameEditor"));
        editor->setFrame(true);
        editor->setContextMenuPolicy(Qt::NoContextMenu);
        editor->installEventFilter(&m_tree);
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QLineEdit *>(editor)->setText(index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override
    {
        // The checks may ask and tell the operator: let the editor close first.
        const QPersistentModelIndex target(index);
        const QString text = static_cast<QLineEdit *>(editor)->text();
        QMetaObject::invokeMethod(
            &m_tree, [tree = &m_tree, target, text] { tree->finishRename(target, text); }, Qt::QueuedConnection);
    }

private:
    TvConfigura &m_tree;
    TreeIcons &m_icons;
};

TvConfigura::TvConfigura(AppContext &app, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
    , m_tree(std::make_unique<ItemTree>(app))
    , m_operations(std::make_unique<TreeOperations>(app, *m_tree))
    , m_icons(std::make_unique<TreeIcons>())
{
    setObjectName(QStringLiteral("tvConfigura"));
    m_view = new QTreeView(this);
    m_view->setObjectName(QStringLiteral("tvConfiguraView"));
    m_view->setHeaderHidden(true);
    m_view->setUniformRowHeights(true);
    m_view->setIconSize(QSize(16, 16));
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setMouseTracking(true);
    m_view->setAnimated(false);
    m_view->setItemDelegate(new TreeItemDelegate(*this, *m_icons));
    m_view->setModel(m_tree.get());
    m_view->header()->setStretchLastSection(true);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("pupManipularItens"));
    addMenuCommand(QStringLiteral("Expandir"), &TvConfigura::expandClicked);
    addMenuCommand(QStringLiteral("Abrir / Editar"), &TvConfigura::abrirEditar);
    addMenuCommand(QStringLiteral("Novo Cliente"), &TvConfigura::mnNovoClienteClick);
    addMenuCommand(QStringLiteral("Novo Leitor"), &TvConfigura::emitNovoLeitor);
    addMenuCommand(QStringLiteral("Excluir"), &TvConfigura::mnExcluirClick);
    addMenuCommand(QStringLiteral("Renomear"), &TvConfigura::renameClicked);
    addMenuCommand(QStringLiteral("Alterar leitor"), &TvConfigura::emitAlterarLeitor);
    addMenuCommand(QStringLiteral("Buscar Cliente"), &TvConfigura::emitBuscarCliente);
    m_maintenanceAction = addMenuCommand(QStringLiteral("Manutenção"), &TvConfigura::emitManutencao);
    m_maintenanceAction->setCheckable(true);
    addMenuCommand(QStringLiteral("Propriedades"), &TvConfigura::emitPropriedades);

    connect(m_view, &QTreeView::customContextMenuRequested, this, &TvConfigura::showContextMenu);
    connect(m_view, &QTreeView::doubleClicked, this, [this](const QModelIndex &) { abrirEditar(); });
    connect(m_view, &QTreeView::expanded, this,
            [this](const QModelIndex &i) { m_tree->setExpanded(m_tree->nodeOf(i), true); });
    connect(m_view, &QTreeView::collapsed, this,
            [this](const QModelIndex &i) { m_tree->setExpanded(m_tree->nodeOf(i), false); });
    connect(m_tree.get(), &ItemTree::collapseRequested, m_view, &QTreeView::collapse);
    connect(m_view, &QTreeView::entered, this,
            [this](const QModelIndex &i) { setHint(ItemTree::hintOf(m_tree->nodeOf(i))); });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { emit selectedEntryChanged(); });
    connect(m_tree.get(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &parent) { onRowsChanged(parent); });
    connect(m_tree.get(), &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &parent) { onRowsChanged(parent); });
    connect(m_tree.get(), &QAbstractItemModel::modelReset, this, &TvConfigura::UpdateCounters);

    setOperational(false);
}

TvConfigura::~TvConfigura()
{
    // The view goes before the model it shows.
    delete m_view;
    m_view = nullptr;
}

QAction *TvConfigura::addMenuCommand(const QString &caption, void (TvConfigura::*handler)())
{
    auto *action = new QAction(caption, m_menu);
    connect(action, &QAction::triggered, this, handler);
    m_menu->addAction(action);
    return action;
}

void TvConfigura::addCommand(QAction *action)
{
    if (!action)
        return;
    // The menu shows a stand-in: hiding the main window's action itself would
    // take it out of the menu bar and switch its shortcut off.
    auto *proxy = new QAction(action->text(), m_menu);
    proxy->setEnabled(action->isEnabled());
    connect(action, &QAction::changed, proxy, [proxy, action] {
        proxy->setText(action->text());
        proxy->setEnabled(action->isEnabled());
    });
    connect(proxy, &QAction::triggered, action, [action] { action->trigger(); });
    const int position = commandOrder().indexOf(captionOf(proxy));
    if (position >= 0) {
        for (QAction *existing : m_menu->actions()) {
            const int other = commandOrder().indexOf(captionOf(existing));
            if (other > position) {
                m_menu->insertAction(existing, proxy);
                return;
            }
        }
    }
    m_menu->addAction(proxy);
}

void TvConfigura::setOperational(bool on)
{
    m_operational = on;
    if (!on)
        cancelEdit();
    m_view->setContextMenuPolicy(on ? Qt::CustomContextMenu : Qt::NoContextMenu);
    setEnabled(on);
}

// --- loading and look-ups --------------------------------------------------------------------------------------

bool TvConfigura::LoadTreeview()
{
    BusyCursor busy;
    m_view->setUpdatesEnabled(false);
    const bool ok = m_tree->LoadTreeview();
    m_view->setUpdatesEnabled(true);
    UpdateCounters();
    return ok;
}

bool TvConfigura::MountTree(TreeNode *entry)
{
    return m_tree->MountTree(entry);
}

bool TvConfigura::OrdemAlfabetica()
{
    m_view->setUpdatesEnabled(false);
    const bool ok = m_tree->OrdemAlfabetica();
    m_view->setUpdatesEnabled(true);
    return ok;
}

bool TvConfigura::OrganizeAllItens(TreeNode *entry)
{
    return m_tree->OrganizeAllItens(entry);
}

bool TvConfigura::OrganizeLevel(TreeNode *entry)
{
    return m_tree->OrganizeLevel(entry);
}

void TvConfigura::UpdateCounters()
{
    emit countersChanged(m_tree->installedCounterText(), m_tree->stockCounterText());
}

void TvConfigura::setHint(const QString &hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    emit hintChanged(hint);
}

void TvConfigura::onRowsChanged(const QModelIndex &parent)
{
    const TreeNode *p = m_tree->nodeOf(parent);
    if (p && ItemTree::isFixedFolder(p) &&
        (p->nodeData().id == folder::Instalados || p->nodeData().id == folder::Estoque))
        UpdateCounters();
}

TreeNode *TvConfigura::FindFolder(int id) const
{
    return m_tree->FindFolder(id);
}

TreeNode *TvConfigura::ClientNodeOf(TreeNode *entry) const
{
    return m_tree->ClientNodeOf(entry);
}

int TvConfigura::FindNode(TreeNode *start, const QString &text, TreeNode *&found, int mode) const
{
    return m_tree->FindNode(start, text, found, mode);
}

int TvConfigura::FindNodeBinSearch(TreeNode *folderNode, const QString &text, int id) const
{
    return m_tree->FindNodeBinSearch(folderNode, text, id);
}

bool TvConfigura::FindDelNode(const QString &text, int id, int folderId, bool remove)
{
    return m_tree->FindDelNode(text, id, folderId, remove);
}

int TvConfigura::Find_In_Node(TreeNode *start, const QString &text, int id, TreeNode **found) const
{
    return m_tree->Find_In_Node(start, text, id, found);
}

bool TvConfigura::FindKLT(const QString &text, int id)
{
    TreeNode *hit = m_tree->FindKLT(text, id);
    if (hit)
        selectNode(hit);
    return hit != nullptr;
}

int TvConfigura::FindNodeByText(const QString &text, int start, bool select)
{
    TreeNode *hit = nullptr;
    const int index = m_tree->FindNodeByText(text, start, &hit);
    if (hit && select) {
        selectNode(hit);
        m_view->viewport()->update();
    }
    return index;
}

bool TvConfigura::Leitores_IDs_List(TreeNode *entry, QStringList &list, bool byName) const
{
    return m_tree->Leitores_IDs_List(entry, list, byName);
}

bool TvConfigura::InserirLeitorNaoCadastrado(const QString &serial, int &id)
{
    if (!zentro::InserirLeitorNaoCadastrado(m_app, serial, id))
        return false;
    m_tree->addUnregisteredReader(id, serial);
    return true;
}

bool TvConfigura::CreateNodes(TreeNode *parent, const QString &name, TreeNode **inOut, const QString &clientName,
                              bool write, int icon, int id, const QString &serial,
                              const ReaderRegistration *registration, int selectedId)
{
    TreeNode *created = inOut ? *inOut : nullptr;
    if (!m_operations->CreateNodes(parent, name, &created, clientName, write, icon, id, serial, registration,
                                   selectedId))
        return false;
    if (inOut)
        *inOut = created;
    // Under "Manutenção" the caller sorts and selects.
    if (created && parent && !(ItemTree::isFixedFolder(parent) && parent->nodeData().id == folder::Manutencao))
        selectNode(created);
    return true;
}

// --- selection -------------------------------------------------------------------------------------------------

TreeNode *TvConfigura::selectedNode() const
{
    return m_tree->nodeOf(m_view->currentIndex());
}

const ItemNodeData *TvConfigura::selectedData() const
{
    const TreeNode *n = selectedNode();
    return n ? &n->nodeData() : nullptr;
}

TreeNode *TvConfigura::clickedNode() const
{
    return m_tree->nodeOf(m_clicked);
}

void TvConfigura::selectNode(TreeNode *node)
{
    const QModelIndex i = m_tree->indexOf(node);
    if (!i.isValid())
        return;
    m_view->setCurrentIndex(i);
    m_view->scrollTo(i);
}

// --- context menu ----------------------------------------------------------------------------------------------

void TvConfigura::prepareContextMenu(TreeNode *entry)
{
    const QStringList offered = m_operations->offeredCommands(entry);
    for (QAction *action : m_menu->actions()) {
        if (action->isSeparator())
            continue;
        action->setVisible(offered.contains(captionOf(action)));
    }
    m_maintenanceShown = entry && entry->icon() == icon::ReaderMaintenance;
    m_maintenanceAction->setChecked(m_maintenanceShown);
}

void TvConfigura::showContextMenu(const QPoint &pos)
{
    if (!m_operational)
        return;
    const QModelIndex index = m_view->indexAt(pos);
    m_clicked = index;
    if (!index.isValid())
        return;
    m_view->setCurrentIndex(index);
    prepareContextMenu(m_tree->nodeOf(index));
    bool any = false;
    for (const QAction *action : m_menu->actions())
        any = any || (action->isVisible() && !action->isSeparator());
    if (any)
        m_menu->exec(m_view->viewport()->mapToGlobal(pos));
}

void TvConfigura::expandClicked()
{
    if (m_clicked.isValid())
        m_view->expand(m_clicked);
}

void TvConfigura::renameClicked()
{
    startRename(clickedNode());
}

void TvConfigura::emitManutencao()
{
    emit manutencaoRequested(m_maintenanceShown);
}

// --- commands --------------------------------------------------------------------------------------------------

void TvConfigura::abrirEditar()
{
    TreeNode *node = selectedNode();
    if (!node || ItemTree::isFixedFolder(node))
        return;
    const QString configuracoes = QStringLiteral("Configurações");
    TreeNode *parent = node->parent();
    if (ItemTree::isFixedFolder(parent) && parent->nodeData().id == folder::Estoque) {
        m_app.showMessageBox(QStringLiteral("Leitores em Estoque não possuem configurações."), configuracoes,
                             mb::IconInformation);
        return;
    }
    if (ItemTree::isFolderEntry(node))
        return; // the tree opens the folder itself
    if (ItemTree::isReader(node)) {
        cancelEdit();
        TreeNode *hit = nullptr;
        if (m_tree->Find_In_Node(m_tree->FindFolder(folder::Clientes), node->text(), node->nodeData().id, &hit) >= 0) {
            selectNode(hit);
            emit configurarLeitorRequested(QString(), true);
            return;
        }
        TreeNode *stock = m_tree->FindFolder(folder::Estoque);
        const int i = m_tree->FindNodeBinSearch(stock, node->text(), node->nodeData().id);
        if (i >= 0) {
            selectNode(stock->child(i));
            m_app.showMessageBox(QStringLiteral("Este Leitor não está instalado."), configuracoes, mb::IconInformation);
        }
        return;
    }
    switch (node->icon()) {
    case icon::MasterData:
        m_app.showMessage(QStringLiteral("Esta opção não pode ser configurada por aqui pois está assumindo a \r\n"
                                         "configuração cadastrada no cadastro de Cliente (Masterconf).\r\n"
                                         "Caso queira que este leitor tenha sua caracteristica específica \r\n"
                                         "Desabilite as opções desejadas em : ") +
                          QStringLiteral("'Usar Configurações do Cliente'") + QStringLiteral(" ,") +
                          QStringLiteral("\r") + QStringLiteral("\n") +
                          QStringLiteral("que estão na opção de configuração de cada leitor cadastrado."));
        return;
    case icon::MasterConfClosed:
    case icon::MasterConfOpen:
        emit masterConfRequested(node->hasChildren() ? node->child(0)->text() : configuracoes);
        return;
    case icon::MasterEntry:
        emit masterConfRequested(node->text());
        return;
    case icon::MasterLogs:
        if (TreeNode *client = m_tree->ClientNodeOf(node))
            selectNode(client);
        emit logsRequested();
        return;
    default:
        break;
    }
    TreeNode *reader = m_tree->readerAbove(node);
    if (!reader)
        return;
    selectNode(reader);
    if (node->icon() == icon::Properties && node->parent() == reader)
        emit propriedadesRequested();
    else if (node->icon() == icon::ReaderLogs)
        emit logsRequested();
    else
        emit configurarLeitorRequested(node->text(), false);
}

void TvConfigura::mnNovoClienteClick()
{
    TreeNode *clicked = clickedNode();
    TreeNode *created = nullptr;
    {
        BusyCursor busy;
        created = m_operations->NovoCliente(clicked);
    }
    if (!created)
        return;
    selectNode(created);
    startRename(created);
}

void TvConfigura::mnExcluirClick()
{
    TreeNode *clicked = clickedNode();
    if (!clicked || m_tree->isEmpty())
        return;
    TreeNode *entry = m_operations->entryToDelete(clicked);
    if (!entry) {
        m_app.showMessageBox(QStringLiteral("Não localizado o Leitor correspondente dentro da pasta Clientes."),
                             QStringLiteral("Excluir"), mb::IconWarning);
        return;
    }
    selectNode(entry);
    {
        BusyCursor busy;
        m_operations->Excluir(entry);
    }
    m_clicked = QPersistentModelIndex();
    UpdateCounters();
}

// --- renaming in place -----------------------------------------------------------------------------------------

void TvConfigura::AuxRenomear()
{
    startRename(selectedNode());
}

void TvConfigura::startRename(TreeNode *entry)
{
    if (!m_operational || !entry || !m_tree->canRename(entry))
        return;
    m_selectedBeforeEdit = m_view->currentIndex();
    const QModelIndex index = m_tree->indexOf(entry);
    m_view->scrollTo(index);
    m_view->edit(index);
}

void TvConfigura::cancelEdit()
{
    // Escape is how the editor abandons an edit.
    if (auto *editor = m_view->findChild<QLineEdit *>(QStringLiteral("renameEditor"))) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(editor, &escape);
    }
}

void TvConfigura::finishRename(const QPersistentModelIndex &index, const QString &text)
{
    TreeNode *entry = m_tree->nodeOf(index);
    if (!entry)
        return;
    m_operations->tvConfiguraEdited(entry, text);
    if (m_selectedBeforeEdit.isValid()) {
        m_view->setCurrentIndex(m_selectedBeforeEdit);
        m_view->scrollTo(m_selectedBeforeEdit);
    }
}

bool TvConfigura::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            m_clicked = m_view->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
            emit clicked();
        } else if (event->type() == QEvent::Leave) {
            setHint(QString());
        } else if (event->type() == QEvent::MouseMove &&
                   !m_view->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint()).isValid()) {
            setHint(QString()); // below the last entry
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Names never hold these characters; while the tree or its editor
        // has the focus they are refused as they are typed, and so are
        // combinations with Ctrl or Alt.
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return true;
        const QString text = key->text();
        for (const QChar c : text) {
            if (TreeOperations::isRefusedChar(c))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zentro
