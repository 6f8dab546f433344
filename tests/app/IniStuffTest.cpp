#include "IniStuff.h"
#include "SystemPaths.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

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
        void SetUp() override
        {
            SetIniMessageSink([this](const std::string& message) { m_messages.push_back(message); });
        }
        void TearDown() override { SetIniMessageSink(nullptr); }

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
        std::vector<std::string> m_messages;
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

    TEST_F(IniStuffTest, FirstRunCreatesAnEmptyFileAndReadsDefaults)
    {
        EXPECT_EQ(ReadIniInteger(m_file, "Bounds", "width", 600), 600);
        EXPECT_TRUE(fs::is_regular_file(m_file));
        EXPECT_EQ(Bytes(), "");
        std::string start;
        ReadIniString(m_file, "LastDir", "Start with", start, "C:\\");
        EXPECT_EQ(start, "C:\\");
        EXPECT_TRUE(m_messages.empty());
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
        EXPECT_TRUE(fs::is_regular_file(file));

        const std::string deeper = m_folder + "a/b/";
        EXPECT_EQ(ErrorOf([&] { EnsureIniFile(deeper + "Kwendi.ini"); }), "Could not create " + deeper);
        EXPECT_FALSE(fs::exists(m_folder + "a"));

        Put("");
        const std::string underFile = m_file + "/sub/";
        EXPECT_EQ(ErrorOf([&] { EnsureIniFile(underFile + "Kwendi.ini"); }), "Could not create " + underFile);
        EXPECT_EQ(ErrorOf([&] { (void)ReadIniInteger(underFile + "Kwendi.ini", "A", "k", 1); }),
            "Could not create " + underFile);
    }

    TEST_F(IniStuffTest, FileThatCannotBeCreatedIsReportedAndReadsGiveDefaults)
    {
        fs::create_directory(m_file);
        EXPECT_EQ(ReadIniInteger(m_file, "Bounds", "width", 600), 600);
        std::string start;
        ReadIniString(m_file, "LastDir", "Start with", start, "C:\\");
        EXPECT_EQ(start, "C:\\");
        EXPECT_EQ(m_messages, std::vector<std::string>(2, "Could not create " + m_file));

        EXPECT_EQ(ErrorOf([&] { WriteIniInteger(m_file, "Bounds", "left", 1); }), "Unable to write to " + m_file);
        EXPECT_EQ(
            ErrorOf([&] { WriteIniString(m_file, "LastDir", "Start with", "x"); }), "Unable to write to " + m_file);
        EXPECT_EQ(m_messages.size(), 4U);
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

    TEST_F(IniStuffTest, SettingsFileFallsBackToThePerUserFolder)
    {
        const std::string user = m_folder + "home/.config/";
        EXPECT_EQ(SettingsFileName(m_folder, user), m_folder + "Kwendi.ini");
        EXPECT_EQ(SettingsFileName(m_folder.substr(0, m_folder.size() - 1), user), m_folder + "Kwendi.ini");
        EXPECT_FALSE(fs::exists(user));
        EXPECT_EQ(SettingsFileName(m_folder, user, m_folder.substr(0, m_folder.size() - 1)), user + "tarvo/Kwendi.ini")
            << "an installed program keeps its settings per user even in a writable folder";

        Put("");
        for (const std::string& exe : { m_folder + "missing/", m_file + "/" }) {
            const std::string chosen = SettingsFileName(exe, user);
            EXPECT_EQ(chosen, user + "tarvo/Kwendi.ini") << exe;
            EXPECT_TRUE(fs::is_directory(user));
            EnsureIniFile(chosen);
            EXPECT_TRUE(fs::is_regular_file(chosen));
        }

        const std::string blocked = m_file + "/config/";
        const std::string chosen = SettingsFileName(m_folder + "missing/", blocked);
        EXPECT_EQ(ErrorOf([&] { EnsureIniFile(chosen); }), "Could not create " + blocked + "tarvo/");
    }

    TEST(SettingsFileName, AnInstalledLayoutIsRecognisedWhateverTheRoot)
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
