// The folder tree as a control: construction, properties, the selected path, and the hooks of
// the tree control (expanding, selection changes, clicks, keys, icons, drawing).

#include "ExplorerTreeView.h"

#include "ExplorerTreeViewEvents.h"
#include "ShellCommon.h"
#include "ShellTypes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>

namespace tarvo
{

namespace
{

    // Draws a compressed item in the tree's colour unless it is selected, the selected icon for
    // the selected item, and no selection without the focus when the tree hides it.
    class ShellTreeDelegate final : public QStyledItemDelegate
    {
    public:
        explicit ShellTreeDelegate(TExplorerTreeView& tree)
            : QStyledItemDelegate(&tree)
            , m_tree(tree)
        {
        }

    protected:
        void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
        {
            QStyledItemDelegate::initStyleOption(option, index);
            if (m_tree.HideSelection() && !m_tree.hasFocus())
                option->state &= ~QStyle::State_Selected;
            const bool selected = (option->state & QStyle::State_Selected) != 0;
            if (selected) {
                const QVariant icon = index.data(TShellTreeModel::kSelectedIconRole);
                if (icon.isValid())
                    option->icon = icon.value<QIcon>();
            } else if (index.data(TShellTreeModel::kCompressedRole).toBool()) {
                option->palette.setColor(QPalette::Text, m_tree.CompressedColor());
            }
        }

    private:
        TExplorerTreeView& m_tree;
    };

} // namespace

TFolderTypes FolderTypes(std::initializer_list<TFolderType> types)
{
    TFolderTypes set;
    for (const TFolderType type : types)
        set.set(type);
    return set;
}

TExplorerTreeView::TExplorerTreeView(std::shared_ptr<TShellNamespace> shell, QWidget* parent)
    : TShellCustomTreeView(parent)
    , m_shell(std::move(shell))
    , m_model(new TShellTreeModel(this))
    , m_notifier(std::make_unique<TFileNotifier>(*m_shell))
    , m_mailbox(std::make_shared<Mailbox>(this))
    , m_watchTimer(new QTimer(this))
    , m_folderTypes(FolderTypes({ ftFolders, ftIncludeSystem }))
    , m_compressedColor(palette().color(QPalette::Text))
{
    TShellTreeModel::Presentation presentation;
    presentation.icon = [this](TShellTreeNode& node, bool selected) {
        return TSystemImageList::Instance().Icon(
            selected ? GetSelectedIndex(node) : GetImageIndex(node), node.overlayIndex);
    };
    presentation.toolTip = [this](const TShellTreeNode& node) {
        return m_infoTips ? DisplayText(PathFromPIDL(*m_shell, node.absoluteList)) : QString();
    };
    m_model->SetPresentation(std::move(presentation));
    setModel(m_model);
    setItemDelegate(new ShellTreeDelegate(*this));
    setRootIsDecorated(false);
    // Expanding goes through the can-expand hook, which Qt's own double click would bypass.
    setExpandsOnDoubleClick(false);

    m_notifier->SetConcatenateEvents(true);
    m_notifier->OnFileChange = [this](TFileNotifier&, const TShellEventSet& events, const TShellEventPair& items) {
        FileChange(events, items);
    };

    m_watchTimer->setSingleShot(true);
    m_watchTimer->setInterval(0);
    connect(m_watchTimer, &QTimer::timeout, this, [this] { WatchSlice(); });
    // Expansions the tree did not start itself (scrolling to a node opens its ancestors) still
    // pass the hook.
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        TShellTreeNode* node = m_model->NodeOf(index);
        if (node && node != m_expanding && !CanExpand(*node))
            collapse(index);
    });
}

TExplorerTreeView::~TExplorerTreeView()
{
    m_mailbox->Close();
    m_model->Clear();
}

// ---- Properties ---------------------------------------------------------------------------

void TExplorerTreeView::SetRootFolder(TRootFolder rootFolder)
{
    if (rootFolder == m_rootFolder)
        return;
    m_rootFolder = rootFolder;
    if (m_loaded)
        InitialLoad();
}

void TExplorerTreeView::SetCustomRootDirectory(const std::string& path)
{
    m_customRootDirectory = path;
    m_rootFolder = rCustom;
    m_loaded = true;
    InitialLoad();
}

void TExplorerTreeView::SetRootAlias(const QString& alias)
{
    m_rootAlias = alias;
    if (TShellTreeNode* root = Root()) {
        root->text = alias.isEmpty() ? GetPIDLDisplayName(*m_shell, root->absoluteList) : alias;
        m_model->Changed(*root);
    }
}

void TExplorerTreeView::SetFolderTypes(TFolderTypes types)
{
    if (types == m_folderTypes)
        return;
    m_folderTypes = types;
    if (!m_loaded)
        return;
    BeginUpdate();
    RefreshExpanded();
    EndUpdate();
}

void TExplorerTreeView::SetAutoRefresh(bool autoRefresh)
{
    if (autoRefresh == m_autoRefresh)
        return;
    m_autoRefresh = autoRefresh;
    m_notifier->SetActive(autoRefresh);
    // What changed meanwhile was not followed.
    if (autoRefresh && m_loaded)
        RefreshExpanded();
}

void TExplorerTreeView::SetCompressedColor(const QColor& color)
{
    m_compressedColor = color;
    viewport()->update();
}

void TExplorerTreeView::SetCheckmarks(bool checkmarks)
{
    if (checkmarks == m_checkmarks)
        return;
    m_checkmarks = checkmarks;
    m_model->GetPresentation().checkmarks = checkmarks;
    m_model->ButtonsChanged();
}

void TExplorerTreeView::SetInfoTips(bool infoTips) { m_infoTips = infoTips; }

void TExplorerTreeView::SetHideSelection(bool hideSelection)
{
    m_hideSelection = hideSelection;
    viewport()->update();
}

// ---- Selection ----------------------------------------------------------------------------

TShellTreeNode* TExplorerTreeView::Selected() const
{
    TShellTreeNode* node = m_model->NodeOf(currentIndex());
    return node && !node->placeholder ? node : nullptr;
}

void TExplorerTreeView::Select(TShellTreeNode* node)
{
    if (!node) {
        clearSelection();
        setCurrentIndex(QModelIndex());
        return;
    }
    setCurrentIndex(m_model->IndexOf(node));
}

std::string TExplorerTreeView::SelectedPath() const
{
    const TShellTreeNode* node = Selected();
    return node ? PathFromPIDL(*m_shell, node->absoluteList) : std::string();
}

void TExplorerTreeView::SetSelectedPath(const std::string& path)
{
    Loaded();
    const std::optional<TItemIdList> list = GetItemIDFromPath(*m_shell, path);
    if (!list)
        return;
    TShellTreeNode* node = GetNodeFromPIDL(*list);
    if (!node)
        return;
    std::vector<TShellTreeNode*> ancestors;
    for (TShellTreeNode* up = node->Parent(); up; up = up->Parent())
        ancestors.push_back(up);
    // Each ancestor opens through the can-expand hook, outermost first.
    const QPersistentModelIndex target = m_model->IndexOf(node);
    for (auto up = ancestors.rbegin(); up != ancestors.rend(); ++up) {
        if (!IsExpanded(*up))
            ExpandNode(**up);
    }
    if (!target.isValid())
        return;
    Select(m_model->NodeOf(target));
    scrollTo(target, QAbstractItemView::PositionAtTop);
}

void TExplorerTreeView::RecreateWnd()
{
    const TShellTreeNode* selected = Selected();
    const std::string kept = selected ? PIDLToString(selected->absoluteList) : std::string();
    m_suppressChange = true;
    Select(nullptr);
    m_suppressChange = false;
    DeleteAllNodes();
    if (!m_loaded)
        return;
    InitialLoad();
    if (kept.empty())
        return;
    const std::optional<TItemIdList> list = StringToPIDL(kept);
    if (TShellTreeNode* node = list ? GetNodeFromPIDL(*list) : nullptr) {
        Select(node);
        scrollTo(m_model->IndexOf(node), QAbstractItemView::PositionAtTop);
    }
}

// ---- Expanding ----------------------------------------------------------------------------

bool TExplorerTreeView::IsExpanded(const TShellTreeNode* node) const
{
    return node && isExpanded(m_model->IndexOf(node));
}

bool TExplorerTreeView::ExpandNode(TShellTreeNode& node)
{
    TShellTreeNode* outer = std::exchange(m_expanding, &node);
    const QPersistentModelIndex index = m_model->IndexOf(&node);
    const bool allowed = CanExpand(node);
    if (allowed && index.isValid())
        expand(index);
    m_expanding = outer;
    return allowed;
}

void TExplorerTreeView::CollapseNode(TShellTreeNode& node) { collapse(m_model->IndexOf(&node)); }

bool TExplorerTreeView::CanExpand(TShellTreeNode& node)
{
    if (node.placeholder || !m_model->hasChildren(m_model->IndexOf(&node)))
        return false;
    if (IsDriveRoot(*m_shell, node.absoluteList) && !IsDriveReady(*m_shell, DriveKeyOf(*m_shell, node.absoluteList))) {
        ShowError(NotReadyMessage(*m_shell, node.absoluteList));
        return false;
    }
    if (m_pending.contains(&node))
        return true; // still being listed: its "…" child shows that
    if (node.childrenLoaded) {
        // A watched folder is current already; one that is not may have changed unseen.
        if (!node.watched)
            RefreshNode(node);
        return true;
    }
    if (!ExpandObjectNode(node, true)) {
        ShowError(NotReadyMessage(*m_shell, node.absoluteList));
        return false;
    }
    return true;
}

void TExplorerTreeView::ToggleNode(TShellTreeNode& node)
{
    if (IsExpanded(&node))
        CollapseNode(node);
    else
        ExpandNode(node);
}

void TExplorerTreeView::CollapseAll(const QModelIndex& index)
{
    for (int row = 0; row < m_model->rowCount(index); ++row)
        CollapseAll(m_model->index(row, 0, index));
    collapse(index);
}

// ---- Hooks --------------------------------------------------------------------------------

void TExplorerTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    TShellCustomTreeView::currentChanged(current, previous);
    if (!m_suppressChange)
        Change(m_model->NodeOf(current), m_model->NodeOf(previous));
}

void TExplorerTreeView::Change(TShellTreeNode* node, TShellTreeNode* previous)
{
    if (!node || node->placeholder)
        return;
    // A volume that is not ready is stepped over, in the direction the selection moved, so that
    // a run of them is skipped as a whole; it raises no change event and shows no message.
    if (IsDriveRoot(*m_shell, node->absoluteList)
        && !IsDriveReady(*m_shell, DriveKeyOf(*m_shell, node->absoluteList))) {
        const bool upward = previous && LiesAbove(*node, *previous);
        Select(upward ? NodeAbove(*node) : NodeBelow(*node));
        return;
    }
    if (OnChange)
        OnChange(*this, node);
}

void TExplorerTreeView::Click()
{
    if (OnClick)
        OnClick(*this);
    TShellTreeNode* node = Selected();
    if (!node || !IsDriveRoot(*m_shell, node->absoluteList)
        || !HasAttribute(SFGAO_REMOVABLE, node->parentFolder.get(), &node->relativeList))
        return;
    // A medium may have been changed: read it again, or forget it when it is gone.
    if (IsDriveReady(*m_shell, DriveKeyOf(*m_shell, node->absoluteList))) {
        RefreshNode(*node);
        return;
    }
    DeleteChildren(*node);
    Select(NodeBelow(*node));
}

int TExplorerTreeView::GetImageIndex(TShellTreeNode& node)
{
    if (node.imageIndex < 0) {
        node.imageIndex = GetShellIconIndex(node.parentFolder.get(), node.relativeList, false);
        if (node.imageIndex < 0)
            node.imageIndex = GetPIDLIconIndex(*m_shell, node.absoluteList, false);
    }
    return node.imageIndex;
}

int TExplorerTreeView::GetSelectedIndex(TShellTreeNode& node)
{
    if (node.selectedIndex < 0) {
        // The record says whether it is a folder: no file-system question per icon.
        const bool folder = node.absoluteList.IsEmpty() || node.absoluteList.Last().kind != ItemKind::ikNonFolder;
        if (!folder)
            return node.selectedIndex = GetImageIndex(node);
        node.selectedIndex = GetShellIconIndex(node.parentFolder.get(), node.relativeList, true);
        if (node.selectedIndex < 0)
            node.selectedIndex = GetPIDLIconIndex(*m_shell, node.absoluteList, true);
    }
    return node.selectedIndex;
}

bool TExplorerTreeView::OnBranch(const QModelIndex& index, const QPoint& position) const
{
    const QRect item = visualRect(index);
    const bool decorated = index.parent().isValid() || rootIsDecorated();
    return decorated && position.x() < item.left() && position.x() >= item.left() - indentation();
}

void TExplorerTreeView::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    TShellTreeNode* node = m_model->NodeOf(index);
    if (node && event->button() == Qt::LeftButton && m_model->hasChildren(index)
        && OnBranch(index, event->position().toPoint())) {
        ToggleNode(*node);
        event->accept();
        return;
    }
    TShellCustomTreeView::mousePressEvent(event);
}

void TExplorerTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    TShellCustomTreeView::mouseReleaseEvent(event);
    // The release that ends a double click is part of it, not another click.
    if (std::exchange(m_afterDoubleClick, false) || event->button() != Qt::LeftButton)
        return;
    Click();
}

void TExplorerTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid() || OnBranch(index, event->position().toPoint())) {
        TShellCustomTreeView::mouseDoubleClickEvent(event);
        return;
    }
    m_afterDoubleClick = true;
    // The handler may run an analysis whose event loop lets changes delete the node.
    const QPersistentModelIndex target = index;
    if (OnDblClick)
        OnDblClick(*this);
    if (TShellTreeNode* node = m_model->NodeOf(target); node && target.isValid() && m_model->hasChildren(target))
        ToggleNode(*node);
    event->accept();
}

void TExplorerTreeView::keyPressEvent(QKeyEvent* event)
{
    TShellTreeNode* node = Selected();
    switch (event->key()) {
    case Qt::Key_Asterisk: // Qt's "expand everything below" would list whole volumes
        event->accept();
        return;
    case Qt::Key_Plus:
        if (node)
            ExpandNode(*node);
        event->accept();
        return;
    case Qt::Key_Minus:
        if (node)
            CollapseAll(m_model->IndexOf(node));
        event->accept();
        return;
    case Qt::Key_Right:
        if (node && !IsExpanded(node) && m_model->hasChildren(m_model->IndexOf(node))) {
            ExpandNode(*node);
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    TShellCustomTreeView::keyPressEvent(event);
}

bool TExplorerTreeView::event(QEvent* event)
{
    if (event->type() == ExpansionDoneEvent::Type()) {
        auto& done = static_cast<ExpansionDoneEvent&>(*event);
        FinishExpansion(done.list, done.call);
        return true;
    }
    return TShellCustomTreeView::event(event);
}

void TExplorerTreeView::ShowError(const QString& message)
{
    if (ShowMessage) {
        ShowMessage(message);
        return;
    }
    QMessageBox::critical(window(), QApplication::applicationName(), message);
}

// ---- Visible order ------------------------------------------------------------------------

TShellTreeNode* TExplorerTreeView::NodeAbove(TShellTreeNode& node) const
{
    // Inside a closed folder the folder itself is what shows above.
    std::vector<TShellTreeNode*> chain;
    for (TShellTreeNode* up = &node; up; up = up->Parent())
        chain.push_back(up);
    for (auto outer = chain.rbegin(); outer + 1 != chain.rend(); ++outer) {
        if (!IsExpanded(*outer))
            return *outer;
    }
    return m_model->NodeOf(indexAbove(m_model->IndexOf(&node)));
}

TShellTreeNode* TExplorerTreeView::NodeBelow(TShellTreeNode& node) const
{
    for (TShellTreeNode* up = node.Parent(); up; up = up->Parent()) {
        if (!IsExpanded(up))
            return nullptr; // not visible: nothing is below it
    }
    TShellTreeNode* below = m_model->NodeOf(indexBelow(m_model->IndexOf(&node)));
    return below && !below->placeholder ? below : nullptr;
}

bool TExplorerTreeView::LiesAbove(const TShellTreeNode& a, const TShellTreeNode& b) const
{
    const auto rows = [](const TShellTreeNode& node) {
        std::vector<int> path;
        for (const TShellTreeNode* up = &node; up; up = up->Parent())
            path.push_back(up->Index());
        std::reverse(path.begin(), path.end());
        return path;
    };
    return rows(a) < rows(b);
}

} // namespace tarvo
