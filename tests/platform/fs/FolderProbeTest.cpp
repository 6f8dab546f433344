#include "FolderProbe.h"
#include "StallingFileSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    using namespace std::chrono_literals;
    using test::StallingFileSystem;

    // Short enough to keep the suite quick; the answers below never depend on it being reached.
    constexpr std::chrono::milliseconds kLimit { 150 };

    class FolderProbeTest : public ::testing::Test
    {
    protected:
        FolderProbeTest()
            : m_fs(PathStyle::Posix())
        {
            m_fs.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 7000);
            m_fs.AddVolume("/mnt/nas", VolumeKind::vkRemote, "", "nfs", 5000);
            m_fs.AddVolume("/mnt/dvd", VolumeKind::vkCdrom, "", "iso9660", -1);
            m_fs.AddFolder("/home/ann");
            m_fs.AddFile("/home/ann/notes.txt", 10);
            m_fs.AddFolder("/mnt/nas/share");
        }

        StallingFileSystem m_fs;
        FolderProbe m_probe { m_fs, kLimit };
    };

    TEST_F(FolderProbeTest, AnswersWhatTheFileSystemSays)
    {
        EXPECT_EQ(m_probe.IsFolder("/home/ann"), ProbeAnswer::paFolder);
        EXPECT_EQ(m_probe.IsFolder("/home/ann/"), ProbeAnswer::paFolder);
        EXPECT_EQ(m_probe.IsFolder("/home/ann/notes.txt"), ProbeAnswer::paNoFolder);
        EXPECT_EQ(m_probe.IsFolder("/home/bob"), ProbeAnswer::paNoFolder);
        EXPECT_EQ(m_probe.IsFolder(""), ProbeAnswer::paNoFolder);
        EXPECT_EQ(m_probe.FreeBytes("/"), 7000);
        EXPECT_EQ(m_probe.FreeBytes("/mnt/dvd"), -1) << "unreadable is an answer too";
    }

    // The rule itself (one stuck call per volume, others carry on, recovery) is VolumeCalls'
    // and tested there; what the probe adds is the volume of each path and one set of workers
    // for all probes of a file system.
    TEST_F(FolderProbeTest, AStalledVolumeGetsOneCallFromAllProbesOfTheFileSystem)
    {
        m_fs.Stall("/mnt/nas");
        EXPECT_EQ(m_probe.IsFolder("/mnt/nas/share"), ProbeAnswer::paNoAnswer);
        EXPECT_EQ(m_fs.StalledCalls(), 1);

        // The same volume again, by another path, another question and another probe object:
        // answered at once, no second call sent in.
        EXPECT_EQ(m_probe.IsFolder("/mnt/nas/other"), ProbeAnswer::paNoAnswer);
        FolderProbe aboutBox(m_fs, kLimit);
        EXPECT_EQ(aboutBox.FreeBytes("/mnt/nas"), std::nullopt);
        EXPECT_EQ(m_fs.StalledCalls(), 1);
        EXPECT_EQ(m_probe.IsFolder("/mnt/nasty"), ProbeAnswer::paNoFolder) << "a sibling name is another volume";
    }

    TEST_F(FolderProbeTest, FreeSpaceOfSeveralVolumesComesBackTogether)
    {
        m_fs.AddVolume("/mnt/old", VolumeKind::vkRemote, "", "cifs", 1);
        m_fs.Stall("/mnt/nas");
        m_fs.Stall("/mnt/old");
        const auto answers = m_probe.FreeBytesOfEach({ "/mnt/nas", "/", "/mnt/old", "/mnt/dvd" });
        ASSERT_EQ(answers.size(), 4u);
        EXPECT_EQ(answers[0], std::nullopt);
        EXPECT_EQ(answers[1], 7000);
        EXPECT_EQ(answers[2], std::nullopt);
        EXPECT_EQ(answers[3], -1);
        EXPECT_EQ(m_fs.StalledCalls(), 2) << "every volume was asked, the stalled ones included";
    }

    TEST(VolumeRootContaining, FindsTheVolumeFromTheTextAlone)
    {
        const std::vector<VolumeInfo> posix
            = { { "/", VolumeKind::vkFixed, "", "ext4", "" }, { "/mnt/usb", VolumeKind::vkRemovable, "", "vfat", "" },
                  { "/mnt/usb/inner", VolumeKind::vkFixed, "", "ext4", "" } };
        const std::vector<VolumeInfo> windows
            = { { "C:\\", VolumeKind::vkFixed, "", "NTFS", "" }, { "D:\\", VolumeKind::vkCdrom, "", "CDFS", "" } };
        struct Row {
            const PathStyle& style;
            const std::vector<VolumeInfo>& volumes;
            std::string path;
            std::string root;
        };
        const std::vector<Row> rows = {
            { PathStyle::Posix(), posix, "/home/ann", "/" },
            { PathStyle::Posix(), posix, "/", "/" },
            { PathStyle::Posix(), posix, "/mnt/usb", "/mnt/usb" },
            { PathStyle::Posix(), posix, "/mnt/usb/", "/mnt/usb" },
            { PathStyle::Posix(), posix, "/mnt/usb/a/b", "/mnt/usb" },
            { PathStyle::Posix(), posix, "/mnt//usb/a", "/mnt/usb" },
            { PathStyle::Posix(), posix, "/mnt/usbkey", "/" },
            { PathStyle::Posix(), posix, "/mnt/usb/inner/x", "/mnt/usb/inner" },
            { PathStyle::Posix(), posix, "/MNT/usb", "/" },
            { PathStyle::Posix(), posix, "relative/path", "" },
            { PathStyle::Windows(), windows, "c:\\data", "C:\\" },
            { PathStyle::Windows(), windows, "D:/films", "D:\\" },
            { PathStyle::Windows(), windows, "d:", "" },
            { PathStyle::Windows(), windows, "E:\\", "" },
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.path);
            EXPECT_EQ(VolumeRootContaining(row.style, row.volumes, row.path), row.root);
        }
    }

} // namespace
} // namespace tarvo
