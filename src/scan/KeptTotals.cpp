#include "KeptTotals.h"

#include <algorithm>

namespace tarvo
{

TKeptTotals::TKeptTotals(const PathStyle& style, std::size_t capBytes)
    : m_style(style)
    , m_capBytes(capBytes)
{
}

std::list<std::unique_ptr<TKeptTree>>::const_iterator TKeptTotals::Holder(const std::string& path) const
{
    auto best = m_trees.end();
    std::size_t bestDepth = 0;
    for (auto it = m_trees.begin(); it != m_trees.end(); ++it) {
        const std::string& root = (*it)->RootPath();
        if (!m_style.Holds(root, path))
            continue;
        const std::size_t depth = m_style.Components(root).size();
        if (best == m_trees.end() || depth > bestDepth) {
            best = it;
            bestDepth = depth;
        }
    }
    return best;
}

bool TKeptTotals::Contains(const std::string& folder) const
{
    const std::lock_guard lock(m_mutex);
    const auto holder = Holder(folder);
    return holder != m_trees.end() && (*holder)->Find(folder) != TKeptTree::kNone;
}

bool TKeptTotals::Lookup(const std::string& folder, TKeptListing& listing) const
{
    const std::lock_guard lock(m_mutex);
    const auto holder = Holder(folder);
    if (holder == m_trees.end())
        return false;
    const TKeptTree& tree = **holder;
    const std::uint32_t index = tree.Find(folder);
    if (index == TKeptTree::kNone)
        return false;
    const TKeptTree::Node& node = tree.At(index);
    TKeptListing found;
    for (std::uint32_t i = 0; i < node.childCount; ++i) {
        const std::uint32_t child = tree.Child(index, i);
        found.subfolderNames.emplace_back(tree.Name(child));
        found.subfolderBytes.push_back(TKeptTree::Total(tree.At(child)));
    }
    found.ownBytes = TKeptTree::Own(node);
    found.unreadCount = node.unreadBelow;
    found.stale = node.stale != 0;
    // Only branches that hold a failure are visited.
    std::vector<std::uint32_t> pending;
    if (node.unreadBelow != 0)
        pending.push_back(index);
    while (!pending.empty()) {
        const std::uint32_t at = pending.back();
        pending.pop_back();
        const std::string path = tree.PathOf(at);
        for (const TKeptTree::Failure& failure : tree.Failures(at)) {
            found.unreadFolders.push_back(
                { failure.name.empty() ? path : m_style.Join(path, failure.name), failure.error });
        }
        for (std::uint32_t i = 0; i < tree.At(at).childCount; ++i) {
            if (tree.At(tree.Child(at, i)).unreadBelow != 0)
                pending.push_back(tree.Child(at, i));
        }
    }
    std::sort(found.unreadFolders.begin(), found.unreadFolders.end(),
        [](const UnreadFolder& a, const UnreadFolder& b) { return a.path < b.path; });
    if (found.unreadFolders.size() > UnreadLog::kKept)
        found.unreadFolders.resize(UnreadLog::kKept);
    listing = std::move(found);
    return true;
}

void TKeptTotals::Keep(std::unique_ptr<TKeptTree> tree)
{
    if (!tree)
        return;
    const std::lock_guard lock(m_mutex);
    const std::string root = tree->RootPath();
    const auto holder = Holder(root);
    const std::uint32_t index = holder == m_trees.end() ? TKeptTree::kNone : (*holder)->Find(root);
    if (index == 0) {
        m_trees.erase(holder); // the same folder analysed again: the new tree replaces it whole
        DropTreesInside(root, nullptr);
        m_trees.push_back(std::move(tree));
    } else if (index != TKeptTree::kNone) {
        (*holder)->Replace(index, *tree);
        m_trees.splice(m_trees.end(), m_trees, holder); // now the most recently refreshed
        DropTreesInside(root, m_trees.back().get());
    } else {
        DropTreesInside(root, nullptr);
        m_trees.push_back(std::move(tree));
    }
    EnforceCap();
}

void TKeptTotals::DropTreesInside(const std::string& root, const TKeptTree* except)
{
    m_trees.remove_if([&](const std::unique_ptr<TKeptTree>& kept) {
        return kept.get() != except && m_style.Holds(root, kept->RootPath());
    });
}

void TKeptTotals::EnforceCap()
{
    const auto used = [this] {
        std::size_t bytes = 0;
        for (const auto& tree : m_trees)
            bytes += tree->MemoryBytes();
        return bytes;
    };
    while (!m_trees.empty() && used() > m_capBytes)
        m_trees.pop_front();
}

void TKeptTotals::MarkStale(const std::string& path)
{
    const std::lock_guard lock(m_mutex);
    for (const auto& tree : m_trees) {
        const std::uint32_t index = tree->FindDeepest(path);
        if (index != TKeptTree::kNone)
            tree->MarkStale(index);
    }
}

void TKeptTotals::Clear()
{
    const std::lock_guard lock(m_mutex);
    m_trees.clear();
}

std::size_t TKeptTotals::TreeCount() const
{
    const std::lock_guard lock(m_mutex);
    return m_trees.size();
}

std::size_t TKeptTotals::MemoryBytes() const
{
    const std::lock_guard lock(m_mutex);
    std::size_t bytes = 0;
    for (const auto& tree : m_trees)
        bytes += tree->MemoryBytes();
    return bytes;
}

} // namespace tarvo
