#include "SystemInfo.h"
#include "SystemPaths.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <utility>

namespace tarvo
{

namespace
{

    std::optional<std::string> ReadText(const std::string& fileName)
    {
        std::ifstream in(fileName, std::ios::binary);
        if (!in)
            return std::nullopt;
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    class HostSystemInfo : public SystemInfo
    {
    public:
        HostSystemInfo(FileSystem& fileSystem, std::chrono::milliseconds diskLimit, HostSystemFiles files)
            : m_fileSystem(fileSystem)
            , m_probe(fileSystem, diskLimit)
            , m_files(std::move(files))
        {
        }

        [[nodiscard]] ProgramVersion Version() override { return BuildVersion(); }

        [[nodiscard]] std::string ProgramFileName() override
        {
            const std::string path = ExecutablePath();
            return path.substr(path.rfind('/') + 1);
        }

        [[nodiscard]] std::string OSName() override
        {
            for (const std::string& fileName : m_files.osRelease) {
                if (const auto text = ReadText(fileName)) {
                    std::string name = OsReleaseValue(*text, "PRETTY_NAME");
                    if (!name.empty())
                        return name;
                }
            }
            utsname names {};
            return ::uname(&names) == 0 ? std::string(names.sysname) : std::string();
        }

        [[nodiscard]] KernelVersion OSVersion() override
        {
            utsname names {};
            return ::uname(&names) == 0 ? ParseKernelRelease(names.release) : KernelVersion {};
        }

        [[nodiscard]] MemoryStatus Memory() override
        {
            struct sysinfo info {
            };
            if (::sysinfo(&info) != 0)
                return {};
            const std::uint64_t unit = info.mem_unit == 0 ? 1 : info.mem_unit;
            MemoryStatus status;
            status.totalBytes = static_cast<std::uint64_t>(info.totalram) * unit;
            // freeram leaves out the page cache the kernel would give back at once; MemAvailable
            // (since Linux 3.14) counts it. Without that line, free plus buffers comes closest.
            const auto text = ReadText(m_files.meminfo);
            const auto available = text ? MeminfoBytes(*text, "MemAvailable") : std::nullopt;
            status.availableBytes = available
                ? *available
                : (static_cast<std::uint64_t>(info.freeram) + static_cast<std::uint64_t>(info.bufferram)) * unit;
            return status;
        }

        [[nodiscard]] std::vector<VolumeFreeSpace> DiskFree() override
        {
            std::vector<VolumeInfo> volumes = m_fileSystem.Volumes();
            std::erase_if(volumes, [](const VolumeInfo& volume) { return volume.kind == VolumeKind::vkRam; });
            // std::string orders by unsigned bytes, so "/" comes first and odd names sort stably.
            std::sort(volumes.begin(), volumes.end(),
                [](const VolumeInfo& a, const VolumeInfo& b) { return a.root < b.root; });
            std::vector<std::string> roots;
            roots.reserve(volumes.size());
            for (const VolumeInfo& volume : volumes)
                roots.push_back(volume.root);

            const auto answers = m_probe.FreeBytesOfEach(roots);
            std::vector<VolumeFreeSpace> disks;
            disks.reserve(roots.size());
            for (std::size_t i = 0; i < roots.size(); ++i) {
                const bool readable = answers[i] && *answers[i] >= 0;
                disks.push_back({ roots[i], readable ? answers[i] : std::nullopt });
            }
            return disks;
        }

    private:
        FileSystem& m_fileSystem;
        // Kept, so that a volume stuck at one opening of the about box fails at once at the next.
        FolderProbe m_probe;
        HostSystemFiles m_files;
    };

} // namespace

std::unique_ptr<SystemInfo> MakeHostSystemInfo(
    FileSystem& fileSystem, std::chrono::milliseconds diskLimit, HostSystemFiles files)
{
    return std::make_unique<HostSystemInfo>(fileSystem, diskLimit, std::move(files));
}

} // namespace tarvo
