#pragma once

#include "FileNotifier.h"
#include "RootFolder.h"
#include "ShellCustomTreeView.h"
#include "ShellNamespace.h"
#include "ShellTreeModel.h"
#include "ShellTreeNode.h"

#include <QColor>

#include <bitset>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

class QTimer;

namespace tarvo
{

enum TFolderType : std::uint8_t { ftFolders, ftNonFolders, ftIncludeHidden, ftIncludeSystem };
using TFolderTypes = std::bitset<4>;
[[nodiscard]] TFolderTypes FolderTypes(std::initializer_list<TFolderType> types);

enum TETVOption : std::uint8_t {
    tvoContextMenu,
    tvoAllowRename,
    tvoAllowDelete,
    tvoAllowCopy,
    tvoAllowCut,
    tvoAllowPaste,
    tvoAllowExecute,
    tvoDragDrop,
};
// Stored only: context menus, renaming and dragging are not offered by this tree.
using TETVOptions = std::bitset<8>;

// The folder tree: the namespace from a root folder (the Desktop by default), each node's
// children listed when it is first opened and kept current by the change notifier. Listings
// run on the volumes' workers; an expansion that takes longer than a moment shows a "…" child
// while the window goes on, and a volume that hangs is reported instead of freezing the window.
class TExplorerTreeView : public TShellCustomTreeView
{
    Q_OBJECT

public:
    explicit TExplorerTreeView(std::shared_ptr<TShellNamespace> shell, QWidget* parent = nullptr);
    ~TExplorerTreeView() override;
    TExplorerTreeView(const TExplorerTreeView&) = delete;
    TExplorerTreeView& operator=(const TExplorerTreeView&) = delete;

    // Properties. Until the tree is loaded (Loaded, or the first SelectedPath write) changes of
    // RootFolder and FolderTypes only store the value.
    [[nodiscard]] TRootFolder RootFolder() const { return m_rootFolder; }
    void SetRootFolder(TRootFolder rootFolder);
    [[nodiscard]] const std::string& CustomRootDirectory() const { return m_customRootDirectory; }
    // Switches to rCustom and loads at once; a path that does not parse raises
    // "Could not retrieve PIDL for custom folder".
    void SetCustomRootDirectory(const std::string& path);
    [[nodiscard]] const QString& RootAlias() const { return m_rootAlias; }
    void SetRootAlias(const QString& alias);
    [[nodiscard]] TFolderTypes GetFolderTypes() const { return m_folderTypes; }
    void SetFolderTypes(TFolderTypes types);
    [[nodiscard]] TETVOptions Options() const { return m_options; }
    void SetOptions(TETVOptions options) { m_options = options; }
    // False stops following changes; True again brings the opened folders up to date.
    [[nodiscard]] bool AutoRefresh() const { return m_autoRefresh; }
    void SetAutoRefresh(bool autoRefresh);
    [[nodiscard]] const QColor& CompressedColor() const { return m_compressedColor; }
    void SetCompressedColor(const QColor& color);
    [[nodiscard]] bool Checkmarks() const { return m_checkmarks; }
    void SetCheckmarks(bool checkmarks);
    // The item's path as its tool tip.
    [[nodiscard]] bool InfoTips() const { return m_infoTips; }
    void SetInfoTips(bool infoTips);
    // The selection is drawn only while the tree has the focus.
    [[nodiscard]] bool HideSelection() const { return m_hideSelection; }
    void SetHideSelection(bool hideSelection);
    // Lines and a button in front of the root node.
    [[nodiscard]] bool ShowRoot() const { return rootIsDecorated(); }
    void SetShowRoot(bool showRoot) { setRootIsDecorated(showRoot); }
    [[nodiscard]] bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    [[nodiscard]] int Indent() const { return indentation(); }
    void SetIndent(int pixels) { setIndentation(pixels); }

    // The selected node's path as bytes, whatever its length; empty when nothing is selected or
    // the item has none (the Desktop, Computer).
    [[nodiscard]] std::string SelectedPath() const;
    // Selects the node of an existing folder's path and scrolls it to the top; a path that does
    // not parse or whose node cannot be reached changes nothing.
    void SetSelectedPath(const std::string& path);

    // Events, raised after the tree's own handling; the sender is the tree.
    std::function<void(TExplorerTreeView& sender)> OnClick;
    std::function<void(TExplorerTreeView& sender)> OnDblClick;
    std::function<void(TExplorerTreeView& sender, TShellTreeNode* node)> OnChange;
    // A volume came or went (AutoRefresh or not): for the window's other volume lists.
    std::function<void(TExplorerTreeView& sender)> OnVolumesChanged;
    // Where messages go ("No disk in drive"); by default a critical message box.
    std::function<void(const QString& message)> ShowMessage;

    // Nodes.
    [[nodiscard]] TShellTreeModel& Items() { return *m_model; }
    [[nodiscard]] TShellTreeNode* Root() const { return m_model->Root(); }
    [[nodiscard]] TShellTreeNode* Selected() const;
    void Select(TShellTreeNode* node);
    [[nodiscard]] bool IsExpanded(const TShellTreeNode* node) const;
    // Opens a node through the can-expand hook; false when refused.
    bool ExpandNode(TShellTreeNode& node);
    void CollapseNode(TShellTreeNode& node);
    [[nodiscard]] TShellNamespace& Namespace() const { return *m_shell; }
    [[nodiscard]] TFileNotifier& Notifier() const { return *m_notifier; }

    // The tree's operations.
    void Loaded(); // loads the root once, if nothing has yet
    void InitialLoad();
    // First listing of a node's children; false when the volume did not answer (or is stuck).
    // interactive: after a moment the listing goes on behind a "…" child and counts as done.
    bool ExpandObjectNode(TShellTreeNode& node, bool interactive = false);
    void RefreshNode(TShellTreeNode& node);
    [[nodiscard]] TShellFolderPtr NodeFolder(TShellTreeNode& node);
    [[nodiscard]] TShellFolderPtr GetParentFolder(TShellTreeNode& node);
    void AddNodeData(TShellTreeNode& node, TShellFolderPtr folder, TItemIdList relative);
    TShellTreeNode* AddNewNode(TShellTreeNode& parent, const TItemIdList& absolute);
    // Finds the node, listing the folders on the way (without opening them).
    [[nodiscard]] TShellTreeNode* GetNodeFromPIDL(const TItemIdList& absolute);
    // Among the loaded nodes only.
    [[nodiscard]] TShellTreeNode* FindNodeByPIDL(const TItemIdList& absolute) const;
    // The notifier's handler.
    void FileChange(const TShellEventSet& events, const TShellEventPair& items);
    // Reloads and selects the folder selected before, as a window re-creation did.
    void RecreateWnd();

protected:
    // The hooks of the tree control.
    bool CanExpand(TShellTreeNode& node);
    void Change(TShellTreeNode* node, TShellTreeNode* previous);
    void Click();
    [[nodiscard]] int GetImageIndex(TShellTreeNode& node);
    [[nodiscard]] int GetSelectedIndex(TShellTreeNode& node);

    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    class Mailbox;
    struct PendingExpansion;

    [[nodiscard]] std::uint32_t EnumerationFlags() const;
    [[nodiscard]] std::unique_ptr<TShellTreeNode> MakeChild(
        TShellTreeNode& parent, const ShellItem& item, const TShellFolderPtr& folder);
    void SortChildren(std::vector<std::unique_ptr<TShellTreeNode>>& children, const TShellFolderPtr& folder) const;
    [[nodiscard]] int InsertPosition(TShellTreeNode& parent, const TShellTreeNode& child) const;
    // false: the listing's volume did not answer.
    bool ApplyListing(TShellTreeNode& node, FolderListing listing);
    void FinishExpansion(const TItemIdList& list, const std::shared_ptr<TPendingListing>& call);
    void Register(TShellTreeNode& node);
    void Unregister(TShellTreeNode& node);
    // Deletes a node; a selection inside it moves to the node above first.
    void DeleteNode(TShellTreeNode& node);
    void DeleteChildren(TShellTreeNode& node);
    void DeleteAllNodes();
    [[nodiscard]] TShellTreeNode* NodeAbove(TShellTreeNode& node) const;
    [[nodiscard]] TShellTreeNode* NodeBelow(TShellTreeNode& node) const;
    [[nodiscard]] bool LiesAbove(const TShellTreeNode& a, const TShellTreeNode& b) const;
    void ShowError(const QString& message);
    [[nodiscard]] bool OnBranch(const QModelIndex& index, const QPoint& position) const;
    void ToggleNode(TShellTreeNode& node);
    void CollapseAll(const QModelIndex& index);

    // Watches (ExplorerTreeViewChanges.cpp).
    void WatchExpanded(TShellTreeNode& node);
    void QueueLeafWatch(const TShellTreeNode& node);
    void WatchSlice();
    void Unwatched(const std::vector<TItemIdList>& lists);
    void RefreshExpanded();
    // A created item gets its node under a loaded parent, or gives a closed one its button.
    void ItemCreated(const TItemIdList& item);
    // A disc came or went: the drive's icon and name are read again.
    void MediaChanged(const TItemIdList& item);

    std::shared_ptr<TShellNamespace> m_shell;
    TShellTreeModel* m_model = nullptr;
    std::unique_ptr<TFileNotifier> m_notifier;
    std::shared_ptr<Mailbox> m_mailbox;
    QTimer* m_watchTimer = nullptr;

    TRootFolder m_rootFolder = rDesktop;
    std::string m_customRootDirectory;
    QString m_rootAlias;
    TFolderTypes m_folderTypes;
    TETVOptions m_options;
    bool m_autoRefresh = true;
    QColor m_compressedColor;
    bool m_checkmarks = false;
    bool m_infoTips = false;
    bool m_hideSelection = false;
    bool m_readOnly = false;

    bool m_loaded = false;
    bool m_refreshing = false;
    bool m_suppressChange = false;
    bool m_afterDoubleClick = false;
    TShellTreeNode* m_expanding = nullptr; // opened by ExpandNode: the hook ran already
    std::unordered_map<TItemIdList, TShellTreeNode*, TItemIdListHash> m_nodes; // every loaded node
    std::unordered_map<TShellTreeNode*, std::shared_ptr<TPendingListing>> m_pending;
    std::deque<TItemIdList> m_leafWatches; // loaded nodes whose watch is still to be added
};

} // namespace tarvo
