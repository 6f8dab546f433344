#include "ProfileFile.h"
#include "FifoWatchdog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace tarvo
{
namespace
{

    namespace fs = std::filesystem;

    class ProfileFileTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            std::string pattern = (fs::temp_directory_path() / "tarvo-profile-XXXXXX").string();
            ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
            m_folder = pattern;
            m_file = (m_folder / "Kwendi.ini").string();
        }
        void TearDown() override { fs::remove_all(m_folder); }

        void Put(const std::string& bytes) const { std::ofstream(m_file, std::ios::binary) << bytes; }
        [[nodiscard]] std::string Bytes() const
        {
            std::ifstream in(m_file, std::ios::binary);
            return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
        }
        [[nodiscard]] std::vector<std::string> FolderNames() const
        {
            std::vector<std::string> names;
            for (const auto& entry : fs::directory_iterator(m_folder))
                names.push_back(entry.path().filename().string());
            return names;
        }

        fs::path m_folder;
        std::string m_file;
    };

    TEST_F(ProfileFileTest, WritesTheSettingsOfARunInFirstWriteOrder)
    {
        Put("");
        const std::vector<std::vector<std::string>> writes = { { "Bounds", "left", "225" },
            { "Bounds", "width", "783" }, { "Bounds", "top", "146" }, { "Bounds", "height", "540" },
            { "Page", "TabSheet", "2" }, { "LastDir", "Start with", "C:\\Windows\\" } };
        for (const auto& w : writes)
            ASSERT_TRUE(ProfileWriteString(m_file, w[0], w[1], w[2]));
        EXPECT_EQ(Bytes(),
            "[Bounds]\r\nleft=225\r\nwidth=783\r\ntop=146\r\nheight=540\r\n[Page]\r\nTabSheet=2\r\n"
            "[LastDir]\r\nStart with=C:\\Windows\\\r\n");
        for (const auto& w : writes)
            EXPECT_EQ(ProfileReadString(m_file, w[0], w[1]), w[2]);
    }

    struct ReadCase {
        const char* name;
        std::string content;
        std::string section;
        std::string key;
        std::optional<std::string> expected;
    };

    TEST_F(ProfileFileTest, ReadsWithTheClassicRules)
    {
        const std::vector<ReadCase> cases = {
            { "names ignore case and blanks", "[ Bounds ]\r\n  LEFT  =  12  \r\n", "bounds", " Left ", "12" },
            { "double quotes removed", "[S]\nk = \"  a b \"\n", "S", "k", "  a b " },
            { "single quotes removed", "[S]\nk='x'\n", "S", "k", "x" },
            { "only one pair removed", "[S]\nk=\"\"x\"\"\n", "S", "k", "\"x\"" },
            { "unmatched quotes kept", "[S]\nk=\"x'\n", "S", "k", "\"x'" },
            { "lone quote kept", "[S]\nk=\"\n", "S", "k", "\"" },
            { "empty value is empty text", "[S]\nk=\n", "S", "k", "" },
            { "missing key", "[S]\nk=1\n", "S", "j", std::nullopt },
            { "missing section", "[S]\nk=1\n", "T", "k", std::nullopt },
            { "comment is no key", "[S]\n;k=1\n", "S", "k", std::nullopt },
            { "line without equals is no key", "[S]\nk\n", "S", "k", std::nullopt },
            { "first key wins", "[S]\nk=1\nK=2\n", "S", "k", "1" },
            { "first section wins", "[S]\nk=1\n[s]\nk=3\nj=4\n", "S", "j", std::nullopt },
            { "keys before any section belong to none", "k=1\n[S]\n", "S", "k", std::nullopt },
            { "CR-only line ends", "[S]\rk=1\rj=2", "S", "j", "2" },
            { "LF-only line ends", "[S]\nk=1\nj=2\n", "S", "j", "2" },
            { "equals sign inside the value", "[S]\nk=a=b\n", "S", "k", "a=b" },
            { "byte order mark skipped", "\xEF\xBB\xBF[S]\nk=1\n", "S", "k", "1" },
            { "header without bracket opens nothing", "[S\nk=1\n", "S", "k", std::nullopt },
        };
        for (const ReadCase& c : cases) {
            Put(c.content);
            EXPECT_EQ(ProfileReadString(m_file, c.section, c.key), c.expected) << c.name;
        }
    }

    TEST_F(ProfileFileTest, ReadOfAMissingFileFindsNothing)
    {
        EXPECT_EQ(ProfileReadString(m_file, "S", "k"), std::nullopt);
        EXPECT_FALSE(fs::exists(m_file));
    }

    // Bytes that are not UTF-8 keep exactly 2,047 of them; in a UTF-8 value the character that
    // the cut would split goes whole.
    TEST_F(ProfileFileTest, CutsLongValuesWithoutSplittingACharacter)
    {
        const std::vector<std::pair<std::string, std::size_t>> cases = {
            { std::string(3000, 'a'), kProfileValueMax },
            { std::string(2046, 'a') + "\xC3\xA9", 2046 },
            { std::string(2045, 'a') + "\xF0\x9F\x98\x80", 2045 },
            { std::string(2040, 'a') + std::string(20, '\xA9'), kProfileValueMax },
            { "/" + std::string(2100, '\xA9'), kProfileValueMax },
            { std::string(2046, 'a') + "\xC3\xA9\xFF", kProfileValueMax },
        };
        for (const auto& [value, kept] : cases) {
            Put("[S]\nk=" + value + "\n");
            EXPECT_EQ(ProfileReadString(m_file, "S", "k"), value.substr(0, kept)) << value.size() << " bytes";
        }
    }

    struct WriteCase {
        const char* name;
        std::string before;
        std::string section;
        std::string key;
        std::string value;
        std::string after;
    };

    TEST_F(ProfileFileTest, WriteTouchesOnlyItsOwnLine)
    {
        const std::vector<WriteCase> cases = {
            { "foreign content kept, the file's first line break used",
                "; top\nloose=1\n\n[Other]\r\nx = y\n; note\n[A]\nx=1\n\n; tail\n", "A", "y", "2",
                "; top\nloose=1\n\n[Other]\r\nx = y\n; note\n[A]\nx=1\ny=2\n\n; tail\n" },
            { "new key right after the header of a keyless section", "[A]\n\n[B]\n", "a", "k", "v",
                "[A]\nk=v\n\n[B]\n" },
            { "new section after an unterminated line", "[A]\nx=1", "B", "k", "v", "[A]\nx=1\n[B]\nk=v\n" },
            { "new key after an unterminated key line", "[A]\rx=1", "A", "y", "2", "[A]\rx=1\ry=2\r" },
            { "a new CR line before an empty LF line keeps that line", "[A]\rx=1\n\n[B]\r", "A", "y", "2",
                "[A]\rx=1\ny=2\r\n\n[B]\r" },
            { "existing key replaced in place, spelling and line break kept", "[A]\n  Left = 1 \r\nz=2\n", "a", "LEFT",
                "5", "[A]\nLeft=5\r\nz=2\n" },
            { "first of duplicate keys replaced", "[A]\nk=1\nk=2\n", "A", "k", "9", "[A]\nk=9\nk=2\n" },
            { "first of duplicate sections gets the key", "[A]\nx=1\n[B]\n[a]\ny=2\n", "A", "y", "3",
                "[A]\nx=1\ny=3\n[B]\n[a]\ny=2\n" },
            { "keys before the first section kept", "k=1\n", "S", "k", "2", "k=1\n[S]\nk=2\n" },
            { "a file of one unterminated line gets CRLF", "; x", "S", "k", "2", "; x\r\n[S]\r\nk=2\r\n" },
            { "value with outer blanks quoted", "", "S", "k", " pad ", "[S]\r\nk=\" pad \"\r\n" },
            { "quoted value quoted again", "", "S", "k", "'q'", "[S]\r\nk=\"'q'\"\r\n" },
            { "empty value", "", "S", "k", "", "[S]\r\nk=\r\n" },
        };
        for (const WriteCase& c : cases) {
            Put(c.before);
            ASSERT_TRUE(ProfileWriteString(m_file, c.section, c.key, c.value)) << c.name;
            EXPECT_EQ(Bytes(), c.after) << c.name;
            EXPECT_EQ(ProfileReadString(m_file, c.section, c.key), c.value) << c.name;
        }
    }

    // A key written twice by hand is gone after one delete; nothing else moves.
    TEST_F(ProfileFileTest, DeleteRemovesEveryLineOfTheKeyInItsSection)
    {
        Put("[A]\r\nk=1\r\nj=2\r\nK=3\r\n[B]\r\nk=4");
        ASSERT_TRUE(ProfileDeleteKey(m_file, "a", "k"));
        EXPECT_EQ(Bytes(), "[A]\r\nj=2\r\n[B]\r\nk=4");
        ASSERT_TRUE(ProfileDeleteKey(m_file, "A", "absent"));
        EXPECT_EQ(Bytes(), "[A]\r\nj=2\r\n[B]\r\nk=4");
    }

    // Edits never change a line they do not touch, nor its line break, except where a removal
    // would put a lone CR right before the LF of an empty line: the CR becomes CRLF, or that
    // empty line would be read as part of the line before.
    TEST(ProfileFileText, EditsKeepEveryOtherLine)
    {
        struct EditCase {
            const char* name;
            std::string before;
            ProfileEdit edit;
            std::string after;
        };
        const std::vector<EditCase> cases = {
            { "delete after a lone CR keeps the empty line", "[A]\rk=1\n\n[B]\r",
                { ProfileEditKind::peDelete, "A", "k", {} }, "[A]\r\n\n[B]\r" },
            { "delete of two lines after a lone CR", "[A]\rk=1\nK=2\n\n", { ProfileEditKind::peDelete, "a", "K", {} },
                "[A]\r\n\n" },
            { "delete keeps the other lines' breaks", "[A]\rj=0\nk=1\r\nx\r",
                { ProfileEditKind::peDelete, "A", "k", {} }, "[A]\rj=0\nx\r" },
            { "a key written twice is written once at the end", "[A]\r\nk=1\r\nj=2\r\nk=3\r\n[B]\r\n",
                { ProfileEditKind::peWriteAtEnd, "A", "k", "9" }, "[A]\r\nj=2\r\nk=9\r\n[B]\r\n" },
            { "a key moved out from between a lone CR and an empty line", "[A]\rk=1\n\n",
                { ProfileEditKind::peWriteAtEnd, "A", "k", "v" }, "[A]\r\nk=v\r\n\n" },
            { "a refused value removes nothing", "[A]\nk=1\n", { ProfileEditKind::peWriteAtEnd, "A", "k", "a\rb" },
                "[A]\nk=1\n" },
        };
        for (const EditCase& c : cases) {
            std::string text = c.before;
            EXPECT_EQ(ApplyProfileEdit(text, c.edit), c.edit.value.find('\r') == std::string::npos) << c.name;
            EXPECT_EQ(text, c.after) << c.name;
        }
    }

    TEST_F(ProfileFileTest, DeleteFromAMissingFileCreatesNothing)
    {
        EXPECT_TRUE(ProfileDeleteKey(m_file, "A", "k"));
        EXPECT_FALSE(fs::exists(m_file));
    }

    TEST_F(ProfileFileTest, RefusedWritesLeaveTheFileAsItWas)
    {
        Put("[A]\nk=1\n");
        EXPECT_FALSE(ProfileWriteString(m_file, "A", "k", "two\nlines"));
        EXPECT_FALSE(ProfileWriteString(m_file, "A]", "k", "v"));
        EXPECT_FALSE(ProfileWriteString(m_file, "A", "k=", "v"));
        EXPECT_FALSE(ProfileWriteString(m_file, "A", " ", "v"));
        EXPECT_EQ(Bytes(), "[A]\nk=1\n");

        EXPECT_FALSE(ProfileWriteString((m_folder / "missing" / "x.ini").string(), "A", "k", "v"));
        fs::create_directory(m_folder / "dir.ini");
        EXPECT_FALSE(ProfileWriteString((m_folder / "dir.ini").string(), "A", "k", "v"));
        EXPECT_FALSE(ProfileDeleteKey((m_folder / "dir.ini").string(), "A", "k"));
    }

    // Anything but a regular file is refused without being opened, so a FIFO never blocks; a
    // dangling link gets no file from a read, and its target from a write.
    TEST_F(ProfileFileTest, NamesThatAreNoRegularFileAreRefusedWithoutBlocking)
    {
        const std::string fifo = (m_folder / "fifo.ini").string();
        const std::string socketName = (m_folder / "socket.ini").string();
        const std::string device = (m_folder / "device.ini").string();
        const std::string folder = (m_folder / "folder.ini").string();
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        socketName.copy(address.sun_path, sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
        ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0644, makedev(1, 3)), 0) << "a character device needs root";
        fs::create_directory(folder);
        const std::vector<std::pair<std::string, ProfileNodeKind>> names
            = { { fifo, ProfileNodeKind::pnFifo }, { socketName, ProfileNodeKind::pnSocket },
                  { device, ProfileNodeKind::pnDevice }, { folder, ProfileNodeKind::pnFolder } };

        const test::FifoWatchdog watchdog({ fifo });
        for (const auto& [name, kind] : names) {
            std::string text;
            EXPECT_EQ(HostProfileFileIo().Load(name, text).kind, kind) << name;
            EXPECT_EQ(ProfileReadString(name, "A", "k"), std::nullopt) << name;
            EXPECT_FALSE(ProfileWriteString(name, "A", "k", "v")) << name;
            EXPECT_FALSE(ProfileDeleteKey(name, "A", "k")) << name;
        }

        const fs::path link = m_folder / "link.ini";
        fs::create_symlink("target.ini", link);
        EXPECT_EQ(ProfileReadString(link.string(), "A", "k"), std::nullopt);
        EXPECT_FALSE(fs::exists(m_folder / "target.ini")) << "a read makes nothing";
        ASSERT_TRUE(ProfileWriteString(link.string(), "A", "k", "v"));
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(ProfileReadString((m_folder / "target.ini").string(), "A", "k"), "v");
    }

    TEST_F(ProfileFileTest, ReplacementKeepsModeAndLinksAndLeavesNoTemporaryFiles)
    {
        Put("[A]\nk=1\n");
        fs::permissions(m_file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        const fs::path link = m_folder / "link.ini";
        fs::create_symlink(m_file, link);
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(ProfileWriteString(link.string(), "A", "k", std::to_string(i)));
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(Bytes(), "[A]\nk=4\n");
        EXPECT_EQ(
            fs::status(m_file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        std::vector<std::string> names = FolderNames();
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string> { "Kwendi.ini", "link.ini" }));
    }

} // namespace
} // namespace tarvo
