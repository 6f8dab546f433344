// The folder tree's nodes: loading the root, listing and refreshing children, finding nodes by
// list, adding and deleting them.

#include "ExplorerTreeView.h"

#include "ExplorerTreeViewEvents.h"
#include "ShellCommon.h"
#include "ShellTypes.h"
#include "WaitCursor.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvo
{

namespace
{

    bool IsFolderRecord(const TItemIdList& list) { return list.IsEmpty() || list.Last().kind != ItemKind::ikNonFolder; }

    // Closes a bracket of the node collection however the work in it ends.
    class UpdateBracket
    {
    public:
        explicit UpdateBracket(TShellCustomTreeView& tree)
            : m_tree(tree)
        {
            m_tree.BeginUpdate();
        }
        ~UpdateBracket() { m_tree.EndUpdate(); }
        UpdateBracket(const UpdateBracket&) = delete;
        UpdateBracket& operator=(const UpdateBracket&) = delete;

    private:
        TShellCustomTreeView& m_tree;
    };

    // Which listed items are children of the node already; the children not listed any more go
    // to `gone`. Matched by their bytes through a hash: a folder of 10,000 costs one pass, not a
    // comparison of every pair.
    std::vector<bool> MatchChildren(
        const TShellTreeNode& node, const std::vector<ShellItem>& items, std::vector<TItemIdList>& gone)
    {
        std::unordered_map<std::string_view, std::size_t> listed;
        listed.reserve(items.size());
        for (std::size_t i = 0; i < items.size(); ++i)
            listed.emplace(items[i].relative.Bytes(), i);
        std::vector<bool> kept(items.size(), false);
        for (int i = 0; i < node.Count(); ++i) {
            const TShellTreeNode& child = *node.Item(i);
            const auto found = listed.find(child.relativeList.Bytes());
            if (found != listed.end() && !kept[found->second])
                kept[found->second] = true;
            else
                gone.push_back(child.absoluteList);
        }
        return kept;
    }

} // namespace

void TExplorerTreeView::Loaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    InitialLoad();
}

std::uint32_t TExplorerTreeView::EnumerationFlags() const
{
    return static_cast<std::uint32_t>((m_folderTypes.to_ulong() & 0x7) << 5);
}

void TExplorerTreeView::InitialLoad()
{
    {
        UpdateBracket bracket(*this);
        try {
            m_suppressChange = true;
            Select(nullptr);
            m_suppressChange = false;
            DeleteAllNodes();
            TItemIdList rootList;
            if (m_rootFolder == rCustom) {
                const std::optional<TItemIdList> parsed = GetItemIDFromPath(*m_shell, m_customRootDirectory);
                if (!parsed)
                    throw std::runtime_error("Could not retrieve PIDL for custom folder");
                rootList = *parsed;
            } else {
                rootList = SpecialFolderLocation(*m_shell, m_rootFolder);
            }
            auto node = std::make_unique<TShellTreeNode>();
            node->text = GetPIDLDisplayName(*m_shell, rootList);
            node->imageIndex = GetPIDLIconIndex(*m_shell, rootList, false);
            node->selectedIndex = GetPIDLIconIndex(*m_shell, rootList, true);
            node->absoluteList = rootList;
            node->relativeList = rootList.LastAsList();
            node->ownFolder = std::make_shared<TShellFolder>(*m_shell, rootList);
            TShellTreeNode& root = *node;
            root.parentFolder = GetParentFolder(root);
            if (root.parentFolder && !root.absoluteList.IsEmpty())
                root.compressed = HasAttribute(SFGAO_COMPRESSED, root.parentFolder.get(), &root.relativeList)
                    && !PathFromPIDL(*m_shell, rootList).empty();
            root.hasChildren = true;
            if (!m_rootAlias.isEmpty())
                root.text = m_rootAlias;
            Register(root);
            m_model->SetRoot(std::move(node));
        } catch (...) {
            m_suppressChange = false;
            throw;
        }
    }
    if (TShellTreeNode* root = Root())
        ExpandNode(*root);
}

TShellFolderPtr TExplorerTreeView::GetParentFolder(TShellTreeNode& node)
{
    if (TShellTreeNode* parent = node.Parent())
        return NodeFolder(*parent);
    if (node.absoluteList.IsEmpty())
        return NodeFolder(node);
    return std::make_shared<TShellFolder>(*m_shell, node.absoluteList.WithoutLast());
}

TShellFolderPtr TExplorerTreeView::NodeFolder(TShellTreeNode& node)
{
    if (!node.ownFolder) {
        if (node.absoluteList.IsEmpty()) {
            node.ownFolder = std::make_shared<TShellFolder>(*m_shell, TItemIdList());
        } else {
            if (!node.parentFolder)
                node.parentFolder = GetParentFolder(node);
            node.ownFolder = node.parentFolder ? node.parentFolder->BindToObject(node.relativeList) : nullptr;
        }
    }
    if (!node.ownFolder)
        throw std::runtime_error("Invalid Folder");
    return node.ownFolder;
}

void TExplorerTreeView::AddNodeData(TShellTreeNode& node, TShellFolderPtr folder, TItemIdList relative)
{
    if (folder)
        node.ownFolder = std::move(folder);
    const TShellTreeNode* parent = node.Parent();
    node.absoluteList = parent ? parent->absoluteList.Combined(relative) : relative;
    node.relativeList = std::move(relative);
    if (!node.parentFolder)
        node.parentFolder = GetParentFolder(node);
}

std::unique_ptr<TShellTreeNode> TExplorerTreeView::MakeChild(
    TShellTreeNode& parent, const ShellItem& item, const TShellFolderPtr& folder)
{
    auto child = std::make_unique<TShellTreeNode>();
    child->text = GetDisplayName(*folder, item.relative);
    // Set here rather than by AddNodeData: the child joins its parent only when all are sorted.
    child->parentFolder = folder;
    child->relativeList = item.relative;
    child->absoluteList = TPidlManager::Combine(parent.absoluteList, item.relative);
    if ((item.attributes & SFGAO_LINK) != 0)
        child->overlayIndex = TSystemImageList::kLinkOverlay;
    if ((item.attributes & SFGAO_SHARE) != 0)
        child->overlayIndex = TSystemImageList::kShareOverlay;
    child->compressed = (item.attributes & SFGAO_COMPRESSED) != 0;
    // Only folders open; with non-folders shown, any folder may hold something.
    child->hasChildren = IsFolderRecord(item.relative)
        && ((item.attributes & SFGAO_HASSUBFOLDER) != 0 || m_folderTypes.test(ftNonFolders));
    return child;
}

void TExplorerTreeView::SortChildren(
    std::vector<std::unique_ptr<TShellTreeNode>>& children, const TShellFolderPtr& folder) const
{
    std::stable_sort(children.begin(), children.end(), [&folder](const auto& a, const auto& b) {
        const int order = folder->CompareIDs(a->relativeList, b->relativeList);
        return order != 0 ? order < 0 : QString::localeAwareCompare(a->text, b->text) < 0;
    });
}

int TExplorerTreeView::InsertPosition(TShellTreeNode& parent, const TShellTreeNode& child) const
{
    // Binary insertion into children that stand sorted.
    const TShellFolderPtr& folder = child.parentFolder;
    int low = 0;
    int high = parent.Count();
    while (low < high) {
        const int middle = (low + high) / 2;
        const TShellTreeNode& other = *parent.Item(middle);
        int order = other.placeholder ? -1 : folder->CompareIDs(other.relativeList, child.relativeList);
        if (order == 0)
            order = QString::localeAwareCompare(other.text, child.text);
        if (order <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

bool TExplorerTreeView::ExpandObjectNode(TShellTreeNode& node, bool interactive)
{
    const TShellFolderPtr folder = NodeFolder(node);
    const std::shared_ptr<TPendingListing> call = folder->EnumObjects(EnumerationFlags());
    if (!call->Wait(interactive ? kPlaceholderDelay : kSearchLimit)) {
        call->GiveUp(); // the volume counts as stuck until the listing returns
        if (!interactive)
            return false;
        auto placeholder = std::make_unique<TShellTreeNode>();
        placeholder->placeholder = true;
        placeholder->text = QStringLiteral("\u2026");
        m_model->InsertChild(node, -1, std::move(placeholder));
        m_pending[&node] = call;
        const std::weak_ptr<TPendingListing> weak = call;
        call->SetOnDone([mailbox = m_mailbox, list = node.absoluteList, weak] {
            mailbox->Post(std::make_unique<ExpansionDoneEvent>(list, weak.lock()));
        });
        return true;
    }
    std::optional<FolderListing> listing = call->Take();
    if (!listing)
        listing = FolderListing { ListingResult::lrUnreadable, {} }; // the file system threw
    return ApplyListing(node, std::move(*listing));
}

bool TExplorerTreeView::ApplyListing(TShellTreeNode& node, FolderListing listing)
{
    if (listing.result == ListingResult::lrNotResponding)
        return false;
    const WaitCursor hourglass;
    const UpdateBracket bracket(*this);
    const TShellFolderPtr folder = NodeFolder(node);
    node.childrenLoaded = true;
    WatchExpanded(node);
    std::vector<std::unique_ptr<TShellTreeNode>> children;
    children.reserve(listing.items.size());
    for (const ShellItem& item : listing.items) {
        if (!m_folderTypes.test(ftIncludeSystem)
            && PathFromPIDL(*m_shell, node.absoluteList.Combined(item.relative)).empty())
            continue; // no file-system path: left out without system items
        children.push_back(MakeChild(node, item, folder));
    }
    SortChildren(children, folder);
    for (const auto& child : children) {
        Register(*child);
        QueueLeafWatch(*child);
    }
    m_model->InsertChildren(node, -1, std::move(children));
    if (node.Count() == 0) {
        // An empty folder whose changes are not followed keeps its button, to be looked at
        // again when opened; one that cannot be read loses it.
        node.hasChildren = listing.result == ListingResult::lrListed && !node.watched;
        m_model->ButtonsChanged();
    }
    return true;
}

void TExplorerTreeView::RefreshNode(TShellTreeNode& node)
{
    if (m_refreshing || m_pending.contains(&node))
        return;
    m_refreshing = true;
    struct Done {
        bool& refreshing;
        ~Done() { refreshing = false; }
    } done { m_refreshing };
    const WaitCursor hourglass;

    const TShellFolderPtr folder = NodeFolder(node);
    FolderListing listing = m_shell->List(node.absoluteList, EnumerationFlags(), kSearchLimit);
    if (listing.result != ListingResult::lrListed)
        return; // the children stay as they were
    std::erase_if(listing.items, [this, &node](const ShellItem& item) {
        return !m_folderTypes.test(ftIncludeSystem)
            && PathFromPIDL(*m_shell, node.absoluteList.Combined(item.relative)).empty();
    });
    if (!node.childrenLoaded) {
        // Never opened: only whether it has something to open matters.
        const bool hasChildren = !listing.items.empty() || !node.watched;
        if (hasChildren != node.hasChildren) {
            node.hasChildren = hasChildren;
            m_model->ButtonsChanged();
        }
        return;
    }

    std::vector<TItemIdList> gone;
    const std::vector<bool> kept = MatchChildren(node, listing.items, gone);
    const UpdateBracket bracket(*this);
    for (const TItemIdList& list : gone) {
        if (TShellTreeNode* child = FindNodeByPIDL(list))
            DeleteNode(*child);
    }
    for (std::size_t i = 0; i < listing.items.size(); ++i) {
        if (kept[i])
            continue;
        std::unique_ptr<TShellTreeNode> child = MakeChild(node, listing.items[i], folder);
        const int position = InsertPosition(node, *child);
        Register(*child);
        QueueLeafWatch(*child);
        m_model->InsertChild(node, position, std::move(child));
    }
    if (node.Count() == 0 && node.hasChildren == node.watched) {
        node.hasChildren = !node.watched;
        m_model->ButtonsChanged();
    }
}

TShellTreeNode* TExplorerTreeView::AddNewNode(TShellTreeNode& parent, const TItemIdList& absolute)
{
    const UpdateBracket bracket(*this);
    auto child = std::make_unique<TShellTreeNode>();
    child->text = GetPIDLDisplayName(*m_shell, absolute);
    child->parentFolder = NodeFolder(parent);
    child->relativeList = absolute.LastAsList();
    child->absoluteList = absolute;
    if (IsFolderRecord(absolute))
        child->ownFolder = std::make_shared<TShellFolder>(*m_shell, absolute);
    if (!PathFromPIDL(*m_shell, absolute).empty()) {
        child->imageIndex = GetPIDLIconIndex(*m_shell, absolute, false);
        child->selectedIndex = GetPIDLIconIndex(*m_shell, absolute, true);
    }
    const std::uint32_t attributes
        = child->parentFolder->GetAttributesOf(child->relativeList, kSearchLimit).value_or(0);
    if ((attributes & SFGAO_LINK) != 0)
        child->overlayIndex = TSystemImageList::kLinkOverlay;
    if ((attributes & SFGAO_SHARE) != 0)
        child->overlayIndex = TSystemImageList::kShareOverlay;
    child->compressed = (attributes & SFGAO_COMPRESSED) != 0;
    // A folder moved in may bring subfolders along.
    child->hasChildren
        = IsFolderRecord(absolute) && ((attributes & SFGAO_HASSUBFOLDER) != 0 || m_folderTypes.test(ftNonFolders));
    TShellTreeNode* added = child.get();
    const int position = InsertPosition(parent, *child);
    Register(*child);
    QueueLeafWatch(*child);
    m_model->InsertChild(parent, position, std::move(child));
    return added;
}

TShellTreeNode* TExplorerTreeView::FindNodeByPIDL(const TItemIdList& absolute) const
{
    const auto found = m_nodes.find(absolute);
    return found == m_nodes.end() ? nullptr : found->second;
}

TShellTreeNode* TExplorerTreeView::GetNodeFromPIDL(const TItemIdList& absolute)
{
    TShellTreeNode* node = Root();
    if (!node)
        return nullptr;
    if (TShellTreeNode* loaded = FindNodeByPIDL(absolute))
        return loaded;
    if (!node->absoluteList.IsParentOf(absolute))
        return nullptr;
    // Down the ancestors, listing each one that never was (without opening it on screen).
    for (;;) {
        if (m_pending.contains(node))
            return nullptr;
        if (!node->childrenLoaded && !ExpandObjectNode(*node, false))
            return nullptr;
        TShellTreeNode* next = nullptr;
        for (int i = 0; i < node->Count() && !next; ++i) {
            if (node->Item(i)->absoluteList.IsParentOf(absolute))
                next = node->Item(i);
        }
        if (!next)
            return nullptr; // left out by the enumeration (hidden) or gone
        if (next->absoluteList == absolute)
            return next;
        node = next;
    }
}

void TExplorerTreeView::Register(TShellTreeNode& node)
{
    if (!node.placeholder)
        m_nodes[node.absoluteList] = &node;
}

void TExplorerTreeView::Unregister(TShellTreeNode& node)
{
    if (node.placeholder)
        return;
    if (const auto found = m_nodes.find(node.absoluteList); found != m_nodes.end() && found->second == &node)
        m_nodes.erase(found);
    m_pending.erase(&node);
    if (node.watched)
        m_notifier->Source().Unwatch(node.absoluteList);
    node.watched = false;
}

void TExplorerTreeView::DeleteNode(TShellTreeNode& node)
{
    // A selection inside the node moves to the node above it first, so that one stays selected
    // whatever goes; the change event follows once the node is gone.
    TShellTreeNode* selected = Selected();
    const bool inside = selected && (selected == &node || selected->HasAsParent(&node));
    if (inside) {
        m_suppressChange = true;
        Select(NodeAbove(node));
        m_suppressChange = false;
    }
    m_model->Remove(node, [this](TShellTreeNode& gone) { Unregister(gone); });
    if (inside && Selected())
        Change(Selected(), nullptr);
}

void TExplorerTreeView::DeleteChildren(TShellTreeNode& node)
{
    TShellTreeNode* selected = Selected();
    if (selected && selected->HasAsParent(&node)) {
        m_suppressChange = true;
        Select(&node);
        m_suppressChange = false;
    }
    m_model->RemoveChildren(node, [this](TShellTreeNode& gone) { Unregister(gone); });
    node.childrenLoaded = false;
    m_pending.erase(&node);
}

void TExplorerTreeView::DeleteAllNodes()
{
    m_model->Clear([this](TShellTreeNode& gone) { Unregister(gone); });
    m_leafWatches.clear();
}

} // namespace tarvo
