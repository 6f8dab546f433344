#include "KeptTreeBuilder.h"

#include <algorithm>
#include <numeric>

namespace tarvo
{

namespace
{

    // Records are made a chunk at a time, so that no thread ever waits for a vector to grow.
    constexpr std::uint32_t kChunkBits = 12;
    constexpr std::uint32_t kChunk = 1U << kChunkBits;

} // namespace

struct TKeptTreeBuilder::Record {
    std::string name;
    std::uint32_t parent = kNone;
    std::uint32_t ordinal = 0;
    std::atomic<std::uint64_t> ownLow { 0 }; // a TByteCount added to from several threads
    std::atomic<std::uint64_t> ownHigh { 0 };
    std::atomic<int> error { 0 };
    std::atomic<std::uint32_t> unread { 0 };
};

TKeptTreeBuilder::TKeptTreeBuilder(const PathStyle& style, std::string rootPath, std::size_t budgetBytes)
    : m_style(style)
    , m_rootPath(std::move(rootPath))
    , m_maxFolders(static_cast<std::uint32_t>(
          std::min<std::size_t>(budgetBytes / TKeptTree::kBytesPerFolder, TKeptTree::kNone - 1)))
    , m_budgetBytes(budgetBytes)
    , m_chunks(std::make_unique<std::atomic<Record*>[]>((m_maxFolders >> kChunkBits) + 1))
{
    (void)At(0); // the analysed folder
}

TKeptTreeBuilder::~TKeptTreeBuilder()
{
    for (std::uint32_t i = 0; i <= (m_maxFolders >> kChunkBits); ++i)
        delete[] m_chunks[i].load();
}

TKeptTreeBuilder::Record& TKeptTreeBuilder::At(std::uint32_t folder)
{
    std::atomic<Record*>& slot = m_chunks[folder >> kChunkBits];
    Record* chunk = slot.load(std::memory_order_acquire);
    if (chunk == nullptr) {
        const std::lock_guard lock(m_grow);
        chunk = slot.load(std::memory_order_relaxed);
        if (chunk == nullptr) {
            chunk = new Record[kChunk];
            slot.store(chunk, std::memory_order_release);
        }
    }
    return chunk[folder & (kChunk - 1)];
}

std::uint32_t TKeptTreeBuilder::AddFolder(std::uint32_t parent, std::uint32_t ordinal, std::string_view name)
{
    if (parent == kNone || m_overBudget.load(std::memory_order_relaxed))
        return kNone;
    const std::uint32_t folder = m_next.fetch_add(1, std::memory_order_relaxed);
    const std::size_t names = m_nameBytes.fetch_add(name.size(), std::memory_order_relaxed) + name.size();
    if (folder >= m_maxFolders || std::size_t { folder } * TKeptTree::kBytesPerFolder + names > m_budgetBytes) {
        m_overBudget.store(true, std::memory_order_relaxed);
        return kNone;
    }
    Record& record = At(folder);
    record.name = name;
    record.parent = parent;
    record.ordinal = ordinal;
    return folder;
}

void TKeptTreeBuilder::AddOwn(std::uint32_t folder, TByteCount bytes)
{
    if (folder == kNone || bytes == TByteCount {})
        return;
    Record& record = At(folder);
    // The low words' sum wraps exactly when it is smaller than what it started from.
    const std::uint64_t before = record.ownLow.fetch_add(bytes.Low(), std::memory_order_relaxed);
    const std::uint64_t carry = before + bytes.Low() < before ? 1 : 0;
    if (bytes.High() + carry != 0)
        record.ownHigh.fetch_add(bytes.High() + carry, std::memory_order_relaxed);
}

void TKeptTreeBuilder::MarkUnread(std::uint32_t folder, int error, const std::string& name)
{
    if (folder == kNone)
        return;
    Record& record = At(folder);
    int none = 0;
    record.error.compare_exchange_strong(none, error, std::memory_order_relaxed);
    record.unread.fetch_add(1, std::memory_order_relaxed);
    const std::lock_guard lock(m_failuresLock);
    std::vector<TKeptTree::Failure>& failures = m_failures[folder];
    if (failures.size() < TKeptTree::kFailuresKept)
        failures.push_back({ name, error });
}

std::unique_ptr<TKeptTree> TKeptTreeBuilder::Finish()
{
    if (m_overBudget.load())
        return nullptr;
    const std::uint32_t count = m_next.load();
    auto tree = std::make_unique<TKeptTree>(m_style, m_rootPath);
    tree->m_nodes.resize(count);
    tree->m_names.reserve(m_nameBytes.load());
    for (std::uint32_t i = 0; i < count; ++i) {
        const Record& record = At(i);
        TKeptTree::Node& node = tree->m_nodes[i];
        const TByteCount own = TByteCount::FromWords(record.ownHigh.load(), record.ownLow.load());
        TKeptTree::SetWords(node.own, own);
        TKeptTree::SetWords(node.total, own);
        node.parent = record.parent;
        node.nameOffset = static_cast<std::uint32_t>(tree->m_names.size());
        node.nameLength = static_cast<std::uint16_t>(record.name.size());
        tree->m_names += record.name;
        node.error = static_cast<std::int16_t>(record.error.load());
        node.unreadBelow = record.unread.load();
    }
    // Each folder's subfolders side by side in listing order: sorted by parent, then ordinal.
    std::vector<std::uint32_t>& children = tree->m_children;
    children.resize(count > 0 ? count - 1 : 0);
    std::iota(children.begin(), children.end(), 1U);
    std::sort(children.begin(), children.end(), [&](std::uint32_t a, std::uint32_t b) {
        const Record& x = At(a);
        const Record& y = At(b);
        return x.parent != y.parent ? x.parent < y.parent : x.ordinal < y.ordinal;
    });
    for (std::uint32_t slot = 0; slot < children.size(); ++slot) {
        TKeptTree::Node& parent = tree->m_nodes[tree->m_nodes[children[slot]].parent];
        if (parent.childCount++ == 0)
            parent.firstChild = slot;
    }
    tree->m_failures = std::move(m_failures);
    // A folder is numbered after its parent: adding up from the last gives every total.
    for (std::uint32_t i = count; i-- > 1;) {
        TKeptTree::Node& node = tree->m_nodes[i];
        TKeptTree::Node& parent = tree->m_nodes[node.parent];
        TKeptTree::SetWords(parent.total, TKeptTree::Total(parent) + TKeptTree::Total(node));
        parent.unreadBelow += node.unreadBelow;
    }
    return tree;
}

} // namespace tarvo
