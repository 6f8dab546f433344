#include "MountTable.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tarvo
{
namespace
{

    std::vector<std::string> MountPoints(const std::vector<MountEntry>& mounts)
    {
        std::vector<std::string> points;
        for (const MountEntry& mount : mounts)
            points.push_back(mount.mountPoint);
        return points;
    }

    TEST(MountTableParse, ReadsEveryField)
    {
        auto entry
            = MountTable::ParseLine("36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue");
        ASSERT_TRUE(entry.has_value());
        EXPECT_EQ(entry->mountId, 36);
        EXPECT_EQ(entry->parentId, 35);
        EXPECT_EQ(entry->major, 98U);
        EXPECT_EQ(entry->minor, 0U);
        EXPECT_EQ(entry->root, "/mnt1");
        EXPECT_EQ(entry->mountPoint, "/mnt2");
        EXPECT_EQ(entry->options, "rw,noatime");
        EXPECT_EQ(entry->optionalFields, std::vector<std::string> { "master:1" });
        EXPECT_EQ(entry->fsType, "ext3");
        EXPECT_EQ(entry->source, "/dev/root");
        EXPECT_EQ(entry->superOptions, "rw,errors=continue");
    }

    TEST(MountTableParse, TakesAnyNumberOfOptionalFields)
    {
        auto none = MountTable::ParseLine("1 0 8:1 / / rw - ext4 /dev/sda1 rw");
        auto several = MountTable::ParseLine("1 0 8:1 / / rw shared:1 master:2 propagate_from:3 - ext4 /dev/sda1 rw");
        ASSERT_TRUE(none && several);
        EXPECT_TRUE(none->optionalFields.empty());
        EXPECT_EQ(several->optionalFields, (std::vector<std::string> { "shared:1", "master:2", "propagate_from:3" }));
        EXPECT_EQ(several->fsType, "ext4");
        EXPECT_EQ(several->source, "/dev/sda1");
    }

    TEST(MountTableParse, DecodesOctalEscapesInPaths)
    {
        auto entry = MountTable::ParseLine(
            R"(40 1 8:17 /a\134b /media/My\040Disk\011tab\012line rw - vfat /dev/sdb1 rw,fmask=0022)");
        ASSERT_TRUE(entry.has_value());
        EXPECT_EQ(entry->root, "/a\\b");
        EXPECT_EQ(entry->mountPoint, "/media/My Disk\ttab\nline");
    }

    struct DecodeCase {
        const char* raw;
        std::string decoded;
    };

    TEST(MountTableParse, DecodeLeavesIncompleteEscapesAlone)
    {
        const DecodeCase cases[] = {
            { R"(plain)", "plain" },
            { R"(a\040b)", "a b" },
            { R"(\134\134)", "\\\\" },
            { R"(trailing\04)", "trailing\\04" }, // too short to be an escape
            { R"(\9xy)", "\\9xy" }, // not octal
            { R"(\377)", "\xff" }, // a raw byte, not a character
            { R"(end\)", "end\\" },
        };
        for (const DecodeCase& c : cases)
            EXPECT_EQ(DecodeMountField(c.raw), c.decoded) << c.raw;
    }

    TEST(MountTableParse, RejectsMalformedLines)
    {
        const char* lines[] = {
            "",
            "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 ext3 /dev/root rw", // no "-" separator
            "36 35 98:0 /mnt1 /mnt2 rw - ext3", // no source
            "x 35 98:0 / /mnt rw - ext3 /dev/root rw", // mount id not a number
            "36 35 980 / /mnt rw - ext3 /dev/root rw", // device without colon
            "36 35 98:0 / mnt rw - ext3 /dev/root rw", // relative mount point
            "36 35 98:0 / /mnt rw -", // nothing after the separator
        };
        for (const char* line : lines)
            EXPECT_FALSE(MountTable::ParseLine(line).has_value()) << line;
    }

    TEST(MountTableParse, TextSkipsAndCountsBadLines)
    {
        MountTable table = MountTable::Parse("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                             "garbage line\n"
                                             "\n"
                                             "2 1 0:5 / /proc rw - proc proc rw"); // last line without newline
        EXPECT_EQ(MountPoints(table.Entries()), (std::vector<std::string> { "/", "/proc" }));
        EXPECT_EQ(table.SkippedLines(), 1U);
    }

    // A small machine: root, a pseudo /proc, a USB stick with a space in its name, a bind
    // mount of a home folder, a tmpfs mounted twice on /run/x, and /srv/inner hidden by a
    // later mount on /srv, with /srv/late mounted inside that later one.
    constexpr const char* kMachine = "1 0 8:1 / / rw shared:1 - ext4 /dev/sda1 rw\n"
                                     "2 1 0:21 / /proc rw - proc proc rw\n"
                                     "3 1 0:6 / /dev rw - devtmpfs devtmpfs rw\n"
                                     "4 1 8:17 / /media/usb\\040stick rw - vfat /dev/sdb1 rw\n"
                                     "5 1 8:1 /home/ann /mnt/ann rw - ext4 /dev/sda1 rw\n"
                                     "6 1 0:30 / /run/x rw - tmpfs tmpfs rw\n"
                                     "7 6 0:31 / /run/x rw - tmpfs tmpfs rw\n"
                                     "8 1 8:2 / /srv/inner rw - ext4 /dev/sda2 rw\n"
                                     "9 1 8:3 / /srv rw - xfs /dev/sda3 rw\n"
                                     "10 9 8:4 / /srv/late rw - ext4 /dev/sda4 rw\n"
                                     "11 2 0:40 / /proc/sys/fs/binfmt_misc rw - binfmt_misc binfmt_misc rw\n";

    TEST(MountTableVisibility, HidesOverMountsAndKeepsOrder)
    {
        MountTable table = MountTable::Parse(kMachine);
        ASSERT_EQ(table.Entries().size(), 11U);
        EXPECT_TRUE(table.IsHidden(5)); // first tmpfs on /run/x
        EXPECT_FALSE(table.IsHidden(6));
        EXPECT_TRUE(table.IsHidden(7)); // /srv/inner under the later /srv
        EXPECT_FALSE(table.IsHidden(9)); // /srv/late lives inside that /srv
        EXPECT_FALSE(table.IsHidden(0));
        EXPECT_FALSE(table.IsHidden(99));
        EXPECT_EQ(MountPoints(table.RealMounts()),
            (std::vector<std::string> { "/", "/media/usb stick", "/mnt/ann", "/run/x", "/srv", "/srv/late" }));
        EXPECT_EQ(table.RealMounts()[3].mountId, 7);
    }

    TEST(MountTableLookup, MountPointOfMatchesWholeComponents)
    {
        MountTable table = MountTable::Parse(kMachine);
        const std::pair<const char*, const char*> cases[] = {
            { "/", "/" },
            { "/home/ann/file", "/" },
            { "/media/usb stick", "/media/usb stick" },
            { "/media/usb stick/", "/media/usb stick" },
            { "/media/usb stick/photos/a.jpg", "/media/usb stick" },
            { "/media/usb sticker", "/" },
            { "/mnt/ann/docs", "/mnt/ann" },
            { "/proc/1/status", "/" }, // pseudo mounts are no volumes
            { "/dev/null", "/" },
            { "/srv/inner/x", "/srv" }, // the hidden mount cannot be reached
            { "/srv/late/y", "/srv/late" },
            { "relative/path", "" },
            { "", "" },
        };
        for (const auto& [path, expected] : cases)
            EXPECT_EQ(table.MountPointOf(path), expected) << path;
    }

    TEST(MountTableLookup, IsMountPointIgnoresTrailingSeparators)
    {
        MountTable table = MountTable::Parse(kMachine);
        const std::pair<const char*, bool> cases[] = {
            { "/", true },
            { "/mnt/ann", true },
            { "/mnt/ann/", true },
            { "/mnt/ann//", true },
            { "/mnt", false },
            { "/proc", false },
            { "/srv/inner", false },
            { "/srv/late", true },
            { "", false },
        };
        for (const auto& [path, expected] : cases)
            EXPECT_EQ(table.IsMountPoint(path), expected) << path;
    }

    TEST(MountTableLookup, EmptyTableKnowsNoMountPoint)
    {
        MountTable table;
        EXPECT_EQ(table.MountPointOf("/usr"), "");
        EXPECT_FALSE(table.IsMountPoint("/"));
        EXPECT_TRUE(table.RealMounts().empty());
    }

    TEST(FileSystemTypes, PseudoTypesByName)
    {
        for (const char* type : { "proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "debugfs", "tracefs",
                 "securityfs", "pstore", "bpf", "configfs", "fusectl", "mqueue", "hugetlbfs", "autofs", "binfmt_misc",
                 "efivarfs", "nsfs", "selinuxfs", "rpc_pipefs" })
            EXPECT_TRUE(IsPseudoFileSystemType(type)) << type;
        for (const char* type : { "ext4", "xfs", "btrfs", "tmpfs", "ramfs", "vfat", "nfs4", "fuse.sshfs", "overlay",
                 "squashfs", "", "Proc" })
            EXPECT_FALSE(IsPseudoFileSystemType(type)) << type;
    }

    TEST(FileSystemTypes, PseudoTypesByMagic)
    {
        EXPECT_TRUE(IsPseudoFileSystemMagic(0x9fa0)); // proc
        EXPECT_TRUE(IsPseudoFileSystemMagic(0x62656572)); // sysfs
        EXPECT_TRUE(IsPseudoFileSystemMagic(0x63677270)); // cgroup2
        EXPECT_TRUE(IsPseudoFileSystemMagic(0xf97cff8c)); // selinuxfs, top bit set
        EXPECT_TRUE(IsPseudoFileSystemMagic(0xfffffffff97cff8cULL)); // the same, sign-extended from a long
        EXPECT_FALSE(IsPseudoFileSystemMagic(0xEF53)); // ext4
        EXPECT_FALSE(IsPseudoFileSystemMagic(0x01021994)); // tmpfs, devtmpfs's magic as well
        EXPECT_FALSE(IsPseudoFileSystemMagic(0));
        EXPECT_FALSE(IsPseudoFileSystemMagic(0x100009fa0ULL));
    }

    TEST(FileSystemTypes, VolumeKindFromType)
    {
        const std::pair<const char*, VolumeKind> cases[] = {
            { "ext4", VolumeKind::vkFixed },
            { "vfat", VolumeKind::vkFixed },
            { "nfs", VolumeKind::vkRemote },
            { "nfs4", VolumeKind::vkRemote },
            { "cifs", VolumeKind::vkRemote },
            { "smb3", VolumeKind::vkRemote },
            { "fuse.sshfs", VolumeKind::vkRemote },
            { "9p", VolumeKind::vkRemote },
            { "ceph", VolumeKind::vkRemote },
            { "iso9660", VolumeKind::vkCdrom },
            { "udf", VolumeKind::vkCdrom },
            { "tmpfs", VolumeKind::vkRam },
            { "ramfs", VolumeKind::vkRam },
        };
        for (const auto& [type, kind] : cases)
            EXPECT_EQ(VolumeKindOfType(type), kind) << type;
    }

    // Mounts inside pseudo file systems and files bind-mounted in place are no volumes; what is
    // mounted travels with a volume.
    TEST(MountTableVolumes, LeaveOutWhatNoUserPicks)
    {
        const test::TempTree tree;
        tree.File("hosts", 10);
        tree.Folder("data");
        const MountTable table = MountTable::Parse("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                                   "2 1 0:20 / /sys rw - sysfs sysfs rw\n"
                                                   "3 2 0:21 / /sys/fs/cgroup rw - tmpfs tmpfs rw\n"
                                                   "4 1 0:5 / /dev rw - devtmpfs udev rw\n"
                                                   "5 4 0:22 / /dev/shm rw - tmpfs tmpfs rw\n"
                                                   "6 1 8:1 /etc/hosts "
            + tree.Path()
            + "/hosts rw - ext4 /dev/sda1 rw\n"
              "7 1 8:1 /srv "
            + tree.Path()
            + "/data rw - ext4 /dev/sda1 rw\n"
              "8 1 0:40 / /mnt/nas rw - cifs //nas/share rw\n"
              "9 1 0:41 / /run/user rw - tmpfs tmpfs rw\n");
        std::vector<std::string> roots;
        for (const VolumeInfo& volume : table.Volumes())
            roots.push_back(volume.root + " " + volume.source);
        EXPECT_EQ(roots,
            (std::vector<std::string> {
                "/ /dev/sda1", tree.Path() + "/data /dev/sda1", "/mnt/nas //nas/share", "/run/user tmpfs" }));
    }

    TEST(FileSystemTypes, SnapImagesAreNoVolumes)
    {
        auto snap = MountTable::ParseLine("50 1 7:3 / /snap/core22/1380 ro - squashfs /dev/loop3 ro");
        auto stick = MountTable::ParseLine("51 1 8:17 / /media/stick ro - squashfs /dev/sdb1 ro");
        auto underSnap = MountTable::ParseLine("52 1 7:4 / /snap/data ro - ext4 /dev/loop4 rw");
        ASSERT_TRUE(snap && stick && underSnap);
        EXPECT_TRUE(IsPackageImageMount(*snap));
        EXPECT_FALSE(IsPackageImageMount(*stick));
        EXPECT_FALSE(IsPackageImageMount(*underSnap));
    }

    TEST(MountTableLive, ReadsThisMachine)
    {
        MountTable table = MountTable::ReadLive();
        ASSERT_FALSE(table.Entries().empty());
        EXPECT_EQ(table.SkippedLines(), 0U);
        for (const MountEntry& entry : table.Entries()) {
            EXPECT_EQ(entry.mountPoint.front(), '/');
            EXPECT_FALSE(entry.fsType.empty());
        }
        EXPECT_EQ(table.MountPointOf("/"), "/");
        EXPECT_TRUE(table.IsMountPoint("/"));
    }

    // Runs the body in a child process inside a private mount namespace, so that whatever it
    // mounts vanishes with the child. Returns the body's complaints; nullopt when this machine
    // cannot make mounts (no privilege, no namespaces).
    constexpr int kCannotMount = 77;
    std::optional<std::string> RunWithPrivateMounts(const std::function<std::string()>& body)
    {
        int channel[2];
        if (::pipe2(channel, O_CLOEXEC) != 0)
            return "no pipe";
        pid_t child = ::fork();
        if (child == 0) {
            ::close(channel[0]);
            if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
                ::_exit(kCannotMount);
            std::string complaints = body();
            ssize_t written = ::write(channel[1], complaints.data(), complaints.size());
            ::_exit(written == static_cast<ssize_t>(complaints.size()) ? 0 : 1);
        }
        ::close(channel[1]);
        std::string complaints;
        char chunk[512];
        for (ssize_t count; (count = ::read(channel[0], chunk, sizeof chunk)) > 0;)
            complaints.append(chunk, static_cast<std::size_t>(count));
        ::close(channel[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotMount)
            return std::nullopt;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            complaints += "the child process failed; ";
        return complaints;
    }

    void MountOrGiveUp(const std::string& source, const std::string& target, const char* type, unsigned long flags)
    {
        if (::mount(source.c_str(), target.c_str(), type, flags, nullptr) != 0)
            ::_exit(kCannotMount);
    }

    // Bind mounts, tmpfs, proc and an over-mount made in a private namespace, seen through
    // the host file system.
    TEST(HostMounts, MountRootsPseudoMountsAndVolumes)
    {
        char pattern[] = "/tmp/tarvo-mounts-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        const std::string top = pattern;
        for (const char* name : { "plain", "a", "b", "t", "p", "o", "d", "late", "late-source" })
            ASSERT_EQ(::mkdir((top + "/" + name).c_str(), 0755), 0);

        std::optional<std::string> complaints = RunWithPrivateMounts([&top] {
            std::string problems;
            auto check = [&problems](bool ok, const char* what) {
                if (!ok)
                    problems += std::string(what) + "; ";
            };
            MountOrGiveUp(top + "/a", top + "/b", nullptr, MS_BIND);
            MountOrGiveUp("tmpfs", top + "/t", "tmpfs", 0);
            MountOrGiveUp("tmpfs", top + "/o", "tmpfs", 0);
            MountOrGiveUp("tmpfs", top + "/o", "tmpfs", 0);
            MountOrGiveUp("proc", top + "/p", "proc", 0);
            // devtmpfs shows tmpfs's magic to fstatfs: only the mount table gives it away.
            bool haveDevtmpfs = ::mount("devtmpfs", (top + "/d").c_str(), "devtmpfs", 0, nullptr) == 0;

            std::unique_ptr<FileSystem> fs = MakeHostFileSystem();
            FolderHandlePtr root = fs->OpenFolder(top);
            if (root == nullptr)
                return std::string("cannot open the top folder");
            FolderHandlePtr plain = fs->OpenChild(*root, "plain");
            FolderHandlePtr bound = fs->OpenChild(*root, "b");
            FolderHandlePtr tmp = fs->OpenChild(*root, "t");
            check(plain != nullptr && !plain->Identity().isMountRoot, "a plain folder is no mount root");
            check(bound != nullptr && bound->Identity().isMountRoot, "a bind mount is a mount root");
            check(bound != nullptr && bound->Identity().device == root->Identity().device, "bind mount on one device");
            check(tmp != nullptr && tmp->Identity().isMountRoot, "a tmpfs mount is a mount root");
            check(fs->OpenChild(*root, "p") == nullptr, "proc is not entered from its parent");
            check(fs->OpenFolder(top + "/p") == nullptr, "proc is not opened by path");
            check(!haveDevtmpfs || fs->OpenChild(*root, "d") == nullptr, "devtmpfs is not entered");

            // A scan keeps the mount table it started with; the next scan sees new mounts.
            MountOrGiveUp(top + "/late-source", top + "/late", nullptr, MS_BIND);
            FolderHandlePtr lateOld = fs->OpenChild(*root, "late");
            check(lateOld != nullptr && !lateOld->Identity().isMountRoot, "a running scan keeps its table");
            FolderHandlePtr again = fs->OpenFolder(top);
            FolderHandlePtr lateNew = again ? fs->OpenChild(*again, "late") : nullptr;
            check(lateNew != nullptr && lateNew->Identity().isMountRoot, "the next scan learns the new mount");

            check(fs->IsVolumeRoot(top + "/t") && fs->IsVolumeRoot(top + "/t/"), "tmpfs mount is a volume root");
            check(!fs->IsVolumeRoot(top + "/p"), "proc is no volume root");
            check(fs->VolumeOf(top + "/t/missing") == top + "/t", "volume of a path under the tmpfs");
            check(fs->VolumeOf(top + "/b/x") == top + "/b", "volume of a path under the bind mount");
            std::vector<VolumeInfo> volumes = fs->Volumes();
            auto count = [&volumes](const std::string& root) {
                return std::count_if(
                    volumes.begin(), volumes.end(), [&root](const VolumeInfo& v) { return v.root == root; });
            };
            check(count(top + "/o") == 1, "an over-mounted point is listed once");
            check(count(top + "/p") == 0 && count(top + "/d") == 0, "pseudo mounts are no volumes");
            auto tmpVolume = std::find_if(
                volumes.begin(), volumes.end(), [&top](const VolumeInfo& v) { return v.root == top + "/t"; });
            check(tmpVolume != volumes.end() && tmpVolume->kind == VolumeKind::vkRam
                    && tmpVolume->fileSystemType == "tmpfs",
                "tmpfs is a ram volume");
            return problems;
        });
        for (const char* name : { "plain", "a", "b", "t", "p", "o", "d", "late", "late-source" })
            ::rmdir((top + "/" + name).c_str());
        ::rmdir(top.c_str());
        if (!complaints.has_value())
            GTEST_SKIP() << "this machine cannot make mounts in a private namespace";
        EXPECT_EQ(*complaints, "");
    }

} // namespace
} // namespace tarvo
