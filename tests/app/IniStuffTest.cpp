#include "IniStuff.h"
#include "MemoryProfileFileIo.h"
#include "SystemPaths.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <vector>

extern char** environ;

namespace tarvo
{
namespace
{

    namespace fs = std::filesystem;

    // Sets an environment variable for one test and puts the old value back afterwards.
    class ScopedEnvironment
    {
    public:
        ScopedEnvironment(const char* name, const char* value)
            : m_name(name)
        {
            const char* old = std::getenv(name);
            m_hadOld = old != nullptr;
            m_old = old ? old : "";
            value ? ::setenv(name, value, 1) : ::unsetenv(name);
        }
        ~ScopedEnvironment() { m_hadOld ? ::setenv(m_name, m_old.c_str(), 1) : ::unsetenv(m_name); }
        ScopedEnvironment(const ScopedEnvironment&) = delete;
        ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    private:
        const char* m_name;
        bool m_hadOld = false;
        std::string m_old;
    };

    TEST(SystemPaths, UserConfigFolderFollowsTheEnvironment)
    {
        {
            ScopedEnvironment home("HOME", "/home/someone/");
            ScopedEnvironment config("XDG_CONFIG_HOME", "/cfg/place");
            EXPECT_EQ(UserConfigFolder(), "/cfg/place/");
        }
        {
            ScopedEnvironment home("HOME", "/home/someone/");
            ScopedEnvironment config("XDG_CONFIG_HOME", "relative/cfg");
            EXPECT_EQ(HomeFolder(), "/home/someone");
            EXPECT_EQ(UserConfigFolder(), "/home/someone/.config/");
        }
        {
            ScopedEnvironment home("HOME", nullptr);
            ScopedEnvironment config("XDG_CONFIG_HOME", nullptr);
            EXPECT_TRUE(HomeFolder().starts_with('/')) << "home from the password database";
        }
    }

    TEST(SystemPaths, ExecutableFolderHoldsTheRunningProgram)
    {
        const std::string folder = ExecutableFolder();
        ASSERT_TRUE(folder.ends_with('/'));
        EXPECT_EQ(fs::path(folder), fs::canonical("/proc/self/exe").parent_path() / "");
        EXPECT_TRUE(FolderIsWritable(fs::temp_directory_path().string()));
        EXPECT_FALSE(FolderIsWritable(folder + "no-such-folder"));
        EXPECT_FALSE(FolderIsWritable(fs::canonical("/proc/self/exe").string()));
    }

    class IniStuffTest : public ::testing::Test
    {
    protected:
        void Put(const std::string& bytes) const { std::ofstream(m_file, std::ios::binary) << bytes; }
        [[nodiscard]] std::string Bytes() const
        {
            std::ifstream in(m_file, std::ios::binary);
            return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
        }
        // The message an IniError carries, or "" when the call raised nothing.
        template <typename Call> [[nodiscard]] static std::string ErrorOf(Call call)
        {
            try {
                call();
            } catch (const IniError& error) {
                return error.what();
            }
            return {};
        }

        test::TempTree m_tree;
        std::string m_folder = m_tree.Path() + "/";
        std::string m_file = m_folder + "Kwendi.ini";
    };

    TEST(IniTextToInteger, FollowsTheIntegerRules)
    {
        constexpr int d = -77;
        const std::vector<std::pair<std::string, int>> cases = { { "0x200", 512 }, { "0X1a", 26 }, { "$1F", 31 },
            { "abc", d }, { "0x", d }, { "$", d }, { "", d }, { "-12", -12 }, { "+7", 7 }, { "007", 7 }, { "12abc", d },
            { "1 2", d }, { "-$1", d }, { "0x1G", d }, { "2147483647", 2147483647 }, { "2147483648", d },
            { "-2147483648", std::numeric_limits<int>::min() }, { "-2147483649", d }, { "99999999999999999999", d },
            { "0x7FFFFFFF", 2147483647 }, { "$FFFFFFFF", -1 }, { "0x80000000", std::numeric_limits<int>::min() },
            { "0x100000000", d }, { "0x0000000001", 1 } };
        for (const auto& [text, expected] : cases)
            EXPECT_EQ(IniTextToInteger(text, d), expected) << '"' << text << '"';
    }

    // Reading makes nothing: the file appears with the first write.
    TEST_F(IniStuffTest, FirstRunReadsDefaultsAndCreatesNothing)
    {
        EXPECT_EQ(ReadIniInteger(m_file, "Bounds", "width", 600), 600);
        std::string start;
        ReadIniString(m_file, "LastDir", "Start with", start, "C:\\");
        EXPECT_EQ(start, "C:\\");
        EXPECT_FALSE(fs::exists(m_file));
    }

    TEST_F(IniStuffTest, ValuesSurviveARun)
    {
        WriteIniInteger(m_file, "Bounds", "left", -5);
        WriteIniInteger(m_file, "Page", "TabSheet", -1);
        WriteIniString(m_file, "LastDir", "Start with", "/tmp/Temp");
        EXPECT_EQ(Bytes(), "[Bounds]\r\nleft=-5\r\n[Page]\r\nTabSheet=-1\r\n[LastDir]\r\nStart with=/tmp/Temp\r\n");
        EXPECT_EQ(ReadIniInteger(m_file, "bounds", "LEFT", 0), -5);
        EXPECT_EQ(ReadIniInteger(m_file, "Page", "TabSheet", 0), -1);
        std::string start;
        ReadIniString(m_file, "LastDir", "Start with", start, "C:\\");
        EXPECT_EQ(start, "/tmp/Temp");
    }

    TEST_F(IniStuffTest, EmptyValueIsNotTheDefault)
    {
        Put("[LastDir]\nStart with=\n[Bounds]\nwidth=abc\n");
        std::string start = "junk";
        ReadIniString(m_file, "LastDir", "Start with", start, "C:\\");
        EXPECT_EQ(start, "");
        EXPECT_EQ(ReadIniInteger(m_file, "Bounds", "width", 600), 600);
    }

    TEST_F(IniStuffTest, WriteIniStringMovesTheKeyToTheEndOfItsSection)
    {
        Put("[LastDir]\r\nStart with=a\r\nother=1\r\n; kept\r\n[Next]\r\n");
        WriteIniString(m_file, "LastDir", "Start with", "b");
        EXPECT_EQ(Bytes(), "[LastDir]\r\nother=1\r\nStart with=b\r\n; kept\r\n[Next]\r\n");
        WriteIniInteger(m_file, "LastDir", "other", 2);
        EXPECT_EQ(Bytes(), "[LastDir]\r\nother=2\r\nStart with=b\r\n; kept\r\n[Next]\r\n");
    }

    TEST_F(IniStuffTest, EnsureIniFileCreatesOneMissingFolderLevel)
    {
        const std::string file = m_folder + "tarvo/Kwendi.ini";
        EnsureIniFile(file);
        EXPECT_TRUE(fs::is_directory(m_folder + "tarvo"));
        EXPECT_FALSE(fs::exists(file)) << "the write that follows makes the file";

        const std::string deeper = m_folder + "a/b/";
        EXPECT_EQ(ErrorOf([&] { EnsureIniFile(deeper + "Kwendi.ini"); }), "Could not create " + deeper);
        EXPECT_FALSE(fs::exists(m_folder + "a"));

        Put("");
        const std::string underFile = m_file + "/sub/";
        EXPECT_EQ(ErrorOf([&] { EnsureIniFile(underFile + "Kwendi.ini"); }), "Could not create " + underFile);
        EXPECT_EQ(ReadIniInteger(underFile + "Kwendi.ini", "A", "k", 1), 1) << "a read makes nothing";
    }

    // The start-up check says it once; the reads give defaults and the writes raise.
    TEST_F(IniStuffTest, FileThatCannotBeCreatedIsReportedAndReadsGiveDefaults)
    {
        fs::create_directory(m_file);
        const SettingsPlace place = CheckSettingsPlace(m_file);
        EXPECT_EQ(place.fileName, "");
        EXPECT_EQ(place.message,
            "The settings cannot be kept (" + m_file
                + " cannot be used: it is a folder). Tarvo starts with its default settings and saves nothing when it "
                  "closes.");
        EXPECT_EQ(ReadIniInteger(m_file, "Bounds", "width", 600), 600);
        std::string start;
        ReadIniString(m_file, "LastDir", "Start with", start, "C:\\");
        EXPECT_EQ(start, "C:\\");

        EXPECT_EQ(ErrorOf([&] { WriteIniInteger(m_file, "Bounds", "left", 1); }), "Unable to write to " + m_file);
        EXPECT_EQ(
            ErrorOf([&] { WriteIniString(m_file, "LastDir", "Start with", "x"); }), "Unable to write to " + m_file);
        EXPECT_TRUE(fs::is_empty(m_file));
    }

    TEST_F(IniStuffTest, RefusedWriteRaisesAndKeepsTheFile)
    {
        Put("[LastDir]\nStart with=/home\n");
        EXPECT_EQ(ErrorOf([&] { WriteIniString(m_file, "LastDir", "Start with", "two\nlines"); }),
            "Unable to write to " + m_file);
        std::string start;
        ReadIniString(m_file, "LastDir", "Start with", start, "C:\\");
        EXPECT_EQ(start, "/home");
    }

    // A close killed at any moment leaves the file of one whole round of writes, never a mixture or
    // a lost key, and the next start removes what the killed writer left behind.
    TEST_F(IniStuffTest, ForcedKillsDuringTheCloseWriteLoseNothing)
    {
        std::mt19937 random(20);
        std::uniform_int_distribution<int> delayMicroseconds(0, 2000);
        int killsWithLeftovers = 0;
        for (int kill = 0; kill < 150; ++kill) {
            // Each writer counts from its own first round, so its first whole write is seen.
            const int first = (kill + 1) * 100000;
            char writer[] = TARVO_SETTINGS_WRITER;
            std::string firstText = std::to_string(first);
            char* argv[] = { writer, m_file.data(), firstText.data(), nullptr };
            pid_t child = 0;
            ASSERT_EQ(::posix_spawn(&child, writer, nullptr, nullptr, argv, environ), 0);
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (ReadIniInteger(m_file, "Page", "TabSheet", 0) < first && std::chrono::steady_clock::now() < deadline)
                std::this_thread::yield();
            ::usleep(static_cast<useconds_t>(delayMicroseconds(random)));
            ::kill(child, SIGKILL);
            ASSERT_EQ(::waitpid(child, nullptr, 0), child);

            std::string start;
            ReadIniString(m_file, "LastDir", "Start with", start, "missing");
            ASSERT_GE(std::atoi(start.c_str()), first) << "after kill " << kill << ":\n" << Bytes();
            for (const auto& [section, key] : std::vector<std::pair<std::string, std::string>> { { "Bounds", "left" },
                     { "Bounds", "width" }, { "Bounds", "top" }, { "Bounds", "height" }, { "Page", "TabSheet" } })
                ASSERT_EQ(std::to_string(ReadIniInteger(m_file, section, key, -1)), start)
                    << key << " after kill " << kill << ":\n"
                    << Bytes();
            if (std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()) > 1) {
                ++killsWithLeftovers;
                EXPECT_EQ(CheckSettingsPlace(m_file).fileName, m_file) << "the next start";
                EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1)
                    << "the start removed what the killed writer left";
            }
        }
        EXPECT_GT(killsWithLeftovers, 0) << "no kill came during a write: the test proves nothing";
        RecordProperty("killsDuringAWrite", killsWithLeftovers);
    }

    TEST_F(IniStuffTest, SettingsFileFallsBackToThePerUserFolder)
    {
        fs::create_directory(m_folder + "home");
        const std::string user = m_folder + "home/.config/";
        const auto chosen = [](const SettingsPlace& place) {
            EXPECT_EQ(place.message, "");
            return place.fileName;
        };
        EXPECT_EQ(chosen(ChooseSettingsPlace(m_folder, user)), m_folder + "Kwendi.ini");
        EXPECT_EQ(chosen(ChooseSettingsPlace(m_folder.substr(0, m_folder.size() - 1), user)), m_folder + "Kwendi.ini");
        EXPECT_FALSE(fs::exists(user));
        EXPECT_EQ(chosen(ChooseSettingsPlace(m_folder, user, m_folder.substr(0, m_folder.size() - 1))),
            user + "tarvo/Kwendi.ini")
            << "an installed program keeps its settings per user even in a writable folder";

        Put("");
        for (const std::string& exe : { m_folder + "missing/", m_file + "/" }) {
            const std::string file = chosen(ChooseSettingsPlace(exe, user));
            EXPECT_EQ(file, user + "tarvo/Kwendi.ini") << exe;
            EXPECT_TRUE(fs::is_directory(user)) << "the configuration folder is made when it is chosen";
            WriteIniInteger(file, "Page", "TabSheet", 1);
            EXPECT_EQ(ReadIniInteger(file, "Page", "TabSheet", 0), 1);
        }

        const std::string blocked = m_file + "/config/";
        const SettingsPlace nowhere = ChooseSettingsPlace(m_folder + "missing/", blocked);
        EXPECT_EQ(nowhere.fileName, "");
        EXPECT_NE(nowhere.message.find(m_file + " is not a folder"), std::string::npos) << nowhere.message;
    }

    // What root cannot stage on a real disk: folders nobody may write, files that fail to read.
    struct MemoryPlaceCase {
        const char* name;
        std::function<void(MemoryProfileFileIo&)> setUp; // on top of writable /program and /home/.config
        std::string userConfig;
        std::string chosen; // empty: nowhere
        std::vector<std::string> said; // what the message names; empty: no message
    };

    TEST(SettingsPlaces, WhatRootCannotStage)
    {
        const std::vector<MemoryPlaceCase> cases = {
            { "both folders read-only",
                [](MemoryProfileFileIo& io) {
                    io.AddFolder("/program", false);
                    io.AddFolder("/home/.config", false);
                },
                "/home/.config", "",
                { "cannot be kept", "the folder /program cannot be written",
                    "the folder /home/.config cannot be written" } },
            { "per-user file unreadable",
                [](MemoryProfileFileIo& io) {
                    io.AddFolder("/program", false);
                    io.AddFolder("/home/.config/tarvo");
                    io.AddFile("/home/.config/tarvo/Kwendi.ini", "[Page]\r\nTabSheet=1\r\n");
                    io.SetReadError("/home/.config/tarvo/Kwendi.ini", EIO);
                },
                "/home/.config", "",
                { "/home/.config/tarvo/Kwendi.ini cannot be used: it cannot be read: Input/output error" } },
            { "file beside the program unreadable",
                [](MemoryProfileFileIo& io) {
                    io.AddFile("/program/Kwendi.ini", "");
                    io.SetReadError("/program/Kwendi.ini", EACCES);
                },
                "/home/.config", "/home/.config/tarvo/Kwendi.ini",
                { "/program/Kwendi.ini cannot be used (it cannot be read: Permission denied)",
                    "kept in /home/.config/tarvo/Kwendi.ini" } },
            { "no home known", [](MemoryProfileFileIo& io) { io.AddFolder("/program", false); }, "", "",
                { "no home folder is known" } },
            { "config folder made in a writable home", [](MemoryProfileFileIo& io) { io.AddFolder("/program", false); },
                "/home/new-config", "/home/new-config/tarvo/Kwendi.ini", {} },
            { "home that may not be written",
                [](MemoryProfileFileIo& io) {
                    io.AddFolder("/program", false);
                    io.AddFolder("/locked", false);
                },
                "/locked/.config", "", { "the folder /locked cannot be written" } },
        };
        for (const MemoryPlaceCase& c : cases) {
            MemoryProfileFileIo io;
            io.AddFolder("/home");
            io.AddFolder("/home/.config");
            io.AddFolder("/program");
            c.setUp(io); // adding a name again replaces it
            const SettingsPlace place = ChooseSettingsPlace("/program/", c.userConfig, {}, io);
            EXPECT_EQ(place.fileName, c.chosen) << c.name;
            EXPECT_EQ(place.message.empty(), c.said.empty()) << c.name << ": " << place.message;
            for (const std::string& part : c.said)
                EXPECT_NE(place.message.find(part), std::string::npos)
                    << c.name << ": " << part << " in " << place.message;
            EXPECT_EQ(io.ReplaceCount(), 0) << c.name;
            if (!c.chosen.empty()) {
                EXPECT_EQ(io.Inspect(c.userConfig).kind, ProfileNodeKind::pnFolder) << c.name;
            }
        }
    }

    // The close's writes are one replacement; a value the file refuses is said and costs no other,
    // and a disk that refuses the replacement changes nothing.
    TEST(IniWriteBatch, OneReplacementWithEveryWriteTheFileCanHold)
    {
        MemoryProfileFileIo io;
        io.AddFolder("/s");
        io.AddFile("/s/Kwendi.ini", "[LastDir]\r\nStart with=/old\r\nother=1\r\n");
        IniWriteBatch batch;
        batch.WriteInteger("Bounds", "left", 7);
        batch.WriteString("LastDir", "Start with", "/new");
        batch.WriteString("LastDir", "other", "two\nlines");
        batch.WriteInteger("Page", "TabSheet", 2);
        EXPECT_THROW(batch.Commit("/s/Kwendi.ini", io), IniError);
        EXPECT_EQ(io.ReplaceCount(), 1);
        EXPECT_EQ(io.Text("/s/Kwendi.ini"),
            "[LastDir]\r\nother=1\r\nStart with=/new\r\n[Bounds]\r\nleft=7\r\n[Page]\r\nTabSheet=2\r\n");

        io.SetReplaceError(ENOSPC);
        IniWriteBatch full;
        full.WriteInteger("Bounds", "left", 8);
        try {
            full.Commit("/s/Kwendi.ini", io);
            ADD_FAILURE() << "a full disk raises";
        } catch (const IniError& error) {
            EXPECT_STREQ(error.what(), "Unable to write to /s/Kwendi.ini");
        }
        EXPECT_EQ(io.ReplaceCount(), 1);
    }

    TEST(SettingsPlaces, AnInstalledLayoutIsRecognisedWhateverTheRoot)
    {
        // Each case: what lies under the root (a trailing "/" makes a folder), the program's folder.
        const std::vector<std::tuple<std::vector<std::string>, std::string, bool>> cases = {
            { { "usr/bin/", "usr/share/tarvo/Tarvo.html" }, "usr/bin/", true },
            { { "opt/t/bin/", "opt/t/share/tarvo/Tarvo.html" }, "opt/t/bin", true },
            { { "build/src/app/Tarvo.html" }, "build/src/app/", false }, // the build tree
            { { "usr/bin/", "usr/share/tarvo/" }, "usr/bin/", false }, // no help file in the share folder
            { { "usr/bin/", "usr/share/tarvo/Tarvo.html/" }, "usr/bin/", false }, // a folder under its name
        };
        for (const auto& [entries, program, installed] : cases) {
            const test::TempTree root;
            for (const std::string& entry : entries) {
                const fs::path path = root.Path() + "/" + entry;
                fs::create_directories(entry.ends_with('/') ? path : path.parent_path());
                if (!entry.ends_with('/'))
                    std::ofstream(path) << "<html></html>";
            }
            const std::string folder = root.Path() + "/" + program;
            EXPECT_EQ(IsInstalledLayout(folder), installed) << program;
        }
        EXPECT_FALSE(IsInstalledLayout(""));
    }

} // namespace
} // namespace tarvo
