#include "DirSize.h"

#include "FolderWalker.h"

#include <cmath>

namespace tarvo
{

namespace
{

    constexpr double kBytesPerKB = 1024.0;

} // namespace

// One scan's output, assembled aside so that a cancelled scan leaves the visible lists alone.
struct TDirSize::Result {
    std::vector<std::string> paths;
    std::vector<std::string> mbs;
    std::vector<std::string> kbs;
    std::vector<std::int64_t> bytes;
    std::size_t folderCount = 0; // the first entries that are subfolders
};

// What listing the scanned folder found: its open handle, its subfolders in listing order and
// its own non-folder entries, still to be sized.
struct TDirSize::Listing {
    std::string normalisedPath;
    FolderHandlePtr handle;
    std::vector<std::string> folderNames;
    std::vector<DirEntry> ownEntries;
};

TDirSize::TDirSize(FileSystem& fileSystem, FormatSettings settings)
    : m_fileSystem(fileSystem)
    , m_settings(std::move(settings))
{
}

TDirSize::~TDirSize() = default;

bool TDirSize::Calculate()
{
    m_cancel.store(false);
    return Calculate(m_cancel);
}

bool TDirSize::Calculate(const std::atomic<bool>& stop)
{
    m_counters.folders.store(0);
    m_counters.bytes.store(0);
    m_counters.lastRootEntered.store(-1);
    m_counters.unread.Clear();

    Result result;
    const std::string path = m_fileSystem.Style().IncludeTrailingSeparator(Folder);
    ListDirs(path, result.paths);
    if (!CalcSizes(result.paths, path, stop, result))
        return false;

    // Cleared in this order and refilled only once the whole scan has succeeded.
    MBList = std::move(result.mbs);
    KBList = std::move(result.kbs);
    SubfolderCount = result.folderCount;
    UnreadCount = m_counters.unread.Count();
    UnreadFolders = m_counters.unread.Kept();
    PathList = std::move(result.paths);
    ByteList = std::move(result.bytes);
    return true;
}

void TDirSize::Cancel() { m_cancel.store(true); }

ScanProgress TDirSize::Progress() const
{
    ScanProgress progress;
    progress.folders = m_counters.folders.load(std::memory_order_relaxed);
    progress.bytes = m_counters.bytes.load(std::memory_order_relaxed);
    const int entry = m_counters.lastRootEntered.load(std::memory_order_relaxed);
    std::lock_guard lock(m_progressMutex);
    if (entry >= 0 && static_cast<std::size_t>(entry) < m_progressPaths.size())
        progress.currentPath = m_progressPaths[static_cast<std::size_t>(entry)];
    return progress;
}

void TDirSize::ListDirs(const std::string& path) { ListDirs(path, PathList); }

void TDirSize::ListDirs(const std::string& path, std::vector<std::string>& paths)
{
    const PathStyle& style = m_fileSystem.Style();
    auto listing = std::make_unique<Listing>();
    listing->normalisedPath = style.IncludeTrailingSeparator(path);
    const std::string& prefix = listing->normalisedPath;

    int error = 0;
    listing->handle = m_fileSystem.OpenFolder(prefix, &error);
    if (listing->handle) {
        std::vector<DirEntry> batch;
        while (m_fileSystem.ReadBatch(*listing->handle, batch, &error)) {
            for (DirEntry& entry : batch) {
                if (entry.kind == EntryKind::ekUnknown && !m_fileSystem.StatEntry(*listing->handle, entry))
                    continue;
                if (entry.kind == EntryKind::ekFolder) {
                    paths.push_back(prefix + entry.name);
                    listing->folderNames.push_back(std::move(entry.name));
                } else {
                    listing->ownEntries.push_back(std::move(entry));
                }
            }
            batch.clear();
        }
    }
    if (error != 0)
        m_counters.unread.Note(style.ExcludeTrailingSeparator(prefix), error);
    paths.push_back(prefix + kAllFilesEntry);
    if (HasFreeSpaceEntry(prefix))
        paths.push_back(prefix + kFreeSpaceEntry);
    m_listing = std::move(listing);
}

bool TDirSize::HasFreeSpaceEntry(const std::string& normalisedPath)
{
    return IncludeFreeSpace && m_fileSystem.IsVolumeRoot(normalisedPath);
}

void TDirSize::CalcSizes(const std::vector<std::string>& entries, const std::string& path)
{
    Result result;
    m_cancel.store(false);
    if (!CalcSizes(entries, path, m_cancel, result))
        return;
    for (std::size_t i = 0; i < result.mbs.size(); ++i) {
        MBList.push_back(std::move(result.mbs[i]));
        KBList.push_back(std::move(result.kbs[i]));
        ByteList.push_back(result.bytes[i]);
    }
}

bool TDirSize::CalcSizes(
    const std::vector<std::string>& entries, const std::string& path, const std::atomic<bool>& stop, Result& result)
{
    const PathStyle& style = m_fileSystem.Style();
    const std::string prefix = style.IncludeTrailingSeparator(path);
    const std::size_t pseudoCount = HasFreeSpaceEntry(prefix) ? 2 : 1;
    const std::size_t folderCount = entries.size() >= pseudoCount ? entries.size() - pseudoCount : 0;
    result.folderCount = folderCount;

    // Reuse the listing ListDirs just made; list again only when called on its own.
    std::unique_ptr<Listing> listing = std::move(m_listing);
    if (!listing || listing->normalisedPath != prefix) {
        std::vector<std::string> ignored;
        ListDirs(prefix, ignored);
        listing = std::move(m_listing);
    }

    std::vector<FolderWalker::FolderRoot> roots;
    roots.reserve(folderCount);
    for (std::size_t i = 0; i < folderCount; ++i) {
        const std::string& entry = entries[i];
        const bool underPrefix = entry.compare(0, prefix.size(), prefix) == 0;
        roots.push_back({ underPrefix ? entry.substr(prefix.size()) : style.FileName(entry) });
    }
    {
        std::lock_guard lock(m_progressMutex);
        m_progressPaths.assign(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(folderCount));
    }

    std::vector<std::int64_t> totals(folderCount + 1, 0);
    if (listing->handle) {
        FolderWalker walker(m_fileSystem, stop, m_counters);
        walker.SetAncestry(*listing->handle, prefix);
        if (!walker.Walk(listing->handle, roots, std::move(listing->ownEntries), totals))
            return false;
    }

    for (std::int64_t bytes : totals)
        AppendSize(result, bytes);
    if (pseudoCount == 2) {
        const std::int64_t freeBytes = m_fileSystem.FreeBytes(prefix);
        AppendSize(result, freeBytes < 0 ? 0 : freeBytes);
    }
    return true;
}

std::int64_t TDirSize::GetDirSize(const std::string& path, bool recursive)
{
    const PathStyle& style = m_fileSystem.Style();
    FolderHandlePtr folder = m_fileSystem.OpenFolder(style.IncludeTrailingSeparator(path));
    if (!folder)
        return 0;

    std::vector<FolderWalker::FolderRoot> roots;
    std::vector<DirEntry> ownEntries;
    std::vector<DirEntry> batch;
    while (m_fileSystem.ReadBatch(*folder, batch)) {
        for (DirEntry& entry : batch) {
            if (entry.kind == EntryKind::ekUnknown && !m_fileSystem.StatEntry(*folder, entry))
                continue;
            if (entry.kind == EntryKind::ekFolder) {
                if (recursive)
                    roots.push_back({ std::move(entry.name) });
            } else {
                ownEntries.push_back(std::move(entry));
            }
        }
        batch.clear();
    }

    std::atomic<bool> neverCancelled { false };
    WalkCounters counters;
    FolderWalker walker(m_fileSystem, neverCancelled, counters);
    walker.SetAncestry(*folder, path);
    std::vector<std::int64_t> totals;
    walker.Walk(folder, roots, std::move(ownEntries), totals);
    std::int64_t sum = 0;
    for (std::int64_t bytes : totals)
        sum += bytes;
    return sum;
}

void TDirSize::AppendSize(Result& result, std::int64_t bytes) const
{
    result.mbs.push_back(FloatToText(ConvertSize(2, static_cast<double>(bytes)), m_settings));
    result.kbs.push_back(FloatToText(ConvertSize(1, static_cast<double>(bytes)), m_settings));
    result.bytes.push_back(bytes);
}

double TDirSize::ConvertSize(int unit, double bytes)
{
    const double value = unit == 2 ? bytes / kBytesPerKB / kBytesPerKB : bytes / kBytesPerKB;
    return std::fabs(RoundTo2(value));
}

double TDirSize::RoundTo2(double value)
{
    const double integerPart = std::trunc(value);
    // nearbyint follows the default rounding mode: to nearest, ties to even.
    return integerPart + std::nearbyint((value - integerPart) * 100.0) / 100.0;
}

} // namespace tarvo
