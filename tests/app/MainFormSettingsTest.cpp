// The window's settings file at start-up and close, where the file or its folders are odd: FIFOs,
// sockets, devices, folders, missing homes, links, NUL bytes, foreign line ends, dead writers.

#include "FifoWatchdog.h"
#include "GuiTestSupport.h"
#include "MainForm.h"
#include "MemoryFileSystem.h"
#include "MemoryProfileFileIo.h"
#include "PageControl.h"
#include "TempTree.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvo
{
namespace
{

    namespace fs = std::filesystem;
    using test::ReadFile;
    using test::ShownMessages;
    using test::TempTree;
    using test::WriteFile;

    void MakeSocket(const std::string& path)
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        ASSERT_LT(path.size(), sizeof address.sun_path);
        path.copy(address.sun_path, path.size());
        ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }

    // Every name below the folder with what it is and, for files, what it holds: two snapshots
    // differ when anything was made, changed or removed.
    std::map<std::string, std::string> Snapshot(const std::string& folder)
    {
        std::map<std::string, std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            const fs::file_status status = entry.symlink_status();
            std::string what = std::to_string(static_cast<int>(status.type()));
            if (status.type() == fs::file_type::regular)
                what += ":" + ReadFile(entry.path().string());
            else if (status.type() == fs::file_type::symlink)
                what += ":" + fs::read_symlink(entry.path()).string();
            names[entry.path().string()] = what;
        }
        return names;
    }

    constexpr const char* kDefaultFile
        = "[Bounds]\r\nleft=0\r\nwidth=600\r\ntop=0\r\nheight=500\r\n[Page]\r\nTabSheet=0\r\n"
          "[LastDir]\r\nStart with=C:\\\r\n";

    class MainFormSettingsTest : public ::testing::Test
    {
    protected:
        MainFormSettingsTest()
            : m_fs(PathStyle::Windows())
        {
            test::EnsureApp();
            ShownMessages().clear();
            m_fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 1024 * 1024 * 1024);
            m_fs.AddFile("C:\\Data\\a.txt", 5000);
            m_tree.Folder("program");
            m_tree.Folder("home");
            m_tree.Folder("home/.config");
        }

        [[nodiscard]] std::string At(const std::string& relative) const { return m_tree.Path() + "/" + relative; }

        // The window as the program makes it: it chooses its settings file itself.
        std::unique_ptr<TForm1> OpenChoosing(const std::string& userConfig = "home/.config")
        {
            MainFormEnvironment env;
            env.fileSystem = &m_fs;
            env.executableFolder = At("program");
            env.userConfigFolder = At(userConfig);
            return Open(std::move(env));
        }

        std::unique_ptr<TForm1> OpenWith(const std::string& settingsFile)
        {
            MainFormEnvironment env;
            env.fileSystem = &m_fs;
            env.settingsFileName = settingsFile;
            return Open(std::move(env));
        }

        static std::unique_ptr<TForm1> Open(MainFormEnvironment env)
        {
            std::unique_ptr<TForm1> form;
            EXPECT_NO_THROW(form = std::make_unique<TForm1>(std::move(env)));
            return form;
        }

        static void ExpectDefaults(const TForm1& form)
        {
            EXPECT_EQ(form.geometry(), QRect(0, 0, 600, 500));
            EXPECT_EQ(form.PageControl1->ActivePageIndex(), 0);
            EXPECT_EQ(form.CurrentDir(), "C:\\");
        }

        MemoryFileSystem m_fs;
        TempTree m_tree;
    };

    enum class Kept { kBeside, kPerUser, kNowhere };

    struct PlaceCase {
        const char* name;
        std::function<void(const TempTree&)> setUp;
        const char* userConfig; // relative to the tree
        Kept kept;
        std::vector<std::string> said; // what the one message names (tree-relative paths get the tree's path)
        std::vector<std::string> fifos;
    };

    void PrintTo(const PlaceCase& c, std::ostream* out) { *out << c.name; }

    void Device(const TempTree& tree, const std::string& relative)
    {
        ASSERT_EQ(::mknod((tree.Path() + "/" + relative).c_str(), S_IFCHR | 0644, makedev(1, 3)), 0);
    }

    const std::vector<PlaceCase>& PlaceCases()
    {
        static const std::vector<PlaceCase> cases = {
            { "fifoBesideTheProgram", [](const TempTree& t) { t.Fifo("program/Kwendi.ini"); }, "home/.config",
                Kept::kPerUser, { "program/Kwendi.ini", "FIFO", "home/.config/tarvo/Kwendi.ini" },
                { "program/Kwendi.ini" } },
            { "fifoAtThePerUserPlace",
                [](const TempTree& t) {
                    t.Folder("program/Kwendi.ini");
                    t.Folder("home/.config/tarvo");
                    t.Fifo("home/.config/tarvo/Kwendi.ini");
                },
                "home/.config", Kept::kNowhere,
                { "cannot be kept", "program/Kwendi.ini", "folder", "home/.config/tarvo/Kwendi.ini", "FIFO" },
                { "home/.config/tarvo/Kwendi.ini" } },
            { "socketAtThePerUserPlace",
                [](const TempTree& t) {
                    t.Folder("program/Kwendi.ini");
                    t.Folder("home/.config/tarvo");
                    MakeSocket(t.Path() + "/home/.config/tarvo/Kwendi.ini");
                },
                "home/.config", Kept::kNowhere, { "cannot be kept", "home/.config/tarvo/Kwendi.ini", "socket" }, {} },
            { "deviceAtThePerUserPlace",
                [](const TempTree& t) {
                    t.Folder("program/Kwendi.ini");
                    t.Folder("home/.config/tarvo");
                    Device(t, "home/.config/tarvo/Kwendi.ini");
                },
                "home/.config", Kept::kNowhere, { "cannot be kept", "home/.config/tarvo/Kwendi.ini", "device" }, {} },
            { "homeThatDoesNotExist", [](const TempTree& t) { t.Fifo("program/Kwendi.ini"); }, "nohome/.config",
                Kept::kNowhere, { "cannot be kept", "program/Kwendi.ini", "FIFO", "nohome", "does not exist" },
                { "program/Kwendi.ini" } },
            { "fileWhereTheConfigFolderShouldBe",
                [](const TempTree& t) {
                    t.Folder("program/Kwendi.ini");
                    t.File("home/config", 3);
                },
                "home/config", Kept::kNowhere, { "cannot be kept", "home/config", "not a folder" }, {} },
            { "fileWhereTheTarvoFolderShouldBe",
                [](const TempTree& t) {
                    t.Folder("program/Kwendi.ini");
                    t.File("home/.config/tarvo", 3);
                },
                "home/.config", Kept::kNowhere, { "cannot be kept", "home/.config/tarvo", "not a folder" }, {} },
            { "danglingLinkBesideTheProgram",
                [](const TempTree& t) {
                    t.Folder("dotfiles");
                    t.Link("program/Kwendi.ini", "../dotfiles/Kwendi.ini");
                },
                "home/.config", Kept::kBeside, {}, {} },
        };
        return cases;
    }

    class MainFormSettingsPlaces : public MainFormSettingsTest, public ::testing::WithParamInterface<PlaceCase>
    {
    };

    // Start-up never blocks, never creates a file and says once what it could not use; the window
    // opens with its defaults; the close writes where the start-up said, or nothing at all.
    TEST_P(MainFormSettingsPlaces, OddPlacesAreSaidOnceAndNeverBlock)
    {
        const PlaceCase& c = GetParam();
        c.setUp(m_tree);
        std::vector<std::string> fifos;
        for (const std::string& fifo : c.fifos)
            fifos.push_back(At(fifo));
        const test::FifoWatchdog watchdog(fifos);
        const auto before = Snapshot(m_tree.Path());
        auto form = OpenChoosing(c.userConfig);
        ASSERT_TRUE(form);
        if (c.said.empty()) {
            EXPECT_TRUE(ShownMessages().empty()) << ShownMessages().front().toStdString();
        } else {
            ASSERT_EQ(ShownMessages().size(), 1U);
            const std::string message = ShownMessages().front().toStdString();
            for (const std::string& part : c.said) {
                const std::string named = part.find('/') == std::string::npos ? part : At(part);
                EXPECT_NE(message.find(named), std::string::npos) << named << " in: " << message;
            }
        }
        ExpectDefaults(*form);
        EXPECT_EQ(Snapshot(m_tree.Path()), before) << "start-up wrote nothing";

        ShownMessages().clear();
        form->close();
        form.reset();
        EXPECT_TRUE(ShownMessages().empty());
        switch (c.kept) {
        case Kept::kBeside:
            EXPECT_TRUE(fs::is_symlink(At("program/Kwendi.ini"))) << "the link the start-up found stays";
            EXPECT_EQ(ReadFile(fs::canonical(At("program/Kwendi.ini")).string()), kDefaultFile);
            break;
        case Kept::kPerUser:
            EXPECT_EQ(ReadFile(At("home/.config/tarvo/Kwendi.ini")), kDefaultFile);
            break;
        case Kept::kNowhere:
            EXPECT_EQ(Snapshot(m_tree.Path()), before) << "nothing is written at close";
            break;
        }
    }

    INSTANTIATE_TEST_SUITE_P(Places, MainFormSettingsPlaces, ::testing::ValuesIn(PlaceCases()),
        [](const auto& info) { return std::string(info.param.name); });

    // Dotfile managers link the settings file: the link stays, the file it names is replaced in
    // its own folder, and nothing is left beside either.
    TEST_F(MainFormSettingsTest, ALinkedSettingsFileStaysALink)
    {
        m_tree.Folder("dotfiles");
        WriteFile(At("dotfiles/Kwendi.ini"), "; mine\r\n[Page]\r\nTabSheet=1\r\n");
        m_tree.Link("home/.config/Kwendi.ini", "../../dotfiles/Kwendi.ini");
        for (int run = 0; run < 2; ++run) {
            auto form = OpenWith(At("home/.config/Kwendi.ini"));
            EXPECT_EQ(form->PageControl1->ActivePageIndex(), 1);
            form->close();
        }
        EXPECT_TRUE(fs::is_symlink(At("home/.config/Kwendi.ini")));
        EXPECT_EQ(fs::read_symlink(At("home/.config/Kwendi.ini")), "../../dotfiles/Kwendi.ini");
        EXPECT_EQ(ReadFile(At("dotfiles/Kwendi.ini")),
            "; mine\r\n[Page]\r\nTabSheet=1\r\n[Bounds]\r\nleft=0\r\nwidth=600\r\ntop=0\r\nheight=500\r\n"
            "[LastDir]\r\nStart with=C:\\\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(At("dotfiles")), fs::directory_iterator()), 1);
        EXPECT_EQ(std::distance(fs::directory_iterator(At("home/.config")), fs::directory_iterator()), 1);
        EXPECT_TRUE(ShownMessages().empty());
    }

    // Our lines take the line end the file already uses.
    TEST_F(MainFormSettingsTest, TheFileKeepsItsLineEnds)
    {
        for (const std::string eol : { "\n", "\r" }) {
            const std::string file = At("Kwendi.ini");
            WriteFile(file, "; hand-made" + eol + "[Page]" + eol + "TabSheet=1" + eol);
            auto form = OpenWith(file);
            form->close();
            EXPECT_EQ(ReadFile(file),
                "; hand-made" + eol + "[Page]" + eol + "TabSheet=1" + eol + "[Bounds]" + eol + "left=0" + eol
                    + "width=600" + eol + "top=0" + eol + "height=500" + eol + "[LastDir]" + eol + "Start with=C:\\"
                    + eol);
        }
    }

    // A folder name never holds a NUL: the system would read only the bytes before it, so such a
    // value names no folder and the fallback applies; it is neither shown nor written back.
    TEST_F(MainFormSettingsTest, AStartFolderHoldingANulIsNoFolder)
    {
        m_tree.Folder("real");
        const std::string file = At("Kwendi.ini");
        WriteFile(file, "[LastDir]\r\nStart with=" + At("real") + std::string(1, '\0') + "junk\r\n");
        const std::unique_ptr<FileSystem> host = MakeHostFileSystem();
        MainFormEnvironment env;
        env.fileSystem = host.get();
        env.settingsFileName = file;
        auto form = std::make_unique<TForm1>(std::move(env));
        EXPECT_EQ(form->CurrentDir(), "/");
        EXPECT_EQ(form->Label1->text(), QStringLiteral("/"));
        form->close();
        form.reset();
        EXPECT_NE(ReadFile(file).find("Start with=/\r\n"), std::string::npos) << ReadFile(file);
        EXPECT_EQ(ReadFile(file).find('\0'), std::string::npos);
    }

    // Through the injected calls, for what root cannot stage on a disk: the close is one
    // replacement; read-only places keep nothing and write nothing; a full disk is said once.
    TEST_F(MainFormSettingsTest, TheCloseWritesOnceOrNotAtAll)
    {
        const auto open = [this](MemoryProfileFileIo& io) {
            MainFormEnvironment env;
            env.fileSystem = &m_fs;
            env.executableFolder = "/program";
            env.userConfigFolder = "/home/.config";
            env.settingsIo = &io;
            return Open(std::move(env));
        };
        MemoryProfileFileIo io;
        io.AddFolder("/program");
        io.AddFile("/program/Kwendi.ini", "[LastDir]\r\nStart with=C:\\Data\r\n; mine\r\n[Bounds]\r\nleft=5\r\n");
        auto form = open(io);
        EXPECT_EQ(form->CurrentDir(), "C:\\Data");
        EXPECT_EQ(form->x(), 5);
        form->close();
        EXPECT_EQ(io.ReplaceCount(), 1);
        EXPECT_EQ(io.Text("/program/Kwendi.ini"),
            "[LastDir]\r\nStart with=C:\\Data\r\n; mine\r\n[Bounds]\r\nleft=5\r\nwidth=600\r\ntop=0\r\nheight=500\r\n"
            "[Page]\r\nTabSheet=0\r\n");
        EXPECT_TRUE(ShownMessages().empty());

        io.SetReplaceError(ENOSPC);
        form = open(io);
        form->PageControl1->SetActivePageIndex(2); // something to write
        form->close();
        form.reset();
        ASSERT_EQ(ShownMessages().size(), 1U);
        EXPECT_EQ(ShownMessages().front(), QStringLiteral("Unable to write to /program/Kwendi.ini"));
        EXPECT_EQ(io.ReplaceCount(), 1);

        ShownMessages().clear();
        MemoryProfileFileIo locked;
        locked.AddFolder("/program", false);
        locked.AddFolder("/home", false);
        form = open(locked);
        ASSERT_EQ(ShownMessages().size(), 1U);
        EXPECT_TRUE(ShownMessages().front().contains(QStringLiteral("cannot be kept")));
        ExpectDefaults(*form);
        form->close();
        form.reset();
        EXPECT_EQ(ShownMessages().size(), 1U);
        EXPECT_EQ(locked.ReplaceCount(), 0);
        EXPECT_EQ(locked.Inspect("/home/.config").kind, ProfileNodeKind::pnMissing);
    }

    // A temporary file of ours whose writer died (killed during a close) is removed at the next
    // start; one of a live process, or anything else, stays.
    TEST_F(MainFormSettingsTest, TemporaryFilesOfDeadWritersGoAtStart)
    {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        ASSERT_GT(child, 0);
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);
        const std::string dead = ".Kwendi.ini." + std::to_string(child) + "-3.tmp";
        const std::string live = ".Kwendi.ini." + std::to_string(::getppid()) + "-0.tmp";
        for (const std::string& name : { dead, live, std::string(".Kwendi.ini.x-1.tmp"), std::string("other.tmp") })
            WriteFile(At("program/" + name), "[Bounds]\r\n");
        auto form = OpenChoosing();
        form->close();
        EXPECT_FALSE(fs::exists(At("program/" + dead)));
        for (const std::string& name : { live, std::string(".Kwendi.ini.x-1.tmp"), std::string("other.tmp") })
            EXPECT_TRUE(fs::exists(At("program/" + name))) << name;
        EXPECT_EQ(ReadFile(At("program/Kwendi.ini")), kDefaultFile);
    }

} // namespace
} // namespace tarvo
