#pragma once

#include "KeptTree.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvo
{

// Records the folders of one walk as the walker's threads meet them, then turns them into a
// TKeptTree. Every call but Finish may come from any thread at once. A walk of more folders
// than the budget allows is not recorded (Finish gives nothing): keeping it would only drop
// every other kept tree.
class TKeptTreeBuilder
{
public:
    static constexpr std::uint32_t kNone = TKeptTree::kNone;

    // The analysed folder becomes folder 0.
    TKeptTreeBuilder(const PathStyle& style, std::string rootPath, std::size_t budgetBytes);
    ~TKeptTreeBuilder();
    TKeptTreeBuilder(const TKeptTreeBuilder&) = delete;
    TKeptTreeBuilder& operator=(const TKeptTreeBuilder&) = delete;

    // The subfolder `name`, the ordinal-th subfolder of folder `parent` in its listing, about to
    // be opened. Its number, or kNone once the budget is spent (or parent is kNone).
    [[nodiscard]] std::uint32_t AddFolder(std::uint32_t parent, std::uint32_t ordinal, std::string_view name);
    // Bytes of the folder's own entries (called once per buffer of its listing).
    void AddOwn(std::uint32_t folder, TByteCount bytes);
    // Something could not be read: the folder itself (name empty) or its entry `name`.
    void MarkUnread(std::uint32_t folder, int error, const std::string& name);

    // The finished tree, totals added up from the bottom; nullptr when over the budget.
    [[nodiscard]] std::unique_ptr<TKeptTree> Finish();

private:
    struct Record;
    [[nodiscard]] Record& At(std::uint32_t folder);

    const PathStyle& m_style;
    std::string m_rootPath;
    std::uint32_t m_maxFolders;
    std::size_t m_budgetBytes;
    std::atomic<std::uint32_t> m_next { 1 };
    std::atomic<std::size_t> m_nameBytes { 0 };
    std::atomic<bool> m_overBudget { false };
    std::mutex m_grow; // guards making a chunk
    std::mutex m_failuresLock; // guards m_failures
    std::unordered_map<std::uint32_t, std::vector<TKeptTree::Failure>> m_failures;
    std::unique_ptr<std::atomic<Record*>[]> m_chunks;
};

} // namespace tarvo
