#pragma once

#include "FileSystem.h"
#include "FolderProbe.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo
{

// The program's own version, four numbers as a file version has them.
struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int release = 0;
    int build = 0;
};

// The running kernel's version: the first three numbers of its release text.
struct KernelVersion {
    int major = 0;
    int minor = 0;
    std::int64_t build = 0;
};

struct MemoryStatus {
    std::uint64_t totalBytes = 0;
    std::uint64_t availableBytes = 0; // what can be had without swapping, reclaimable cache included
};

struct VolumeFreeSpace {
    std::string mountPoint;
    std::optional<std::int64_t> freeBytes; // nullopt: it cannot be read or did not answer in time
};

// Everything the about window reports about the program and the computer, from one place so
// that tests can replace all of it.
class SystemInfo
{
public:
    SystemInfo() = default;
    virtual ~SystemInfo() = default;
    SystemInfo(const SystemInfo&) = delete;
    SystemInfo& operator=(const SystemInfo&) = delete;

    [[nodiscard]] virtual ProgramVersion Version() = 0;
    // The running program's file name without its folder ("tarvo").
    [[nodiscard]] virtual std::string ProgramFileName() = 0;
    [[nodiscard]] virtual std::string OSName() = 0;
    [[nodiscard]] virtual KernelVersion OSVersion() = 0;
    [[nodiscard]] virtual MemoryStatus Memory() = 0;
    // The volumes a user can store files on (RAM-backed ones left out), by mount point in byte
    // order; every one is listed, whether it answers or not.
    [[nodiscard]] virtual std::vector<VolumeFreeSpace> DiskFree() = 0;
};

// Where the host source reads its texts; tests point these elsewhere.
struct HostSystemFiles {
    std::vector<std::string> osRelease = { "/etc/os-release", "/usr/lib/os-release" }; // first readable wins
    std::string meminfo = "/proc/meminfo";
};

// The running machine: os-release, uname, sysinfo and /proc/meminfo, and the free space of the
// file system's volumes asked through a FolderProbe (in parallel, diskLimit in all). The file
// system must outlive the probe's calls (see FolderProbe).
[[nodiscard]] std::unique_ptr<SystemInfo> MakeHostSystemInfo(FileSystem& fileSystem,
    std::chrono::milliseconds diskLimit = FolderProbe::kDefaultLimit, HostSystemFiles files = {});

// The version this build was made as (the project's version; a missing part is 0).
[[nodiscard]] ProgramVersion BuildVersion();

// "1.1.2.3" -> 1, 1, 2, 3. Missing or non-numeric parts are 0.
[[nodiscard]] ProgramVersion ParseProgramVersion(std::string_view text);
// The leading numbers of a kernel release: "6.1.0-18-amd64" -> 6, 1, 0; missing ones are 0.
[[nodiscard]] KernelVersion ParseKernelRelease(std::string_view release);
// A variable of an os-release file, its quoting and escapes undone; empty when absent.
[[nodiscard]] std::string OsReleaseValue(std::string_view text, std::string_view key);
// A "Key:   123 kB" line of /proc/meminfo in bytes; nullopt when absent or malformed.
[[nodiscard]] std::optional<std::uint64_t> MeminfoBytes(std::string_view text, std::string_view key);

} // namespace tarvo
