// The namespace over in-memory file systems of both path styles.

#include "ShellNamespace.h"
#include "MemoryFileSystem.h"
#include "ShellTypes.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace tarvo
{
namespace
{

    using namespace std::chrono_literals;
    constexpr auto kWait = 10s; // for calls that must finish; never a measure of speed

    TItemIdList Folder(std::string_view name) { return TItemIdList::Record(ItemKind::ikFolder, name); }

    std::vector<std::string> Names(
        const TShellNamespace& shell, const TItemIdList& folder, const FolderListing& listing)
    {
        std::vector<std::string> names;
        for (const ShellItem& item : listing.items)
            names.push_back(shell.DisplayNameOf(folder.Combined(item.relative)));
        return names;
    }

    std::uint32_t AttributesNamed(const FolderListing& listing, std::string_view name)
    {
        for (const ShellItem& item : listing.items) {
            if (item.relative.Last().payload == name)
                return item.attributes;
        }
        ADD_FAILURE() << "no item " << name;
        return 0;
    }

    class PosixNamespaceTest : public ::testing::Test
    {
    protected:
        PosixNamespaceTest()
            : m_fs(PathStyle::Posix())
        {
            m_fs.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 1000);
            m_fs.AddVolume("/home", VolumeKind::vkFixed, "Users", "ext4", 1000);
            m_fs.AddFolder("/home/u/docs");
            m_fs.AddFolder("/usr/lib");
            m_fs.AddFolder("/usr/share");
        }

        TShellNamespace& Shell()
        {
            if (!m_shell)
                m_shell = std::make_unique<TShellNamespace>(m_fs, "/home/u");
            return *m_shell;
        }
        TItemIdList Parsed(const std::string& path)
        {
            std::optional<TItemIdList> list = Shell().ParsePath(path, kWait);
            EXPECT_TRUE(list) << path;
            return list.value_or(TItemIdList());
        }

        MemoryFileSystem m_fs;
        std::unique_ptr<TShellNamespace> m_shell;
    };

    TEST_F(PosixNamespaceTest, PathsParseUnderTheLongestVolumeLiterally)
    {
        TShellNamespace& shell = Shell();
        const TItemIdList home = shell.VolumeList("/home");
        EXPECT_EQ(Parsed("/home/u/docs/"), home.Combined(Folder("u")).Combined(Folder("docs")))
            << "the home folder parses under its volume, not under Home";
        EXPECT_EQ(Parsed("/usr"), shell.VolumeList("/").Combined(Folder("usr")));
        EXPECT_EQ(Parsed("/home"), home);
        EXPECT_EQ(Parsed("//usr//lib"), shell.VolumeList("/").Combined(Folder("usr")).Combined(Folder("lib")));
        for (const char* bad : { "/missing", "usr", "", "/usr/../home", "/usr/./lib" })
            EXPECT_EQ(shell.ParsePath(bad, kWait), std::nullopt) << bad;

        EXPECT_EQ(shell.PathOf(home), "/home");
        EXPECT_EQ(shell.PathOf(TShellNamespace::HomeList().Combined(Folder("docs"))), "/home/u/docs");
        EXPECT_EQ(shell.PathOf(TShellNamespace::ComputerList()), "");
        EXPECT_EQ(shell.PathOf(TItemIdList()), "");
        for (const char* escape : { "..", ".", "a/b" })
            EXPECT_EQ(shell.PathOf(shell.VolumeList("/").Combined(Folder(escape))), "") << escape;
        EXPECT_EQ(shell.PathOf(Folder("usr")), "") << "a relative list is no address";
    }

    TEST_F(PosixNamespaceTest, DesktopComputerAndFolderListings)
    {
        m_fs.AddFolder("/usr/.hidden");
        m_fs.AddFile("/usr/readme", 1);
        TShellNamespace& shell = Shell();
        const TItemIdList desktop;
        EXPECT_EQ(Names(shell, desktop, shell.List(desktop, SHCONTF_FOLDERS, kWait)),
            (std::vector<std::string> { "Home", "Computer" }));
        const TItemIdList computer = TShellNamespace::ComputerList();
        EXPECT_EQ(Names(shell, computer, shell.List(computer, SHCONTF_FOLDERS, kWait)),
            (std::vector<std::string> { "/", "Users (/home)" }));

        const TItemIdList usr = Parsed("/usr");
        EXPECT_EQ(
            Names(shell, usr, shell.List(usr, SHCONTF_FOLDERS, kWait)), (std::vector<std::string> { "lib", "share" }));
        EXPECT_EQ(
            Names(shell, usr, shell.List(usr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, kWait)),
            (std::vector<std::string> { "lib", "share", ".hidden", "readme" }));
        const FolderListing all = shell.List(usr, SHCONTF_NONFOLDERS, kWait);
        ASSERT_EQ(all.items.size(), 1u);
        EXPECT_EQ(all.items[0].relative, TItemIdList::Record(ItemKind::ikNonFolder, "readme"));
    }

    TEST_F(PosixNamespaceTest, LinksToFoldersOpenOntoTheirTargetAndDanglingOnesAreAbsent)
    {
        m_fs.AddLink("/usr/loop", "/usr", 4);
        m_fs.AddLink("/usr/dangling", "/nowhere", 8);
        m_fs.AddLink("/usr/file-link", "/usr/readme", 11);
        m_fs.AddFile("/usr/readme", 1);
        TShellNamespace& shell = Shell();
        TItemIdList folder = Parsed("/usr");
        for (int depth = 0; depth < 3; ++depth) {
            const FolderListing listing = shell.List(folder, SHCONTF_FOLDERS, kWait);
            ASSERT_EQ(listing.result, ListingResult::lrListed);
            EXPECT_EQ(Names(shell, folder, listing), (std::vector<std::string> { "lib", "share", "loop" }));
            EXPECT_EQ(AttributesNamed(listing, "loop") & (SFGAO_LINK | SFGAO_FOLDER), SFGAO_LINK | SFGAO_FOLDER);
            folder = folder.Combined(Folder("loop"));
        }
        EXPECT_EQ(shell.PathOf(folder), "/usr/loop/loop/loop");
        const FolderListing others = shell.List(Parsed("/usr"), SHCONTF_NONFOLDERS, kWait);
        EXPECT_EQ(AttributesNamed(others, "dangling") & (SFGAO_LINK | SFGAO_FOLDER), SFGAO_LINK);
        EXPECT_EQ(AttributesNamed(others, "file-link") & SFGAO_FOLDER, 0u);
    }

    TEST_F(PosixNamespaceTest, SubfoldersComeFromLinkCountsOrAreAssumed)
    {
        m_fs.SetCompressed("/usr/share", true);
        TShellNamespace& shell = Shell();
        const TItemIdList root = shell.VolumeList("/");
        FolderListing listing = shell.List(root, SHCONTF_FOLDERS, kWait);
        EXPECT_NE(AttributesNamed(listing, "usr") & SFGAO_HASSUBFOLDER, 0u);
        const TItemIdList usr = Parsed("/usr");
        listing = shell.List(usr, SHCONTF_FOLDERS, kWait);
        EXPECT_EQ(AttributesNamed(listing, "lib") & SFGAO_HASSUBFOLDER, 0u) << "a link count of 2: no subfolder";
        EXPECT_EQ(AttributesNamed(listing, "share") & SFGAO_COMPRESSED, SFGAO_COMPRESSED);

        m_fs.SetFolderLinkCounts(false); // every folder says 1, as on btrfs
        listing = shell.List(usr, SHCONTF_FOLDERS, kWait);
        EXPECT_NE(AttributesNamed(listing, "lib") & SFGAO_HASSUBFOLDER, 0u) << "unknown: assumed";
        EXPECT_EQ(shell.AttributesOf(usr.Combined(Folder("lib")), kWait).value_or(0) & SFGAO_HASSUBFOLDER,
            SFGAO_HASSUBFOLDER);
    }

    TEST_F(PosixNamespaceTest, UnreadableFoldersAndDeepPaths)
    {
        m_fs.SetUnreadable("/usr/lib", true);
        std::string deep = "/usr/share";
        for (int i = 0; i < 25; ++i)
            deep += "/" + std::string(199, static_cast<char>('a' + i));
        m_fs.AddFolder(deep + "/end");
        ASSERT_GT(deep.size(), 5000u);
        TShellNamespace& shell = Shell();
        EXPECT_EQ(shell.List(Parsed("/usr/lib"), SHCONTF_FOLDERS, kWait).result, ListingResult::lrUnreadable);
        const TItemIdList list = Parsed(deep);
        EXPECT_EQ(shell.PathOf(list), deep);
        EXPECT_EQ(list.Count(), 29u);
        EXPECT_EQ(Names(shell, list, shell.List(list, SHCONTF_FOLDERS, kWait)), std::vector<std::string> { "end" });
        EXPECT_TRUE(shell.Exists(list, kWait));
        EXPECT_FALSE(shell.Exists(list.Combined(Folder("nope")), kWait));
    }

    // The rule behind it (one stuck call per volume, others carry on, recovery) is VolumeCalls'
    // and tested there; here, what each question of the namespace answers meanwhile.
    TEST_F(PosixNamespaceTest, AStuckVolumeAnswersEveryQuestionAsNotResponding)
    {
        std::mutex mutex;
        std::condition_variable released;
        bool open = false;
        m_fs.SetReadHook([&](const std::string& path) {
            if (path != "/usr/share")
                return;
            std::unique_lock lock(mutex);
            released.wait(lock, [&] { return open; });
        });
        TShellNamespace& shell = Shell();
        const std::shared_ptr<TPendingListing> call = shell.StartListing(Parsed("/usr/share"), SHCONTF_FOLDERS);
        EXPECT_FALSE(call->Wait(200ms));
        call->GiveUp();
        const TItemIdList usr = shell.VolumeList("/").Combined(Folder("usr"));
        const std::shared_ptr<TPendingListing> again = shell.StartListing(usr, SHCONTF_FOLDERS);
        ASSERT_TRUE(again->Done()) << "answered at once";
        EXPECT_EQ(again->Take()->result, ListingResult::lrNotResponding);
        EXPECT_EQ(shell.List(Parsed("/home"), SHCONTF_FOLDERS, kWait).result, ListingResult::lrListed)
            << "each path goes to its own volume's worker";
        EXPECT_FALSE(shell.IsVolumeReady("/", kWait));
        EXPECT_EQ(shell.ParsePath("/usr", kWait), std::nullopt);
        EXPECT_EQ(shell.AttributesOf(usr, kWait), std::nullopt);
        EXPECT_FALSE(shell.Exists(usr, kWait));

        {
            const std::lock_guard lock(mutex);
            open = true;
        }
        released.notify_all();
        ASSERT_TRUE(call->Wait(kWait));
        m_fs.SetReadHook(nullptr);
    }

    TEST_F(PosixNamespaceTest, ItemsSortHomeComputerVolumesFoldersThenOthersInNaturalOrder)
    {
        TShellNamespace& shell = Shell();
        const std::vector<TItemIdList> ordered = {
            TShellNamespace::HomeList(),
            TShellNamespace::ComputerList(),
            TItemIdList::Record(ItemKind::ikVolume, "/"),
            TItemIdList::Record(ItemKind::ikVolume, "/home"),
            Folder("Alpha"),
            Folder("alpha"),
            Folder("d2"),
            Folder("D03"),
            Folder("d10"),
            Folder("z"),
            TItemIdList::Record(ItemKind::ikNonFolder, "a"),
        };
        for (std::size_t i = 0; i < ordered.size(); ++i) {
            EXPECT_EQ(shell.CompareIDs(ordered[i], ordered[i]), 0);
            for (std::size_t j = i + 1; j < ordered.size(); ++j) {
                EXPECT_LT(shell.CompareIDs(ordered[i], ordered[j]), 0) << i << " " << j;
                EXPECT_GT(shell.CompareIDs(ordered[j], ordered[i]), 0) << i << " " << j;
            }
        }
    }

    TEST(WindowsNamespace, DriveLettersVolumesAndReadiness)
    {
        MemoryFileSystem fs(PathStyle::Windows());
        fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 1000);
        fs.AddVolume("A:\\", VolumeKind::vkRemovable, "", "FAT", -1);
        fs.AddFolder("C:\\Data\\Sub");
        TShellNamespace shell(fs, "C:\\Users\\u");

        const TItemIdList c = shell.VolumeList("C:\\");
        EXPECT_EQ(shell.ParsePath("c:\\", kWait), c);
        EXPECT_EQ(shell.ParsePath("C:\\Data\\Sub\\", kWait), c.Combined(Folder("Data")).Combined(Folder("Sub")));
        EXPECT_EQ(shell.PathOf(c), "C:\\");
        EXPECT_EQ(shell.PathOf(c.Combined(Folder("Data"))), "C:\\Data");
        EXPECT_EQ(shell.DisplayNameOf(c), "System (C:\\)");
        EXPECT_EQ(shell.DisplayNameOf(shell.VolumeList("A:\\")), "A:\\");
        EXPECT_EQ(shell.FixedAttributes(shell.VolumeList("A:\\")).value_or(0) & SFGAO_REMOVABLE, SFGAO_REMOVABLE);
        EXPECT_EQ(shell.FixedAttributes(c).value_or(0) & SFGAO_REMOVABLE, 0u);

        EXPECT_TRUE(shell.IsVolumeReady("c", kWait));
        EXPECT_FALSE(shell.IsVolumeReady("A", kWait)) << "no medium: the size question fails";
        EXPECT_FALSE(shell.IsVolumeReady("q", kWait)) << "a letter without a drive";
        for (const char* bad : { "1", "CD", "", "C:\\" })
            EXPECT_THROW((void)shell.IsVolumeReady(bad, kWait), EConvertError) << bad;
    }

    TEST_F(PosixNamespaceTest, OnlyListedMountPointsAreVolumeKeys)
    {
        TShellNamespace& shell = Shell();
        EXPECT_TRUE(shell.IsVolumeReady("/home/", kWait));
        for (const char* bad : { "/usr", "home", "" })
            EXPECT_THROW((void)shell.IsVolumeReady(bad, kWait), EConvertError) << bad;
        m_fs.AddVolume("/media/usb", VolumeKind::vkRemovable, "Stick", "vfat", 5);
        const TShellNamespace::VolumeChanges changes = shell.RefreshVolumes();
        EXPECT_EQ(changes.added, std::vector<std::string> { "/media/usb" });
        EXPECT_TRUE(changes.removed.empty());
        EXPECT_EQ(shell.VolumeKeyOfPath("/media/usb/photos"), "/media/usb");
        EXPECT_EQ(shell.VolumeKeyOfPath("/media/usbkey"), "/");
    }

} // namespace
} // namespace tarvo
