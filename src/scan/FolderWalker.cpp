#include "FolderWalker.h"

#include "KeptTreeBuilder.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace tarvo
{

namespace
{

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

    bool NeedsStat(EntryKind kind) { return kind == EntryKind::ekFile || kind == EntryKind::ekLink; }

} // namespace

// The state of one Walk call: the task stack and the workers that drain it.
class FolderWalker::Run
{
public:
    // The root index of the walked folder's own entries.
    static constexpr std::size_t kTop = std::numeric_limits<std::size_t>::max();

    // Open the subfolder `name` of `folder` (tkOpen), or read on in `folder` (tkRead), first
    // settling `entries`, a buffer of it already read.
    enum class TaskKind : std::uint8_t { tkOpen, tkRead };
    struct Task {
        TaskKind kind = TaskKind::tkOpen;
        FolderHandlePtr folder;
        std::string name;
        std::shared_ptr<const Ancestor> chain; // tkOpen: the parent's ancestry; tkRead: the folder's own
        std::size_t root = kTop;
        std::vector<DirEntry> entries;
        std::uint32_t subfoldersSeen = 0; // tkRead: subfolders of the folder listed so far
        // The kept record of `folder` (kNone when nothing is kept); tkOpen: which subfolder of
        // it this is, in its listing.
        std::uint32_t node = TKeptTreeBuilder::kNone;
        std::uint32_t ordinal = 0;
    };

    Run(FolderWalker& owner, const RootFound& rootFound)
        : m_owner(owner)
        , m_rootFound(rootFound)
    {
    }

    void Push(Task task)
    {
        {
            std::lock_guard lock(m_mutex);
            m_tasks.push_back(std::move(task));
        }
        m_wake.notify_one();
    }

    void PushAll(std::vector<Task>& tasks)
    {
        if (tasks.empty())
            return;
        {
            std::lock_guard lock(m_mutex);
            // Reversed, so that the stack hands them out in listing order.
            for (auto it = tasks.rbegin(); it != tasks.rend(); ++it)
                m_tasks.push_back(std::move(*it));
        }
        tasks.clear();
        m_wake.notify_all();
    }

    // Runs workers until no task is left and adds up what each counted.
    void Execute(int threads, Result& result)
    {
        std::vector<Totals> perWorker(static_cast<std::size_t>(threads));
        std::vector<std::thread> helpers;
        helpers.reserve(static_cast<std::size_t>(threads - 1));
        for (int i = 1; i < threads; ++i)
            helpers.emplace_back([this, &perWorker, i] { Work(perWorker[static_cast<std::size_t>(i)]); });
        Work(perWorker[0]);
        for (auto& helper : helpers)
            helper.join();
        if (m_error)
            std::rethrow_exception(m_error);

        result.rootTotals.assign(m_topFolders, TByteCount {});
        result.own = {};
        for (const Totals& worker : perWorker) {
            for (std::size_t i = 0; i < worker.roots.size() && i < m_topFolders; ++i)
                result.rootTotals[i] += worker.roots[i];
            result.own += worker.own;
        }
    }

private:
    // What one worker counted: per root, and for the walked folder's own entries. Kept apart
    // per worker so that no atomic sits on the hot path.
    struct Totals {
        std::vector<TByteCount> roots;
        TByteCount own;

        void Add(std::size_t root, TByteCount bytes)
        {
            if (root == kTop) {
                own += bytes;
                return;
            }
            if (root >= roots.size())
                roots.resize(root + 1);
            roots[root] += bytes;
        }
    };

    [[nodiscard]] bool Cancelled() const { return m_owner.m_cancel.load(std::memory_order_relaxed); }
    [[nodiscard]] FileSystem& Files() const { return m_owner.m_fileSystem; }

    // One worker: takes tasks until the walk is over. The first exception ends the walk for
    // every worker and is thrown again by Execute.
    void Work(Totals& totals)
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

    // The next task, waiting while another worker may still make some; false when none is left
    // and no worker is busy, or the walk failed.
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

    // A task is done: when it was the last one, the workers waiting for more may end.
    void Finish()
    {
        std::lock_guard lock(m_mutex);
        if (--m_busy == 0 && m_tasks.empty())
            m_wake.notify_all();
    }

    // One step of the walk: read on in a folder, or enter a subfolder.
    void Perform(Task& task, Totals& totals)
    {
        if (task.kind == TaskKind::tkRead)
            ReadOn(task, totals);
        else
            Enter(task, totals);
    }

    // Opens a subfolder and reads its first buffer. One that cannot be opened counts 0, and one
    // whose mount root shows a folder above it (a bind mount of an ancestor) is not entered.
    void Enter(Task& task, Totals& totals)
    {
        const std::uint32_t node
            = m_owner.m_recorder ? m_owner.m_recorder->AddFolder(task.node, task.ordinal, task.name) : task.node;
        int error = 0;
        FolderHandlePtr folder = Files().OpenChild(*task.folder, task.name, &error);
        task.folder.reset(); // the parent may close once its last waiting child is open
        if (!folder) {
            // Unreadable, gone or a pseudo file system: counts 0. A pseudo file system is left
            // alone on purpose (no error); the others are worth telling.
            if (error != 0) {
                m_owner.m_counters.unread.Note(m_owner.PathOf(task.chain.get(), task.name), error);
                if (m_owner.m_recorder)
                    m_owner.m_recorder->MarkUnread(node, error, {}); // kept with the folder itself
            }
            return;
        }
        const FolderIdentity identity = folder->Identity();
        if (identity.isMountRoot && ShowsAncestor(identity, task.chain))
            return;
        auto chain
            = std::make_shared<const Ancestor>(Ancestor { identity, std::move(task.chain), std::move(task.name) });
        m_owner.m_counters.folders.fetch_add(1, std::memory_order_relaxed);
        m_owner.m_counters.lastRootEntered.store(static_cast<int>(task.root), std::memory_order_relaxed);
        Task read { TaskKind::tkRead, std::move(folder), {}, std::move(chain), task.root, {}, 0, node, 0 };
        ReadOn(read, totals);
    }

    static bool ShowsAncestor(const FolderIdentity& identity, const std::shared_ptr<const Ancestor>& chain)
    {
        for (const Ancestor* link = chain.get(); link; link = link->parent.get()) {
            if (SameFolder(link->identity, identity))
                return true;
        }
        return false;
    }

    // Settles one buffer of a folder. The next buffer is read first and handed on with the rest
    // of the folder, so another worker can go on while this one examines its entries.
    void ReadOn(Task& task, Totals& totals)
    {
        std::vector<DirEntry> current = std::move(task.entries);
        if (current.empty() && !ReadNext(task, current))
            return;
        const std::uint32_t firstSubfolder = task.subfoldersSeen;
        const TByteCount examined = Prepare(task, current);
        std::vector<DirEntry> next;
        if (!Cancelled() && ReadNext(task, next))
            Push(Task { TaskKind::tkRead, task.folder, {}, task.chain, task.root, std::move(next), task.subfoldersSeen,
                task.node, 0 });
        Settle(task, current, firstSubfolder, examined, totals);
    }

    bool ReadNext(const Task& task, std::vector<DirEntry>& out)
    {
        int error = 0;
        if (Files().ReadBatch(*task.folder, out, &error))
            return true;
        if (error != 0)
            NoteUnread(task.chain.get(), {}, task.node, error);
        return false;
    }

    // Something could not be read: told to the user, and kept with the folder it is in (or is).
    void NoteUnread(const Ancestor* chain, const std::string& name, std::uint32_t node, int error)
    {
        m_owner.m_counters.unread.Note(m_owner.PathOf(chain, name), error);
        if (m_owner.m_recorder)
            m_owner.m_recorder->MarkUnread(node, error, name);
    }

    // What must be settled in listing order before the folder is handed on: the kinds the
    // listing did not give, and the numbers of the subfolders (the walked folder's roots).
    // Entries examined here count now (returned) and are left as ekOther for Settle.
    TByteCount Prepare(Task& task, std::vector<DirEntry>& entries)
    {
        TByteCount examined;
        for (DirEntry& entry : entries) {
            if (entry.kind == EntryKind::ekUnknown) {
                int error = 0;
                if (!Examine(Files(), *task.folder, entry, error)) {
                    entry.kind = EntryKind::ekOther; // vanished since the listing
                } else if (error != 0) {
                    NoteUnread(task.chain.get(), entry.name, task.node, error);
                    entry.kind = EntryKind::ekOther;
                } else if (entry.kind != EntryKind::ekFolder) {
                    examined += ContributedBytes(entry);
                    entry.kind = EntryKind::ekOther;
                }
            }
            if (entry.kind != EntryKind::ekFolder)
                continue;
            if (task.root == kTop) {
                if (m_rootFound)
                    m_rootFound(m_topFolders, entry.name);
                ++m_topFolders;
            }
            ++task.subfoldersSeen;
        }
        return examined;
    }

    // Sizes the entries of one buffer of a folder and queues its subfolders.
    void Settle(
        const Task& task, std::vector<DirEntry>& entries, std::uint32_t subfolder, TByteCount sum, Totals& totals)
    {
        std::vector<Task> opens;
        for (DirEntry& entry : entries) {
            if (entry.kind == EntryKind::ekFolder) {
                const std::size_t root = task.root == kTop ? subfolder : task.root;
                if (m_owner.m_descend)
                    opens.push_back(Task { TaskKind::tkOpen, task.folder, std::move(entry.name), task.chain, root, {},
                        0, task.node, subfolder });
                ++subfolder;
                continue;
            }
            if (NeedsStat(entry.kind)) {
                int error = 0;
                if (!Files().StatEntry(*task.folder, entry, &error)) {
                    if (error != 0 && error != ENOENT) // ENOENT: vanished since the listing
                        NoteUnread(task.chain.get(), entry.name, task.node, error);
                    continue;
                }
            }
            sum += ContributedBytes(entry);
        }
        PushAll(opens);
        totals.Add(task.root, sum);
        if (m_owner.m_recorder)
            m_owner.m_recorder->AddOwn(task.node, sum);
        m_owner.m_counters.AddBytes(static_cast<std::uint64_t>(sum.ToInt64Saturated()));
    }

    FolderWalker& m_owner;
    const RootFound& m_rootFound;
    std::size_t m_topFolders = 0; // subfolders of the walked folder so far; its readers take turns
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

bool FolderWalker::Walk(const FolderHandlePtr& top, Result& result, const RootFound& rootFound)
{
    if (!m_ancestry)
        throw std::logic_error("FolderWalker::Walk: SetAncestry must come first");
    Run run(*this, rootFound);
    const std::uint32_t topNode = m_recorder ? 0 : TKeptTreeBuilder::kNone;
    run.Push(Run::Task { Run::TaskKind::tkRead, top, {}, m_ancestry, Run::kTop, {}, 0, topNode, 0 });
    run.Execute(m_threads, result);
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
    // The folder itself is named without its trailing separator ("/" and "C:\" stay whole).
    return childName.empty() ? m_fileSystem.Style().ExcludeTrailingSeparator(path) : path + childName;
}

void WalkCounters::Reset()
{
    folders.store(0);
    bytes.store(0);
    lastRootEntered.store(-1);
    unread.Clear();
}

void WalkCounters::AddBytes(std::uint64_t add)
{
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    std::uint64_t current = bytes.load(std::memory_order_relaxed);
    std::uint64_t next = 0;
    do
        next = add >= kMax - std::min(current, kMax) ? kMax : current + add;
    while (!bytes.compare_exchange_weak(current, next, std::memory_order_relaxed));
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

std::uint64_t FolderWalker::ContributedBytes(const DirEntry& entry)
{
    switch (entry.kind) {
    case EntryKind::ekFile: {
        // Each name of a file with n names counts size / n, rounded down: a folder holding every
        // name counts the file once (short by less than n bytes), the share of a name depends on
        // nothing but the file, and no set of files seen is needed.
        const auto size = static_cast<std::uint64_t>(std::max<std::int64_t>(entry.sizeBytes, 0));
        return entry.linkCount > 1 ? size / entry.linkCount : size;
    }
    case EntryKind::ekLink:
        return static_cast<std::uint64_t>(std::max<std::int64_t>(entry.sizeBytes, 0));
    case EntryKind::ekFolder:
    case EntryKind::ekOther:
    case EntryKind::ekUnknown:
        return 0;
    }
    return 0;
}

bool FolderWalker::Examine(FileSystem& fileSystem, FolderHandle& folder, DirEntry& entry, int& error)
{
    error = 0;
    if (entry.kind == EntryKind::ekFolder || entry.kind == EntryKind::ekOther)
        return true;
    const EntryKind listed = entry.kind;
    int statError = 0;
    if (fileSystem.StatEntry(folder, entry, &statError))
        return true;
    if (statError == 0 || statError == ENOENT)
        return false;
    entry.sizeBytes = 0;
    if (listed == EntryKind::ekUnknown) {
        int openError = 0;
        const FolderHandlePtr opened = fileSystem.OpenChild(folder, entry.name, &openError);
        if (openError == ENOENT)
            return false;
        if (opened || (openError != ENOTDIR && openError != ELOOP)) {
            entry.kind = EntryKind::ekFolder; // opening it (again) tells whether it can be read
            return true;
        }
    }
    error = statError;
    return true;
}

} // namespace tarvo
