// The folder tree following the namespace: change events, folder watches and listings that
// finish after their placeholder appeared.

#include "ExplorerTreeView.h"

#include "ShellCommon.h"

#include <QElapsedTimer>
#include <QTimer>

namespace tarvo
{

namespace
{

    // Leaf watches are added between other work, in slices short enough not to be felt.
    constexpr qint64 kWatchSliceNanoseconds = 20'000'000;

    bool IsFolderList(const TItemIdList& list) { return list.IsEmpty() || list.Last().kind != ItemKind::ikNonFolder; }

} // namespace

void TExplorerTreeView::FileChange(const TShellEventSet& events, const TShellEventPair& items)
{
    if ((events.test(sekDriveAdd) || events.test(sekDriveRemoved)) && OnVolumesChanged)
        OnVolumesChanged(*this);
    if (!m_autoRefresh)
        return;
    const bool nonFolders = m_folderTypes.test(ftNonFolders);
    if (events.test(sekRenameFolder) || (events.test(sekRenameItem) && nonFolders)) {
        const TItemIdList oldParent = items.first.WithoutLast();
        const TItemIdList newParent = items.second.WithoutLast();
        if (oldParent == newParent) {
            if (TShellTreeNode* parent = FindNodeByPIDL(oldParent))
                RefreshNode(*parent);
        } else {
            if (TShellTreeNode* moved = FindNodeByPIDL(items.first))
                DeleteNode(*moved);
            if (TShellTreeNode* parent = FindNodeByPIDL(newParent))
                RefreshNode(*parent);
        }
    }
    if (events.test(sekDriveRemoved) || events.test(sekRmDir) || (events.test(sekDelete) && nonFolders)) {
        if (TShellTreeNode* gone = FindNodeByPIDL(items.first))
            DeleteNode(*gone);
    }
    if (events.test(sekMkDir) || events.test(sekDriveAddGui) || (events.test(sekCreate) && nonFolders))
        ItemCreated(items.first);
    if (events.test(sekMediaRemoved) || events.test(sekMediaInserted))
        MediaChanged(items.first);
    if (events.test(sekFreeSpace) || events.test(sekUpdateDir)) {
        TShellTreeNode* folder = FindNodeByPIDL(items.first);
        if (folder && isValidPIDL(*m_shell, folder->absoluteList))
            RefreshNode(*folder);
    }
}

void TExplorerTreeView::ItemCreated(const TItemIdList& item)
{
    const bool hidden
        = !item.IsEmpty() && item.Last().kind != ItemKind::ikVolume && item.Last().payload.starts_with('.');
    TShellTreeNode* parent = FindNodeByPIDL(item.WithoutLast());
    if (FindNodeByPIDL(item) || !parent || (hidden && !m_folderTypes.test(ftIncludeHidden)))
        return;
    // A loaded folder gets the node even while closed: a watched folder is not listed again when
    // it opens.
    if (parent->childrenLoaded && !m_pending.contains(parent)) {
        AddNewNode(*parent, item);
    } else if (!parent->hasChildren) {
        parent->hasChildren = true;
        m_model->ButtonsChanged();
    }
}

void TExplorerTreeView::MediaChanged(const TItemIdList& item)
{
    TShellTreeNode* drive = FindNodeByPIDL(item);
    const VolumeInfo* volume = drive ? m_shell->VolumeOfPath(PathFromPIDL(*m_shell, drive->absoluteList)) : nullptr;
    if (!drive || !IsDriveRoot(*m_shell, drive->absoluteList) || !volume || volume->kind != VolumeKind::vkCdrom)
        return;
    FlushCache(*m_shell);
    drive->imageIndex = GetPIDLIconIndex(*m_shell, drive->absoluteList, false);
    drive->selectedIndex = GetPIDLIconIndex(*m_shell, drive->absoluteList, true);
    drive->text = GetPIDLDisplayName(*m_shell, drive->absoluteList);
    m_model->Changed(*drive);
}

void TExplorerTreeView::FinishExpansion(const TItemIdList& list, const std::shared_ptr<TPendingListing>& call)
{
    TShellTreeNode* node = FindNodeByPIDL(list);
    const auto pending = node ? m_pending.find(node) : m_pending.end();
    if (!call || pending == m_pending.end() || pending->second != call)
        return; // deleted or reloaded meanwhile
    m_pending.erase(pending);
    m_model->RemoveChildren(*node); // the placeholder
    std::optional<FolderListing> listing = call->Take();
    if (!listing || listing->result != ListingResult::lrListed) {
        collapse(m_model->IndexOf(node));
        return;
    }
    ApplyListing(*node, std::move(*listing));
}

void TExplorerTreeView::RefreshExpanded()
{
    std::vector<TItemIdList> loaded;
    for (const auto& [list, node] : m_nodes) {
        if (node->childrenLoaded)
            loaded.push_back(list);
    }
    // Parents before children: a refreshed parent may delete a child that is then skipped.
    std::sort(
        loaded.begin(), loaded.end(), [](const TItemIdList& a, const TItemIdList& b) { return a.Count() < b.Count(); });
    for (const TItemIdList& list : loaded) {
        if (TShellTreeNode* node = FindNodeByPIDL(list))
            RefreshNode(*node);
    }
}

void TExplorerTreeView::WatchExpanded(TShellTreeNode& node)
{
    std::vector<TItemIdList> evicted;
    node.watched = m_notifier->Source().Watch(node.absoluteList, true, &evicted);
    Unwatched(evicted);
}

void TExplorerTreeView::QueueLeafWatch(const TShellTreeNode& node)
{
    if (!IsFolderList(node.absoluteList))
        return;
    m_leafWatches.push_back(node.absoluteList);
    if (!m_watchTimer->isActive())
        m_watchTimer->start();
}

// A folder whose changes are no longer followed shows a button: it may have something to open.
void TExplorerTreeView::Unwatched(const std::vector<TItemIdList>& lists)
{
    bool buttons = false;
    for (const TItemIdList& list : lists) {
        TShellTreeNode* node = FindNodeByPIDL(list);
        if (!node)
            continue;
        node->watched = false;
        if (!node->hasChildren) {
            node->hasChildren = true;
            buttons = true;
        }
    }
    if (buttons)
        m_model->ButtonsChanged();
}

void TExplorerTreeView::WatchSlice()
{
    QElapsedTimer slice;
    slice.start();
    std::vector<TItemIdList> refused;
    TShellChangeSource& source = m_notifier->Source();
    while (!m_leafWatches.empty() && slice.nsecsElapsed() < kWatchSliceNanoseconds) {
        const TItemIdList list = std::move(m_leafWatches.front());
        m_leafWatches.pop_front();
        TShellTreeNode* node = FindNodeByPIDL(list);
        if (!node || node->watched)
            continue;
        node->watched = source.Watch(list, node->childrenLoaded);
        if (!node->watched)
            refused.push_back(list);
    }
    Unwatched(refused);
    if (!m_leafWatches.empty())
        m_watchTimer->start();
}

} // namespace tarvo
