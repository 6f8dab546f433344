#include "DirSize.h"

#include "FolderWalker.h"
#include "KeptTotals.h"
#include "KeptTreeBuilder.h"

#include <cmath>
#include <unordered_map>

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
    std::vector<TByteCount> bytes;
    std::size_t folderCount = 0; // the first entries that are subfolders
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
    m_counters.Reset();
    {
        std::lock_guard lock(m_progressMutex);
        m_progressPaths.clear();
    }
    Result result;
    const std::string prefix = m_fileSystem.Style().IncludeTrailingSeparator(Folder);
    // One pass: the subfolders are named as the listing streams by, so that the folder's own
    // entries, however many, are never held.
    const auto rootFound = [this, &prefix, &result](std::size_t, const std::string& name) {
        std::string path = prefix + name;
        {
            std::lock_guard lock(m_progressMutex);
            m_progressPaths.push_back(path);
        }
        result.paths.push_back(std::move(path));
    };
    FolderWalker::Result walked;
    std::unique_ptr<TKeptTreeBuilder> recorder;
    if (m_kept)
        recorder = std::make_unique<TKeptTreeBuilder>(m_fileSystem.Style(), prefix, m_kept->CapBytes());
    if (!WalkFolder(prefix, stop, true, rootFound, walked, &recorder))
        return false;
    result.folderCount = result.paths.size();
    for (const TByteCount& bytes : walked.rootTotals)
        AppendSize(result, bytes);
    AppendPseudoEntries(result, prefix, walked.own);
    if (recorder)
        m_kept->Keep(recorder->Finish());
    UnreadCount = m_counters.unread.Count();
    UnreadFolders = m_counters.unread.Kept();
    Publish(result);
    return true;
}

// Cleared in this order and refilled only once the whole scan has succeeded.
void TDirSize::Publish(Result& result)
{
    MBList = std::move(result.mbs);
    KBList = std::move(result.kbs);
    SubfolderCount = result.folderCount;
    PathList = std::move(result.paths);
    ByteList = std::move(result.bytes);
}

bool TDirSize::CalculateFromKept(bool* stale)
{
    TKeptListing listing;
    if (!m_kept || !m_kept->Lookup(Folder, listing))
        return false;
    const PathStyle& style = m_fileSystem.Style();
    // Spelt from Folder, as a fresh scan spells its entries.
    const std::string prefix = style.IncludeTrailingSeparator(Folder);
    Result result;
    for (std::size_t i = 0; i < listing.subfolderNames.size(); ++i) {
        result.paths.push_back(prefix + listing.subfolderNames[i]);
        AppendSize(result, listing.subfolderBytes[i]);
    }
    result.folderCount = result.paths.size();
    AppendPseudoEntries(result, prefix, listing.ownBytes);
    UnreadCount = listing.unreadCount;
    UnreadFolders = std::move(listing.unreadFolders);
    if (stale)
        *stale = listing.stale;
    Publish(result);
    return true;
}

void TDirSize::Cancel() { m_cancel.store(true); }

ScanProgress TDirSize::Progress() const
{
    ScanProgress progress;
    progress.folders = m_counters.folders.load(std::memory_order_relaxed);
    progress.bytes = static_cast<std::int64_t>(m_counters.bytes.load(std::memory_order_relaxed));
    const int entry = m_counters.lastRootEntered.load(std::memory_order_relaxed);
    std::lock_guard lock(m_progressMutex);
    if (entry >= 0 && static_cast<std::size_t>(entry) < m_progressPaths.size())
        progress.currentPath = m_progressPaths[static_cast<std::size_t>(entry)];
    return progress;
}

bool TDirSize::WalkFolder(const std::string& prefix, const std::atomic<bool>& stop, bool descend,
    const FolderWalker::RootFound& rootFound, FolderWalker::Result& walked, std::unique_ptr<TKeptTreeBuilder>* recorder)
{
    int error = 0;
    const FolderHandlePtr handle = m_fileSystem.OpenFolder(prefix, &error);
    if (!handle) {
        if (error != 0)
            m_counters.unread.Note(m_fileSystem.Style().ExcludeTrailingSeparator(prefix), error);
        walked = {};
        if (recorder)
            recorder->reset(); // nothing was walked: nothing to keep
        return true;
    }
    FolderWalker walker(m_fileSystem, stop, m_counters);
    walker.SetDescend(descend);
    walker.SetAncestry(*handle, prefix);
    walker.SetRecorder(recorder ? recorder->get() : nullptr);
    return walker.Walk(handle, walked, rootFound);
}

void TDirSize::ListDirs(const std::string& path)
{
    const std::string prefix = m_fileSystem.Style().IncludeTrailingSeparator(path);
    if (const FolderHandlePtr handle = m_fileSystem.OpenFolder(prefix)) {
        std::vector<DirEntry> batch;
        while (m_fileSystem.ReadBatch(*handle, batch)) {
            for (DirEntry& entry : batch) {
                int error = 0;
                if (entry.kind == EntryKind::ekUnknown && !FolderWalker::Examine(m_fileSystem, *handle, entry, error))
                    continue;
                if (entry.kind == EntryKind::ekFolder)
                    PathList.push_back(prefix + entry.name);
            }
            batch.clear();
        }
    }
    PathList.push_back(prefix + kAllFilesEntry);
    if (HasFreeSpaceEntry(prefix))
        PathList.push_back(prefix + kFreeSpaceEntry);
}

bool TDirSize::HasFreeSpaceEntry(const std::string& normalisedPath)
{
    return IncludeFreeSpace && m_fileSystem.IsVolumeRoot(normalisedPath);
}

void TDirSize::CalcSizes(const std::vector<std::string>& entries, const std::string& path)
{
    const PathStyle& style = m_fileSystem.Style();
    const std::string prefix = style.IncludeTrailingSeparator(path);
    m_cancel.store(false);
    m_counters.Reset();
    std::vector<std::string> names;
    FolderWalker::Result walked;
    if (!WalkFolder(
            prefix, m_cancel, true, [&names](std::size_t, const std::string& name) { names.push_back(name); }, walked))
        return;
    // The entries come from an earlier listing: each is matched to this walk's subfolders by name.
    std::unordered_map<std::string, TByteCount> totals;
    for (std::size_t i = 0; i < names.size(); ++i)
        totals.emplace(std::move(names[i]), walked.rootTotals[i]);
    const std::size_t pseudoCount = HasFreeSpaceEntry(prefix) ? 2 : 1;
    const std::size_t folderCount = entries.size() >= pseudoCount ? entries.size() - pseudoCount : 0;
    Result result;
    for (std::size_t i = 0; i < folderCount; ++i) {
        const std::string& entry = entries[i];
        const bool underPrefix = entry.compare(0, prefix.size(), prefix) == 0;
        const auto found = totals.find(underPrefix ? entry.substr(prefix.size()) : style.FileName(entry));
        AppendSize(result, found == totals.end() ? TByteCount {} : found->second);
    }
    AppendPseudoEntries(result, prefix, walked.own);
    for (std::size_t i = 0; i < result.mbs.size(); ++i) {
        MBList.push_back(std::move(result.mbs[i]));
        KBList.push_back(std::move(result.kbs[i]));
        ByteList.push_back(result.bytes[i]);
    }
}

TByteCount TDirSize::GetDirSize(const std::string& path, bool recursive)
{
    FolderHandlePtr folder = m_fileSystem.OpenFolder(m_fileSystem.Style().IncludeTrailingSeparator(path));
    if (!folder)
        return {};
    std::atomic<bool> neverCancelled { false };
    WalkCounters counters;
    FolderWalker walker(m_fileSystem, neverCancelled, counters);
    walker.SetDescend(recursive);
    walker.SetAncestry(*folder, path);
    FolderWalker::Result walked;
    walker.Walk(folder, walked);
    TByteCount sum = walked.own;
    for (const TByteCount& bytes : walked.rootTotals)
        sum += bytes;
    return sum;
}

void TDirSize::AppendSize(Result& result, TByteCount bytes) const
{
    result.mbs.push_back(SizeText(bytes, 2, m_settings));
    result.kbs.push_back(SizeText(bytes, 1, m_settings));
    result.bytes.push_back(bytes);
}

void TDirSize::AppendPseudoEntries(Result& result, const std::string& prefix, TByteCount own)
{
    result.paths.push_back(prefix + kAllFilesEntry);
    AppendSize(result, own);
    if (HasFreeSpaceEntry(prefix)) {
        result.paths.push_back(prefix + kFreeSpaceEntry);
        const std::int64_t freeBytes = m_fileSystem.FreeBytes(prefix);
        AppendSize(result, static_cast<std::uint64_t>(freeBytes < 0 ? 0 : freeBytes));
    }
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
