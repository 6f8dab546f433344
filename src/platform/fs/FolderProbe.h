#pragma once

#include "FileSystem.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
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
// or a hung FUSE file system, blocks stat and statvfs for minutes. Each question runs on a
// helper thread of its own and the caller waits at most Limit() for it.
//
// A volume that did not answer keeps its helper waiting inside the file system; further
// questions about that volume get paNoAnswer at once instead of another stuck thread, until the
// helper comes back. This holds across every FolderProbe of the same file system in the process.
// Helpers are detached and never joined, not even at exit: joining would hang the program on the
// very volume that hangs. The file system must therefore outlive its helpers (the host's lives
// as long as the process; a test waits until PendingProbes() is 0 before destroying its double).
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

    // Helpers of this file system that are still inside it.
    [[nodiscard]] std::size_t PendingProbes() const;
    [[nodiscard]] std::chrono::milliseconds Limit() const { return m_limit; }

private:
    FileSystem& m_fileSystem;
    std::chrono::milliseconds m_limit;
};

} // namespace tarvo
