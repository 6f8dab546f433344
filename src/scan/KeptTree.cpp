#include "KeptTree.h"

#include <algorithm>
#include <utility>

namespace tarvo
{

static_assert(sizeof(TKeptTree::Node) == 60, "a kept folder must stay within its 64-byte budget");

namespace
{

    bool SameName(const PathStyle& style, std::string_view a, std::string_view b)
    {
        if (style.GetKind() != PathStyle::pkWindows)
            return a == b;
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return a.size() == b.size()
            && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
    }

    // The names of path below the root path, or false when it does not lie in it.
    bool NamesBelow(
        const PathStyle& style, std::string_view root, std::string_view path, std::vector<std::string_view>& names)
    {
        if (!style.Holds(root, path))
            return false;
        const std::size_t depth = style.Components(root.substr(style.RootOf(root).size())).size();
        names = style.Components(path.substr(style.RootOf(path).size()));
        names.erase(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(std::min(depth, names.size())));
        return true;
    }

} // namespace

TKeptTree::TKeptTree(const PathStyle& style, std::string rootPath)
    : m_style(style)
    , m_rootPath(style.ExcludeTrailingSeparator(rootPath))
{
}

std::size_t TKeptTree::MemoryBytes() const
{
    return sizeof(*this) + m_rootPath.capacity() + m_nodes.capacity() * sizeof(Node)
        + m_children.capacity() * sizeof(std::uint32_t) + m_names.capacity();
}

std::string_view TKeptTree::Name(std::uint32_t index) const
{
    const Node& node = m_nodes[index];
    return std::string_view(m_names).substr(node.nameOffset, node.nameLength);
}

TByteCount TKeptTree::Total(const Node& node)
{
    return TByteCount::FromWords((std::uint64_t { node.total[3] } << 32) | node.total[2],
        (std::uint64_t { node.total[1] } << 32) | node.total[0]);
}

TByteCount TKeptTree::Own(const Node& node)
{
    return TByteCount::FromWords(
        (std::uint64_t { node.own[3] } << 32) | node.own[2], (std::uint64_t { node.own[1] } << 32) | node.own[0]);
}

void TKeptTree::SetWords(std::uint32_t (&words)[4], TByteCount value)
{
    words[0] = static_cast<std::uint32_t>(value.Low());
    words[1] = static_cast<std::uint32_t>(value.Low() >> 32);
    words[2] = static_cast<std::uint32_t>(value.High());
    words[3] = static_cast<std::uint32_t>(value.High() >> 32);
}

std::uint32_t TKeptTree::FindDeepest(std::string_view path) const
{
    std::vector<std::string_view> names;
    if (m_nodes.empty() || !NamesBelow(m_style, m_rootPath, path, names))
        return kNone;
    std::uint32_t at = 0;
    for (std::string_view name : names) {
        std::uint32_t found = kNone;
        for (std::uint32_t i = 0; i < m_nodes[at].childCount && found == kNone; ++i) {
            if (SameName(m_style, Name(Child(at, i)), name))
                found = Child(at, i);
        }
        if (found == kNone)
            break;
        at = found;
    }
    return at;
}

std::uint32_t TKeptTree::Find(std::string_view path) const
{
    const std::uint32_t at = FindDeepest(path);
    if (at == kNone)
        return kNone;
    // Found only when every name was matched: the path has as many names as the node's depth.
    std::vector<std::string_view> names;
    NamesBelow(m_style, m_rootPath, path, names);
    std::size_t depth = 0;
    for (std::uint32_t up = at; m_nodes[up].parent != kNone; up = m_nodes[up].parent)
        ++depth;
    return depth == names.size() ? at : kNone;
}

std::string TKeptTree::PathOf(std::uint32_t index) const
{
    std::vector<std::string_view> names;
    for (std::uint32_t at = index; m_nodes[at].parent != kNone; at = m_nodes[at].parent)
        names.push_back(Name(at));
    std::string path = m_rootPath;
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        path = m_style.Join(path, *it);
    return path;
}

void TKeptTree::MarkStale(std::uint32_t index)
{
    for (std::uint32_t at = index; at != kNone; at = m_nodes[at].parent)
        m_nodes[at].stale = 1;
}

const std::vector<TKeptTree::Failure>& TKeptTree::Failures(std::uint32_t index) const
{
    static const std::vector<Failure> kNoFailures;
    const auto found = m_failures.find(index);
    return found == m_failures.end() ? kNoFailures : found->second;
}

void TKeptTree::DropBelow(std::uint32_t index)
{
    std::vector<std::uint32_t> pending { index };
    while (!pending.empty()) {
        const std::uint32_t at = pending.back();
        pending.pop_back();
        for (std::uint32_t i = 0; i < m_nodes[at].childCount; ++i) {
            pending.push_back(Child(at, i));
            m_failures.erase(Child(at, i));
            ++m_deadNodes;
        }
    }
    m_nodes[index].childCount = 0;
}

// Copies the subfolders of from's folder fromIndex, and everything below them, under the folder
// `parent` of this tree (its child list is set anew); returns how many folders were copied.
std::uint32_t TKeptTree::AppendCopy(const TKeptTree& from, std::uint32_t fromIndex, std::uint32_t parent)
{
    std::uint32_t copied = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pending { { fromIndex, parent } };
    while (!pending.empty()) {
        const auto [source, target] = pending.back();
        pending.pop_back();
        const std::uint32_t count = from.m_nodes[source].childCount;
        const auto first = static_cast<std::uint32_t>(m_children.size());
        m_nodes[target].firstChild = first;
        m_nodes[target].childCount = count;
        m_children.resize(m_children.size() + count);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t child = from.Child(source, i);
            Node copy = from.m_nodes[child];
            copy.parent = target;
            copy.nameOffset = static_cast<std::uint32_t>(m_names.size());
            m_names.append(from.Name(child));
            const auto index = static_cast<std::uint32_t>(m_nodes.size());
            m_nodes.push_back(copy);
            m_children[first + i] = index;
            if (const auto failed = from.m_failures.find(child); failed != from.m_failures.end())
                m_failures[index] = failed->second;
            pending.emplace_back(child, index);
            ++copied;
        }
    }
    return copied;
}

void TKeptTree::Replace(std::uint32_t index, const TKeptTree& fresh)
{
    const TByteCount oldTotal = Total(m_nodes[index]);
    const std::uint32_t oldUnread = m_nodes[index].unreadBelow;
    DropBelow(index);
    m_failures.erase(index);
    if (const auto failed = fresh.m_failures.find(0); failed != fresh.m_failures.end())
        m_failures[index] = failed->second;

    const Node& top = fresh.m_nodes[0];
    Node& node = m_nodes[index];
    std::copy(std::begin(top.total), std::end(top.total), std::begin(node.total));
    std::copy(std::begin(top.own), std::end(top.own), std::begin(node.own));
    node.unreadBelow = top.unreadBelow;
    node.error = top.error;
    node.stale = 0;
    (void)AppendCopy(fresh, 0, index);

    const TByteCount newTotal = Total(top);
    for (std::uint32_t at = m_nodes[index].parent; at != kNone; at = m_nodes[at].parent) {
        SetWords(m_nodes[at].total, Total(m_nodes[at]) - oldTotal + newTotal);
        m_nodes[at].unreadBelow = m_nodes[at].unreadBelow - oldUnread + top.unreadBelow;
    }
    if (m_deadNodes * 2 > FolderCount())
        Compact();
}

// Drops the nodes of replaced subtrees: a fresh copy of what is reachable from the top.
void TKeptTree::Compact()
{
    TKeptTree live(m_style, m_rootPath);
    live.m_nodes.reserve(FolderCount());
    live.m_children.reserve(FolderCount());
    Node top = m_nodes[0];
    top.nameOffset = 0;
    top.nameLength = 0;
    live.m_nodes.push_back(top);
    if (const auto failed = m_failures.find(0); failed != m_failures.end())
        live.m_failures[0] = failed->second;
    (void)live.AppendCopy(*this, 0, 0);
    m_nodes = std::move(live.m_nodes);
    m_children = std::move(live.m_children);
    m_names = std::move(live.m_names);
    m_failures = std::move(live.m_failures);
    m_deadNodes = 0;
}

} // namespace tarvo
