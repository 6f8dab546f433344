#include "FolderWalker.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace tarvo
{

namespace
{

    // Past this many queued tasks a worker stops handing out further buffers of a large folder
    // and settles them itself, so a huge folder cannot fill memory with pending names.
    constexpr std::size_t kQueueCap = 4096;
    // The own entries of the scanned folder are handed out in chunks of this many names.
    constexpr std::size_t kOwnChunk = 512;
    // Guards the ancestry walk against a file system whose ".." never reaches a top.
    constexpr int kMaxAncestors = 1 << 16;

} // namespace

// One link of the chain from a folder up to the top of the file system; a mount root found on
// the way down is compared with every link above it. Folders below the walk's top keep their
// names, so that one that cannot be read can be named.
struct FolderWalker::Ancestor {
    FolderIdentity identity;
    std::shared_ptr<const Ancestor> parent;
    std::string name; // empty from the walk's top upward
};

namespace
{

    bool SameFolder(const FolderIdentity& a, const FolderIdentity& b)
    {
        return a.device == b.device && a.inode == b.inode;
    }

} // namespace

// The state of one Walk call: the task stack and the workers that drain it.
class FolderWalker::Run
{
public:
    Run(FolderWalker& owner, std::size_t rootCount)
        : m_owner(owner)
        , m_rootCount(rootCount)
    {
    }

    // A folder to open (name != empty) below `folder`, or a batch of `folder`'s own entries to
    // settle (name empty).
    struct Task {
        FolderHandlePtr folder;
        std::string name;
        std::shared_ptr<const Ancestor> chain; // ancestry of `folder`
        std::size_t root = 0;
        std::vector<DirEntry> entries;
    };

    void Push(Task task)
    {
        {
            std::lock_guard lock(m_mutex);
            m_tasks.push_back(std::move(task));
        }
        m_wake.notify_one();
    }

    [[nodiscard]] bool QueueFull()
    {
        std::lock_guard lock(m_mutex);
        return m_tasks.size() >= kQueueCap;
    }

    // Runs workers until no task is left; returns the summed totals per root.
    std::vector<std::int64_t> Execute(int threads)
    {
        std::vector<std::vector<std::int64_t>> perWorker(
            static_cast<std::size_t>(threads), std::vector<std::int64_t>(m_rootCount, 0));
        std::vector<std::thread> helpers;
        helpers.reserve(static_cast<std::size_t>(threads - 1));
        for (int i = 1; i < threads; ++i)
            helpers.emplace_back([this, &perWorker, i] { Work(perWorker[static_cast<std::size_t>(i)]); });
        Work(perWorker[0]);
        for (auto& helper : helpers)
            helper.join();
        if (m_error)
            std::rethrow_exception(m_error);

        std::vector<std::int64_t> totals(m_rootCount, 0);
        for (const auto& worker : perWorker)
            for (std::size_t i = 0; i < m_rootCount; ++i)
                totals[i] += worker[i];
        return totals;
    }

private:
    [[nodiscard]] bool Cancelled() const { return m_owner.m_cancel.load(std::memory_order_relaxed); }

    void Work(std::vector<std::int64_t>& totals)
    {
        try {
            Task task;
            while (Take(task)) {
                if (!Cancelled())
                    Perform(task, totals);
                task = Task {}; // release the parent handle before waiting for more work
                Finish();
            }
        } catch (...) {
            std::lock_guard lock(m_mutex);
            if (!m_error)
                m_error = std::current_exception();
            m_failed = true;
            m_wake.notify_all();
        }
    }

    bool Take(Task& task)
    {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return !m_tasks.empty() || m_busy == 0 || m_failed; });
        if (m_tasks.empty() || m_failed)
            return false;
        task = std::move(m_tasks.back());
        m_tasks.pop_back();
        ++m_busy;
        return true;
    }

    void Finish()
    {
        std::lock_guard lock(m_mutex);
        if (--m_busy == 0 && m_tasks.empty())
            m_wake.notify_all();
    }

    void Perform(Task& task, std::vector<std::int64_t>& totals)
    {
        if (task.name.empty()) {
            Settle(*task.folder, task.entries, task.folder, task.chain, task.root, totals);
            return;
        }
        int error = 0;
        FolderHandlePtr folder = m_owner.m_fileSystem.OpenChild(*task.folder, task.name, &error);
        task.folder.reset(); // the parent may close once its last waiting child is open
        if (!folder) {
            // Unreadable, gone or a pseudo file system: counts 0. A pseudo file system is left
            // alone on purpose (no error); the others are worth telling.
            if (error != 0)
                m_owner.m_counters.unread.Note(m_owner.PathOf(task.chain.get(), task.name), error);
            return;
        }
        const FolderIdentity identity = folder->Identity();
        if (identity.isMountRoot && ShowsAncestor(identity, task.chain))
            return;
        auto chain
            = std::make_shared<const Ancestor>(Ancestor { identity, std::move(task.chain), std::move(task.name) });
        m_owner.m_counters.folders.fetch_add(1, std::memory_order_relaxed);
        m_owner.m_counters.lastRootEntered.store(static_cast<int>(task.root), std::memory_order_relaxed);
        ReadFolder(folder, chain, task.root, totals);
    }

    static bool ShowsAncestor(const FolderIdentity& identity, const std::shared_ptr<const Ancestor>& chain)
    {
        for (const Ancestor* link = chain.get(); link; link = link->parent.get()) {
            if (SameFolder(link->identity, identity))
                return true;
        }
        return false;
    }

    // Reads a folder buffer by buffer. The first buffer is settled here; later ones are handed
    // out so that one huge folder keeps every worker busy.
    void ReadFolder(const FolderHandlePtr& folder, const std::shared_ptr<const Ancestor>& chain, std::size_t root,
        std::vector<std::int64_t>& totals)
    {
        std::vector<DirEntry> entries;
        bool first = true;
        int error = 0;
        while (!Cancelled() && m_owner.m_fileSystem.ReadBatch(*folder, entries, &error)) {
            if (first || QueueFull()) {
                Settle(*folder, entries, folder, chain, root, totals);
                entries.clear();
                first = false;
                continue;
            }
            Push(Task { folder, {}, chain, root, std::move(entries) });
            entries = {};
        }
        if (error != 0)
            m_owner.m_counters.unread.Note(m_owner.PathOf(chain.get(), {}), error);
    }

    // Sizes the entries of one folder and queues its subfolders.
    void Settle(FolderHandle& folder, std::vector<DirEntry>& entries, const FolderHandlePtr& folderPtr,
        const std::shared_ptr<const Ancestor>& chain, std::size_t root, std::vector<std::int64_t>& totals)
    {
        std::int64_t sum = 0;
        for (DirEntry& entry : entries) {
            if (entry.kind == EntryKind::ekFile || entry.kind == EntryKind::ekLink
                || entry.kind == EntryKind::ekUnknown) {
                if (!m_owner.m_fileSystem.StatEntry(folder, entry))
                    continue; // vanished since the listing
            }
            if (entry.kind == EntryKind::ekFolder) {
                if (chain) // null for the scanned folder's own entries: those are never descended
                    Push(Task { folderPtr, std::move(entry.name), chain, root, {} });
                continue;
            }
            sum += ContributedBytes(entry);
        }
        totals[root] += sum;
        m_owner.m_counters.bytes.fetch_add(sum, std::memory_order_relaxed);
    }

    FolderWalker& m_owner;
    const std::size_t m_rootCount;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Task> m_tasks; // last in, first out: the walk stays depth-first and handles few
    int m_busy = 0;
    bool m_failed = false;
    std::exception_ptr m_error;
};

FolderWalker::FolderWalker(FileSystem& fileSystem, const std::atomic<bool>& cancel, WalkCounters& counters)
    : m_fileSystem(fileSystem)
    , m_cancel(cancel)
    , m_counters(counters)
    , m_threads(static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, 8U)))
{
}

void FolderWalker::SetAncestry(FolderHandle& top, std::string topPath)
{
    m_topPath = m_fileSystem.Style().IncludeTrailingSeparator(topPath);
    // Built from the top down so that each link points at its parent.
    std::vector<FolderIdentity> upward { top.Identity() };
    FolderHandlePtr current = m_fileSystem.OpenParent(top);
    while (current && static_cast<int>(upward.size()) < kMaxAncestors) {
        upward.push_back(current->Identity());
        current = m_fileSystem.OpenParent(*current);
    }
    std::shared_ptr<const Ancestor> chain;
    for (auto it = upward.rbegin(); it != upward.rend(); ++it)
        chain = std::make_shared<const Ancestor>(Ancestor { *it, std::move(chain), {} });
    m_ancestry = std::move(chain);
}

bool FolderWalker::Walk(const FolderHandlePtr& parent, const std::vector<FolderRoot>& folders,
    std::vector<DirEntry> ownEntries, std::vector<std::int64_t>& totals)
{
    if (!m_ancestry)
        throw std::logic_error("FolderWalker::Walk: SetAncestry must come first");
    const std::size_t ownRoot = folders.size();
    Run run(*this, folders.size() + 1);

    // Own entries first, folders last: the stack is last-in-first-out, so the subfolders are
    // walked in listing order and the cheap own entries fill the gaps at the end.
    for (std::size_t start = 0; start < ownEntries.size(); start += kOwnChunk) {
        const std::size_t end = std::min(ownEntries.size(), start + kOwnChunk);
        std::vector<DirEntry> chunk(std::make_move_iterator(ownEntries.begin() + static_cast<std::ptrdiff_t>(start)),
            std::make_move_iterator(ownEntries.begin() + static_cast<std::ptrdiff_t>(end)));
        run.Push(Run::Task { parent, {}, nullptr, ownRoot, std::move(chunk) });
    }
    for (std::size_t i = folders.size(); i-- > 0;)
        run.Push(Run::Task { parent, folders[i].name, m_ancestry, i, {} });

    totals = run.Execute(m_threads);
    return !m_cancel.load();
}

std::string FolderWalker::PathOf(const Ancestor* folder, const std::string& childName) const
{
    std::vector<const std::string*> names;
    for (const Ancestor* link = folder; link != nullptr && !link->name.empty(); link = link->parent.get())
        names.push_back(&link->name);
    std::string path = m_topPath;
    const char separator = m_fileSystem.Style().Separator();
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        path += **it + separator;
    if (childName.empty() && !path.empty() && path != m_topPath)
        path.pop_back(); // the folder itself, without a trailing separator
    return childName.empty() ? path : path + childName;
}

void UnreadLog::Note(std::string path, int error)
{
    const std::lock_guard lock(m_mutex);
    ++m_count;
    if (m_kept.size() < kKept)
        m_kept.push_back({ std::move(path), error });
}

void UnreadLog::Clear()
{
    const std::lock_guard lock(m_mutex);
    m_count = 0;
    m_kept.clear();
}

std::size_t UnreadLog::Count() const
{
    const std::lock_guard lock(m_mutex);
    return m_count;
}

std::vector<UnreadFolder> UnreadLog::Kept() const
{
    std::vector<UnreadFolder> kept;
    {
        const std::lock_guard lock(m_mutex);
        kept = m_kept;
    }
    std::sort(kept.begin(), kept.end(), [](const UnreadFolder& a, const UnreadFolder& b) { return a.path < b.path; });
    return kept;
}

std::int64_t FolderWalker::ContributedBytes(const DirEntry& entry)
{
    switch (entry.kind) {
    case EntryKind::ekFile:
        // Each name of a file with n names counts size / n, rounded down: a folder holding every
        // name counts the file once (short by less than n bytes), the share of a name depends on
        // nothing but the file, and no set of files seen is needed.
        return entry.linkCount > 1
            ? static_cast<std::int64_t>(static_cast<std::uint64_t>(entry.sizeBytes) / entry.linkCount)
            : entry.sizeBytes;
    case EntryKind::ekLink:
        return entry.sizeBytes;
    case EntryKind::ekFolder:
    case EntryKind::ekOther:
    case EntryKind::ekUnknown:
        return 0;
    }
    return 0;
}

} // namespace tarvo
