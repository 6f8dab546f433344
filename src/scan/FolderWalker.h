#pragma once

#include "ByteCount.h"
#include "FileSystem.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tarvo
{

class TKeptTreeBuilder;

// A folder, or an entry of one, that could not be read, and why (an errno value).
struct UnreadFolder {
    std::string path;
    int error = 0;
    bool operator==(const UnreadFolder&) const = default;
};

// What a walk could not open, list or examine: how many, and the first few of them. Any thread
// may add to it.
class UnreadLog
{
public:
    static constexpr std::size_t kKept = 20;

    void Note(std::string path, int error);
    void Clear();
    [[nodiscard]] std::size_t Count() const;
    // At most kKept of them, ordered by path (which ones depends on the threads' timing once
    // more than kKept fail).
    [[nodiscard]] std::vector<UnreadFolder> Kept() const;

private:
    mutable std::mutex m_mutex;
    std::size_t m_count = 0;
    std::vector<UnreadFolder> m_kept;
};

// Live counters of a walk, readable from any thread while it runs.
struct WalkCounters {
    std::atomic<std::uint64_t> folders { 0 };
    std::atomic<std::uint64_t> bytes { 0 }; // stops at the largest int64 rather than wrap
    std::atomic<int> lastRootEntered { -1 }; // index of the root whose folder was most recently opened
    UnreadLog unread;

    void Reset();
    void AddBytes(std::uint64_t bytes);
};

// Adds up the apparent sizes below one open folder on a small pool of threads.
//
// The folder's subfolders are its roots, numbered in listing order as its listing streams by;
// its own non-folder entries are settled as they come, so no listing is ever held whole. The
// walk is iterative (one shared last-in-first-out stack of tasks, no recursion), resolves every
// folder relative to its parent's handle, never follows links, and ends on every tree: a mount
// root that shows one of its own ancestors counts 0. A folder is read one buffer at a time:
// whoever reads a buffer hands the rest of the folder on as a task before settling it, so one
// huge folder keeps every worker busy while only a buffer or two per worker is held. A parent
// handle stays open only while some of its subfolders wait to be opened, so a 10,000-deep chain
// holds two handles. Totals are integer sums, so the result never depends on thread timing.
class FolderWalker
{
public:
    struct Result {
        std::vector<TByteCount> rootTotals; // per subfolder of the walked folder, in listing order
        TByteCount own; // the walked folder's own entries
    };
    // Told of each subfolder of the walked folder as its listing reaches it (index, name), on
    // whichever worker read it, one call at a time.
    using RootFound = std::function<void(std::size_t index, const std::string& name)>;

    FolderWalker(FileSystem& fileSystem, const std::atomic<bool>& cancel, WalkCounters& counters);

    // The folders the walk must never enter again: the identities of the open folder and of
    // all its ancestors. Call once per walk before Walk. topPath names the open folder in the
    // log of what cannot be read.
    void SetAncestry(FolderHandle& top, std::string topPath);
    // Only the walked folder's own listing: its subfolders are named but not entered.
    void SetDescend(bool descend) { m_descend = descend; }
    // Records every folder walked, with its totals, into the builder (nullptr: keep nothing).
    void SetRecorder(TKeptTreeBuilder* recorder) { m_recorder = recorder; }

    // Reads `top` (opened and not yet read) to its end and walks every subfolder below it.
    // Returns false when cancelled; the result is then incomplete.
    bool Walk(const FolderHandlePtr& top, Result& result, const RootFound& rootFound = {});

    // Number of worker threads a walk uses (the calling thread is one of them).
    void SetThreadCount(int threads) { m_threads = threads < 1 ? 1 : threads; }

    // The size an entry contributes once its kind is known: a file its apparent size divided by
    // its number of names (hard links; rounded down, so at most n - 1 bytes of it go uncounted
    // and every name's share is the same whichever is met first), links their own size,
    // folders and special files 0.
    [[nodiscard]] static std::uint64_t ContributedBytes(const DirEntry& entry);

    // Settles what a listing left open about an entry: its kind, size and names. Returns false
    // when the entry has vanished since the listing (ENOENT): it is simply no longer there.
    // Otherwise `error` is 0, or the errno value of an examination that failed: the entry then
    // counts 0 and is to be reported as not read. An entry of unknown kind that cannot be
    // examined is taken for a folder unless opening it as one says it is none, so a subfolder
    // that fails so keeps its row (and opening it reports the failure).
    [[nodiscard]] static bool Examine(FileSystem& fileSystem, FolderHandle& folder, DirEntry& entry, int& error);

private:
    class Run;
    struct Ancestor;

    // The path of a folder of the walk (childName empty) or of one of its entries.
    [[nodiscard]] std::string PathOf(const Ancestor* folder, const std::string& childName) const;

    FileSystem& m_fileSystem;
    const std::atomic<bool>& m_cancel;
    WalkCounters& m_counters;
    std::shared_ptr<const Ancestor> m_ancestry;
    std::string m_topPath; // with its trailing separator
    TKeptTreeBuilder* m_recorder = nullptr;
    int m_threads;
    bool m_descend = true;
};

} // namespace tarvo
