// The namespace helpers the tree uses: drive tests, messages, special folders.

#include "ShellCommon.h"
#include "MemoryFileSystem.h"
#include "ShellTypes.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tarvo
{
namespace
{

    TItemIdList Folder(std::string_view name) { return TItemIdList::Record(ItemKind::ikFolder, name); }

    // Sets an environment variable for the test's duration.
    class ScopedEnvironment
    {
    public:
        ScopedEnvironment(const char* name, const char* value)
            : m_name(name)
        {
            if (const char* old = std::getenv(name))
                m_old = old;
            if (value)
                ::setenv(name, value, 1);
            else
                ::unsetenv(name);
        }
        ~ScopedEnvironment()
        {
            if (m_old)
                ::setenv(m_name, m_old->c_str(), 1);
            else
                ::unsetenv(m_name);
        }
        ScopedEnvironment(const ScopedEnvironment&) = delete;
        ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    private:
        const char* m_name;
        std::optional<std::string> m_old;
    };

    TEST(ShellCommon, DriveRootsAndWhatTheyAreToldWhenNotReady)
    {
        MemoryFileSystem fs(PathStyle::Windows());
        fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 1);
        fs.AddVolume("A:\\", VolumeKind::vkRemovable, "", "FAT", -1);
        fs.AddVolume("N:\\", VolumeKind::vkRemote, "Share", "cifs", -1);
        fs.AddFolder("C:\\Windows");
        TShellNamespace shell(fs, "C:\\Users\\u");
        const TItemIdList c = shell.VolumeList("C:\\");
        EXPECT_TRUE(IsDriveRoot(shell, c));
        EXPECT_FALSE(IsDriveRoot(shell, c.Combined(Folder("Windows"))));
        EXPECT_FALSE(IsDriveRoot(shell, TShellNamespace::ComputerList()));
        EXPECT_EQ(DriveKeyOf(shell, c), "C");
        EXPECT_EQ(NotReadyMessage(shell, shell.VolumeList("A:\\")), QStringLiteral("No disk in drive"));
        EXPECT_EQ(NotReadyMessage(shell, shell.VolumeList("N:\\")), QStringLiteral("Volume not responding"));
        EXPECT_FALSE(IsDriveReady(shell, "N")) << "a network drive is asked like any other";
        EXPECT_FALSE(HasAttribute(SFGAO_FOLDER, nullptr, &c));
        EXPECT_EQ(GetShellIconIndex(nullptr, c, false), -1);
        EXPECT_EQ(PathFromPIDL(shell, c), "C:\\");
    }

    TEST(ShellCommon, AMountPointReachedAsAFolderIsADriveRoot)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        fs.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 1);
        fs.AddVolume("/home", VolumeKind::vkFixed, "", "ext4", 1);
        TShellNamespace shell(fs, "/home/u");
        EXPECT_TRUE(IsDriveRoot(shell, shell.VolumeList("/").Combined(Folder("home"))));
        EXPECT_EQ(DriveKeyOf(shell, shell.VolumeList("/").Combined(Folder("home"))), "/home");
        EXPECT_FALSE(IsDriveRoot(shell, TShellNamespace::HomeList()));
    }

    TEST(ShellCommon, SpecialFoldersAreTheDesktopsFoldersOrTheDesktop)
    {
        const ScopedEnvironment home("HOME", "/home/u");
        const ScopedEnvironment config("XDG_CONFIG_HOME", nullptr);
        const ScopedEnvironment data("XDG_DATA_HOME", nullptr);
        MemoryFileSystem fs(PathStyle::Posix());
        fs.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 1);
        fs.AddFolder("/home/u/Desktop");
        fs.AddFolder("/home/u/.local/share/Trash/files");
        TShellNamespace shell(fs, "/home/u");
        const TItemIdList u = shell.VolumeList("/").Combined(Folder("home")).Combined(Folder("u"));
        EXPECT_EQ(SpecialFolderLocation(shell, rDrives), TShellNamespace::ComputerList());
        EXPECT_EQ(SpecialFolderLocation(shell, rPersonal), TShellNamespace::HomeList());
        EXPECT_EQ(SpecialFolderLocation(shell, rDesktopDirectory), u.Combined(Folder("Desktop")));
        EXPECT_EQ(SpecialFolderLocation(shell, rBitBucket),
            u.Combined(Folder(".local")).Combined(Folder("share")).Combined(Folder("Trash")).Combined(Folder("files")));
        EXPECT_EQ(SpecialFolderLocation(shell, rTemplates), TItemIdList()) << "missing: the Desktop";
        EXPECT_EQ(SpecialFolderLocation(shell, rPrinters), TItemIdList()) << "no counterpart: the Desktop";
    }

} // namespace
} // namespace tarvo
