#include "SystemInfo.h"
#include "StallingFileSystem.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sys/utsname.h>

namespace tarvo
{
namespace
{

    using namespace std::chrono_literals;

    TEST(SystemInfoParsing, VersionNumbers)
    {
        struct Row {
            const char* text;
            ProgramVersion version;
        };
        const Row rows[] = {
            { "1.1.2.3", { 1, 1, 2, 3 } },
            { "0.1.0", { 0, 1, 0, 0 } },
            { "2", { 2, 0, 0, 0 } },
            { "", { 0, 0, 0, 0 } },
            { "3.x.5", { 3, 0, 0, 0 } },
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.text);
            const ProgramVersion version = ParseProgramVersion(row.text);
            EXPECT_EQ(version.major, row.version.major);
            EXPECT_EQ(version.minor, row.version.minor);
            EXPECT_EQ(version.release, row.version.release);
            EXPECT_EQ(version.build, row.version.build);
        }
    }

    TEST(SystemInfoParsing, KernelReleases)
    {
        struct Row {
            const char* release;
            KernelVersion version;
        };
        const Row rows[] = {
            { "6.1.0-18-amd64", { 6, 1, 0 } },
            { "5.15.90.1-microsoft-standard-WSL2", { 5, 15, 90 } },
            { "6.8", { 6, 8, 0 } },
            { "4.19.325", { 4, 19, 325 } },
            { "unknown", { 0, 0, 0 } },
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.release);
            const KernelVersion version = ParseKernelRelease(row.release);
            EXPECT_EQ(version.major, row.version.major);
            EXPECT_EQ(version.minor, row.version.minor);
            EXPECT_EQ(version.build, row.version.build);
        }
    }

    TEST(SystemInfoParsing, OsReleaseQuotingAsTheShellReadsIt)
    {
        const std::string text = "# comment PRETTY_NAME=\"no\"\n"
                                 "NAME=\"Debian GNU/Linux\"\n"
                                 "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
                                 "ID=debian\r\n"
                                 "VERSION_CODENAME='book \"worm\"'\n"
                                 "QUOTED=\"say \\\"hi\\\" \\$HOME \\n\"\n"
                                 "BARE=a\\ b\n"
                                 "TWICE=first\n"
                                 "TWICE=second";
        EXPECT_EQ(OsReleaseValue(text, "PRETTY_NAME"), "Debian GNU/Linux 12 (bookworm)");
        EXPECT_EQ(OsReleaseValue(text, "ID"), "debian");
        EXPECT_EQ(OsReleaseValue(text, "VERSION_CODENAME"), "book \"worm\"");
        EXPECT_EQ(OsReleaseValue(text, "QUOTED"), "say \"hi\" $HOME \\n");
        EXPECT_EQ(OsReleaseValue(text, "BARE"), "a b");
        EXPECT_EQ(OsReleaseValue(text, "TWICE"), "second");
        EXPECT_EQ(OsReleaseValue(text, "NAM"), "");
        EXPECT_EQ(OsReleaseValue(text, "MISSING"), "");
    }

    TEST(SystemInfoParsing, MeminfoLinesInBytes)
    {
        const std::string text = "MemTotal:        65536 kB\n"
                                 "MemAvailableX:   1 kB\n"
                                 "MemAvailable:    20480 kB\n"
                                 "HugePages_Total:       0\n"
                                 "Huge:       99999999999999999999 kB\n";
        EXPECT_EQ(MeminfoBytes(text, "MemTotal"), 65536ull * 1024);
        EXPECT_EQ(MeminfoBytes(text, "MemAvailable"), 20480ull * 1024);
        EXPECT_EQ(MeminfoBytes(text, "HugePages_Total"), std::nullopt) << "a count is no size";
        EXPECT_EQ(MeminfoBytes(text, "Huge"), std::nullopt) << "too large for 64 bits";
        EXPECT_EQ(MeminfoBytes(text, "SwapTotal"), std::nullopt);
    }

    std::string ReadAll(const std::string& fileName)
    {
        std::ifstream in(fileName, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }

    TEST(HostSystemInfo, SystemNameFallsBackFileByFileThenToTheKernelsName)
    {
        const test::TempTree tree;
        const std::string missing = tree.Path() + "/missing";
        const std::string nameless = tree.Path() + "/nameless";
        const std::string named = tree.Path() + "/named";
        std::ofstream(nameless) << "ID=nobody\n";
        std::ofstream(named) << "PRETTY_NAME=\"Test OS 7\"\n";
        MemoryFileSystem fs(PathStyle::Posix());
        utsname names {};
        ASSERT_EQ(::uname(&names), 0);

        HostSystemFiles files;
        files.osRelease = { missing, nameless, named };
        EXPECT_EQ(MakeHostSystemInfo(fs, 1s, files)->OSName(), "Test OS 7");
        files.osRelease = { missing };
        EXPECT_EQ(MakeHostSystemInfo(fs, 1s, files)->OSName(), names.sysname);
    }

    TEST(HostSystemInfo, MemoryAndProgramOfTheRunningMachine)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        const auto info = MakeHostSystemInfo(fs);
        const MemoryStatus memory = info->Memory();
        const auto memTotal = MeminfoBytes(ReadAll("/proc/meminfo"), "MemTotal");
        ASSERT_TRUE(memTotal);
        EXPECT_LT(std::fabs(static_cast<double>(memory.totalBytes) - static_cast<double>(*memTotal)),
            0.01 * static_cast<double>(*memTotal));
        EXPECT_GT(memory.availableBytes, 0u);
        EXPECT_LE(memory.availableBytes, memory.totalBytes);

        // Without MemAvailable the estimate still lies within the total.
        HostSystemFiles files;
        files.meminfo = "/nonexistent/meminfo";
        const MemoryStatus estimate = MakeHostSystemInfo(fs, 1s, files)->Memory();
        EXPECT_GT(estimate.availableBytes, 0u);
        EXPECT_LE(estimate.availableBytes, estimate.totalBytes);

        EXPECT_EQ(info->ProgramFileName(), program_invocation_short_name);
    }

    TEST(HostSystemInfo, DiskFreeListsEveryVolumeButRamInByteOrder)
    {
        test::StallingFileSystem fs(PathStyle::Posix());
        fs.AddVolume("/mnt/nas", VolumeKind::vkRemote, "", "nfs", 5);
        fs.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 7LL << 40);
        fs.AddVolume("/tmp", VolumeKind::vkRam, "", "tmpfs", 100);
        fs.AddVolume("/mnt/dvd", VolumeKind::vkCdrom, "", "iso9660", -1);
        fs.AddVolume("/boot", VolumeKind::vkFixed, "", "ext2", 300);
        fs.Stall("/mnt/nas");

        const auto info = MakeHostSystemInfo(fs, 100ms);
        const auto disks = info->DiskFree();
        ASSERT_EQ(disks.size(), 4u);
        EXPECT_EQ(disks[0].mountPoint, "/");
        EXPECT_EQ(disks[0].freeBytes, 7LL << 40);
        EXPECT_EQ(disks[1].mountPoint, "/boot");
        EXPECT_EQ(disks[1].freeBytes, 300);
        EXPECT_EQ(disks[2].mountPoint, "/mnt/dvd");
        EXPECT_EQ(disks[2].freeBytes, std::nullopt);
        EXPECT_EQ(disks[3].mountPoint, "/mnt/nas");
        EXPECT_EQ(disks[3].freeBytes, std::nullopt);
        EXPECT_EQ(info->DiskFree()[3].freeBytes, std::nullopt) << "the next opening of the about box";
        EXPECT_EQ(fs.StalledCalls(), 1) << "still stuck: asked once, not twice";
    }

} // namespace
} // namespace tarvo
