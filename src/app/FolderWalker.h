#pragma once

#include "FileSystem.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tarvo
{

// A folder that could not be read, and why (an errno value).
struct UnreadFolder {
    std::string path;
    int error = 0;
    bool operator==(const UnreadFolder&) const = default;
};

// The folders a walk could not open or list: how many, and the first few of them. Any thread
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
    std::atomic<std::int64_t> bytes { 0 };
    std::atomic<int> lastRootEntered { -1 }; // index of the root whose folder was most recently opened
    UnreadLog unread;
};

// Adds up the apparent sizes below a set of roots on a small pool of threads.
//
// The walk is iterative (a shared last-in-first-out stack of tasks, no recursion), resolves
// every folder relative to its parent's handle, never follows links, and ends on every tree:
// a mount root that shows one of its own ancestors counts 0. A parent handle stays open only
// while some of its subfolders wait to be opened, so a 10,000-deep chain holds two handles.
// Totals are integer sums per root, so the result never depends on thread timing.
class FolderWalker
{
public:
    // A subfolder `name` of the open folder `parent` whose whole tree counts for one root.
    struct FolderRoot {
        std::string name;
    };

    FolderWalker(FileSystem& fileSystem, const std::atomic<bool>& cancel, WalkCounters& counters);

    // The folders the walk must never enter again: the identities of the open folder and of
    // all its ancestors. Call once per walk before Walk. topPath names the open folder in the
    // log of folders that cannot be read.
    void SetAncestry(FolderHandle& top, std::string topPath);

    // Walks each subfolder of `parent` listed in `folders` (root i, total in totals[i]) and
    // settles the sizes of `ownEntries`, the parent's own non-folder entries (their sum in
    // totals[folders.size()]). Returns false when cancelled; totals are then incomplete.
    bool Walk(const FolderHandlePtr& parent, const std::vector<FolderRoot>& folders, std::vector<DirEntry> ownEntries,
        std::vector<std::int64_t>& totals);

    // Number of worker threads a walk uses (the calling thread is one of them).
    void SetThreadCount(int threads) { m_threads = threads < 1 ? 1 : threads; }

    // The size an entry contributes once its kind is known: files their apparent size divided
    // by their number of names (hard links; rounded down), links their own size, folders and
    // special files 0.
    [[nodiscard]] static std::int64_t ContributedBytes(const DirEntry& entry);

private:
    class Run;
    struct Ancestor;

    // The path of a folder of the walk (childName empty) or of one of its subfolders.
    [[nodiscard]] std::string PathOf(const Ancestor* folder, const std::string& childName) const;

    FileSystem& m_fileSystem;
    const std::atomic<bool>& m_cancel;
    WalkCounters& m_counters;
    std::shared_ptr<const Ancestor> m_ancestry;
    std::string m_topPath; // with its trailing separator
    int m_threads;
};

} // namespace tarvo
