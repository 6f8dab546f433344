#pragma once

#include "ByteCount.h"
#include "FileSystem.h"
#include "FolderWalker.h"
#include "FormatSettings.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tarvo
{

class TKeptTotals;
class TKeptTreeBuilder;

// What a running scan has done so far; safe to read from any thread.
struct ScanProgress {
    std::uint64_t folders = 0; // folders read so far
    std::int64_t bytes = 0; // bytes counted so far (stops at the largest int64)
    std::string currentPath; // the subfolder entry most recently entered (empty before the walk)
};

// Measures one folder: one entry per immediate subfolder with the total size below it, one
// entry for the folder's own files and, for a volume root on request, one for its free space.
// Results are three parallel text lists (paths, MB, KB) plus the exact byte counts; the texts
// come from the exact counts (SizeText), so they are exact too.
//
// Sizes are apparent sizes: a file counts st_size, and a file with n > 1 names (hard links)
// counts st_size / n (rounded down) at each name, so a folder holding all its names counts it
// once and every folder's total is the same whatever folder is analysed; folders count 0,
// symbolic links count their own size and are never followed, FIFOs/sockets/devices count 0.
// Only "." and ".." are skipped.
class TDirSize
{
public:
    explicit TDirSize(FileSystem& fileSystem, FormatSettings settings = FormatSettings::FromUserLocale());
    ~TDirSize();
    TDirSize(const TDirSize&) = delete;
    TDirSize& operator=(const TDirSize&) = delete;

    std::string Folder; // set before each scan; with or without a trailing separator
    std::vector<std::string> PathList;
    std::vector<std::string> MBList;
    std::vector<std::string> KBList;
    std::vector<TByteCount> ByteList; // exact bytes of each entry (free space: 0 when unknown)
    // How many entries of PathList, from the first, are subfolders; the rest are the
    // pseudo-entries (a subfolder's name may begin with "<" too).
    std::size_t SubfolderCount = 0;
    // Folders (Folder itself included) that could not be opened or listed, and entries that
    // could not be examined, each counted as holding nothing: how many, and the first
    // UnreadLog::kKept of them by path.
    std::size_t UnreadCount = 0;
    std::vector<UnreadFolder> UnreadFolders;
    bool IncludeFreeSpace = false;

    // Scans Folder and replaces the four lists. Blocks the caller; the subfolder trees are
    // walked on a few worker threads. Returns false, with the lists untouched, when Cancel()
    // stopped it.
    bool Calculate();
    // The same, stopped soon after `stop` becomes true (from any thread, even before the scan
    // starts): for a caller that owns the wish to cancel, so that it can never be lost.
    bool Calculate(const std::atomic<bool>& stop);
    // Keeping: with a store set, every Calculate() that succeeds hands it the totals of every
    // folder it walked (TKeptTotals says how the window uses them). nullptr, the default, keeps
    // nothing, as tarvo-scan does.
    void SetKeptTotals(TKeptTotals* kept) { m_kept = kept; }
    // Fills the lists for Folder from the kept totals as Calculate() would, reading no folder
    // (only the free-space entry is asked of the file system). False, lists untouched, when
    // Folder is not kept; stale (when given) tells whether it was marked changed since.
    bool CalculateFromKept(bool* stale = nullptr);
    // Asks a running Calculate() (on another thread) to stop soon. A Cancel() before Calculate
    // starts has no effect on it.
    void Cancel();
    [[nodiscard]] ScanProgress Progress() const;

    // Appends the entries of the folder (subfolders in listing order, then the pseudo-entries)
    // to PathList.
    void ListDirs(const std::string& path);
    // Appends the MB/KB texts and byte counts for entries as ListDirs produced them.
    void CalcSizes(const std::vector<std::string>& entries, const std::string& path);
    // Bytes in the folder: its own entries only, or everything below it. 0 when unreadable.
    [[nodiscard]] TByteCount GetDirSize(const std::string& path, bool recursive);

    // unit 1: kilobytes, 2: megabytes; rounded to hundredths, absolute value.
    [[nodiscard]] static double ConvertSize(int unit, double bytes);
    // Integer part plus the fraction rounded to hundredths, ties to even.
    [[nodiscard]] static double RoundTo2(double value);

    static constexpr const char* kAllFilesEntry = "<All files in this folder>";
    static constexpr const char* kFreeSpaceEntry = "<Free Space>";

    [[nodiscard]] const FormatSettings& Settings() const { return m_settings; }

private:
    struct Result;
    // Walks the folder at the normalised path; false when cancelled. Subfolders are named to
    // `rootFound` as the listing reaches them.
    bool WalkFolder(const std::string& prefix, const std::atomic<bool>& stop, bool descend,
        const FolderWalker::RootFound& rootFound, FolderWalker::Result& walked,
        std::unique_ptr<TKeptTreeBuilder>* recorder = nullptr);
    void Publish(Result& result);
    [[nodiscard]] bool HasFreeSpaceEntry(const std::string& normalisedPath);
    void AppendSize(Result& result, TByteCount bytes) const;
    void AppendPseudoEntries(Result& result, const std::string& prefix, TByteCount own);

    FileSystem& m_fileSystem;
    FormatSettings m_settings;
    TKeptTotals* m_kept = nullptr;

    std::atomic<bool> m_cancel { false };
    WalkCounters m_counters;
    mutable std::mutex m_progressMutex; // guards m_progressPaths
    std::vector<std::string> m_progressPaths; // the subfolder entries of the running scan
};

} // namespace tarvo
