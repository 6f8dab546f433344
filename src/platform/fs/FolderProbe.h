#pragma once

#include "FileSystem.h"
#include "VolumeCalls.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvo
{

enum class ProbeAnswer : std::uint8_t {
    paFolder, // the path names an existing folder
    paNoFolder, // it does not
    paNoAnswer, // its volume did not answer in time (or still has an earlier probe pending)
};
using enum ProbeAnswer;

// Asks a file system things that may never return: a hard-mounted share whose server is gone,
// or a hung FUSE file system, blocks stat and statvfs for minutes. Each question runs on its
// volume's worker (VolumeCalls) and the caller waits at most Limit() for it.
//
// The probes of one file system share one set of workers for as long as any of them lives, so
// the workers' rule holds across them: a volume that did not answer keeps its call waiting
// inside the file system, and further questions about that volume, from this probe or another
// (the window's and the about box's), get paNoAnswer at once instead of another stuck call,
// until the call comes back. Workers are detached and never joined, not even at exit: joining
// would hang the program on the very volume that hangs. The file system must therefore outlive
// the calls inside it (the host's lives as long as the process; a test's double waits for them
// before it goes).
class FolderProbe
{
public:
    static constexpr std::chrono::milliseconds kDefaultLimit { 2000 };

    explicit FolderProbe(FileSystem& fileSystem, std::chrono::milliseconds limit = kDefaultLimit);

    [[nodiscard]] ProbeAnswer IsFolder(const std::string& path);
    // Free bytes available to the user on the volume with this root: -1 when the file system
    // cannot tell, nullopt when it did not answer.
    [[nodiscard]] std::optional<std::int64_t> FreeBytes(const std::string& volumeRoot);
    // The same for several volumes at once: all are asked in parallel and the wait is Limit() in
    // all, not per volume. One answer per root, in the given order.
    [[nodiscard]] std::vector<std::optional<std::int64_t>> FreeBytesOfEach(const std::vector<std::string>& volumeRoots);

    [[nodiscard]] std::chrono::milliseconds Limit() const { return m_limit; }

private:
    FileSystem& m_fileSystem;
    std::chrono::milliseconds m_limit;
    std::shared_ptr<VolumeCalls> m_calls; // shared by every probe of m_fileSystem
};

} // namespace tarvo
