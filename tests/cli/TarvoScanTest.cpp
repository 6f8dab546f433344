// tarvo-scan as a user runs it: the built executable on a real temporary tree.
#include "HistoryDatabase.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace tarvo
{
namespace
{

    namespace fs = std::filesystem;
    using test::ReadFile;

    struct Outcome {
        int status = -1; // exit status, -1 when it did not exit normally
        std::string out;
        std::string err;
    };

    // A JSON reader just strict enough to prove the output is JSON (RFC 8259 grammar) and to
    // pull the entries back out. \udcXX comes back as the byte 0xXX, the inverse of the writer.
    class JsonReader
    {
    public:
        using Object = std::map<std::string, std::string>; // member -> string contents or number text

        explicit JsonReader(std::string text)
            : m_text(std::move(text))
        {
        }

        // {"folder": string, "entries": [flat objects]} and, with a comparison, "compared_with":
        // string; nothing after it, or false.
        bool ReadReport(std::string& folder, std::vector<Object>& entries, std::string* comparedWith = nullptr)
        {
            if (!Expect('{') || String() != "folder" || !Expect(':')) {
                return false;
            }
            folder = String();
            if (!Expect(',') || String() != "entries" || !Expect(':') || !Expect('[')) {
                return false;
            }
            if (!Expect(']')) {
                do {
                    if (!FlatObject(entries.emplace_back())) {
                        return false;
                    }
                } while (Expect(','));
                if (!Expect(']')) {
                    return false;
                }
            }
            if (comparedWith && (!Expect(',') || String() != "compared_with" || !Expect(':'))) {
                return false;
            }
            if (comparedWith) {
                *comparedWith = String();
            }
            return Expect('}') && Peek() == '\0' && m_ok;
        }

    private:
        bool FlatObject(Object& object)
        {
            if (!Expect('{')) {
                return false;
            }
            do {
                const std::string name = String();
                if (!Expect(':')) {
                    return false;
                }
                object[name] = Peek() == '"' ? String() : Number();
            } while (Expect(','));
            return Expect('}');
        }
        char Peek()
        {
            while (m_pos < m_text.size() && std::string_view(" \t\r\n").find(m_text[m_pos]) != std::string_view::npos) {
                ++m_pos;
            }
            return m_pos < m_text.size() ? m_text[m_pos] : '\0';
        }
        bool Expect(char c)
        {
            if (Peek() != c) {
                return false;
            }
            ++m_pos;
            return true;
        }
        std::string String()
        {
            std::string value;
            m_ok = m_ok && Expect('"');
            while (m_ok && m_pos < m_text.size() && m_text[m_pos] != '"') {
                const auto c = static_cast<unsigned char>(m_text[m_pos++]);
                m_ok = c >= 0x20;
                if (c != '\\') {
                    value.push_back(static_cast<char>(c));
                    continue;
                }
                const char escape = m_pos < m_text.size() ? m_text[m_pos++] : '\0';
                const std::string_view simple = "\"\\/bfnrt";
                if (const auto at = simple.find(escape); at != std::string_view::npos) {
                    value.push_back("\"\\/\b\f\n\r\t"[at]);
                } else if (escape == 'u' && m_pos + 4 <= m_text.size()) {
                    const unsigned code = std::stoul(m_text.substr(m_pos, 4), nullptr, 16);
                    m_pos += 4;
                    // The writer only escapes control characters and stray bytes.
                    m_ok = code < 0x20 || code == 0x7F || (code >= 0xDC80 && code <= 0xDCFF);
                    value.push_back(static_cast<char>(code & 0xFF));
                } else {
                    m_ok = false;
                }
            }
            m_ok = m_ok && Expect('"');
            return value;
        }
        std::string Number()
        {
            const std::size_t start = m_pos;
            while (m_pos < m_text.size()
                && std::string_view("-+.eE0123456789").find(m_text[m_pos]) != std::string_view::npos) {
                ++m_pos;
            }
            const std::string number = m_text.substr(start, m_pos - start);
            std::size_t used = 0;
            m_ok = m_ok && !number.empty() && (void(std::stod(number, &used)), used == number.size());
            return number;
        }

        std::string m_text;
        std::size_t m_pos = 0;
        bool m_ok = true;
    };

    class TarvoScan : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            m_root = fs::temp_directory_path() / ("tarvo-scan-test-" + std::to_string(getpid()));
            fs::remove_all(m_root);
            fs::create_directories(m_root / "alpha" / "deeper");
            fs::create_directories(m_root / "beta, \"quoted\"");
            fs::create_directories(m_root / "\xff");
            WriteFile(m_root / "alpha" / "deeper" / "big", 5000000); // sparse: only its length counts
            WriteFile(m_root / "beta, \"quoted\"" / "kb", 1536);
            WriteFile(m_root / "\xff" / "two", 2048);
            WriteFile(m_root / "own", 128);
        }
        void TearDown() override { fs::remove_all(m_root); }

        // rm -rf, which removes trees whose paths exceed PATH_MAX.
        static void RemoveTree(const fs::path& path)
        {
            std::string rm = "rm";
            std::string flags = "-rf";
            std::string target = path.string();
            char* argv[] = { rm.data(), flags.data(), target.data(), nullptr };
            pid_t child = 0;
            if (posix_spawnp(&child, "rm", nullptr, nullptr, argv, environ) == 0) {
                int wait = 0;
                waitpid(child, &wait, 0);
            }
        }

        static void WriteFile(const fs::path& path, std::uintmax_t bytes)
        {
            std::ofstream(path).close();
            fs::resize_file(path, bytes);
        }

        // Runs tarvo-scan with its output in files, so that no pipe can fill up and block it;
        // in the folder open as workingFolder when one is given.
        Outcome Run(const std::vector<std::string>& arguments, int workingFolder = -1) const
        {
            const fs::path outPath = m_root.string() + ".out";
            const fs::path errPath = m_root.string() + ".err";
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (workingFolder >= 0)
                posix_spawn_file_actions_addfchdir_np(&actions, workingFolder);
            std::vector<std::string> words { TARVO_SCAN_EXE };
            words.insert(words.end(), arguments.begin(), arguments.end());
            std::vector<char*> argv;
            for (std::string& word : words) {
                argv.push_back(word.data());
            }
            argv.push_back(nullptr);

            Outcome outcome;
            pid_t child = 0;
            if (posix_spawn(&child, TARVO_SCAN_EXE, &actions, nullptr, argv.data(), environ) == 0) {
                int wait = 0;
                waitpid(child, &wait, 0);
                outcome.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
            }
            posix_spawn_file_actions_destroy(&actions);
            outcome.out = ReadFile(outPath.string());
            outcome.err = ReadFile(errPath.string());
            fs::remove(outPath);
            fs::remove(errPath);
            return outcome;
        }

        fs::path m_root;
    };

    TEST_F(TarvoScan, JsonReportParsesAndKeepsEveryName)
    {
        const Outcome outcome = Run({ "--format=json", m_root.string() });
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "");

        std::string folder;
        std::vector<JsonReader::Object> entries;
        ASSERT_TRUE(JsonReader(outcome.out).ReadReport(folder, entries)) << outcome.out;
        EXPECT_EQ(folder, m_root.string());
        std::map<std::string, JsonReader::Object> byName;
        for (const JsonReader::Object& entry : entries) {
            byName[entry.at("name")] = entry;
            EXPECT_EQ(entry.at("path"), (m_root / entry.at("name")).string());
        }
        ASSERT_EQ(byName.size(), 4u) << outcome.out;
        EXPECT_EQ(byName["alpha"]["bytes"], "5000000");
        EXPECT_EQ(byName["alpha"]["mb"], "4.77");
        EXPECT_EQ(byName["alpha"]["kb"], "4882.81");
        EXPECT_EQ(byName["beta, \"quoted\""]["kb"], "1.5");
        EXPECT_EQ(byName["\xff"]["bytes"], "2048");
        EXPECT_EQ(byName["<All files in this folder>"]["bytes"], "128");
        EXPECT_EQ(byName["<All files in this folder>"]["kb"], "0.12");
        EXPECT_EQ(entries.back().at("name"), "<All files in this folder>");
    }

    TEST_F(TarvoScan, CsvStartsWithItsHeaderAndQuotesOddNames)
    {
        const Outcome outcome = Run({ "--format", "csv", m_root.string() });
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_TRUE(outcome.out.starts_with("name,bytes,size_mb,size_kb,path\r\n")) << outcome.out;
        EXPECT_NE(outcome.out.find("\r\n\"beta, \"\"quoted\"\"\",1536,0,1.5,"), std::string::npos) << outcome.out;
    }

    TEST_F(TarvoScan, TextIsTheDefaultAndARelativeFolderWorks)
    {
        const fs::path previous = fs::current_path();
        fs::current_path(m_root);
        const Outcome outcome = Run({ "alpha" });
        fs::current_path(previous);
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        std::istringstream lines(outcome.out);
        std::string header;
        std::string deeper;
        std::getline(lines, header);
        std::getline(lines, deeper);
        EXPECT_TRUE(header.starts_with("Names")) << header;
        EXPECT_TRUE(deeper.starts_with("deeper")) << deeper;
        EXPECT_TRUE(deeper.ends_with((m_root / "alpha" / "deeper").string())) << deeper;
    }

    TEST_F(TarvoScan, MissingFolderIsNamedOnOneLineWithTheSystemsReason)
    {
        const std::pair<fs::path, std::string> cases[] = {
            { m_root / "missing", "No such file or directory" }, { m_root / "own", "Not a directory" },
            { m_root / std::string(300, 'x'), "File name too long" }, // one name past NAME_MAX
        };
        for (const auto& [notFolder, reason] : cases) {
            const Outcome outcome = Run({ notFolder.string() });
            EXPECT_EQ(outcome.status, 2);
            EXPECT_EQ(outcome.err, "tarvo-scan: cannot open " + notFolder.string() + ": " + reason + "\n");
            EXPECT_EQ(outcome.out, "");
        }
    }

    // A folder whose path is longer than PATH_MAX is measured as du measures it: from inside it
    // (".") and by its full path.
    TEST_F(TarvoScan, FoldersPastPathMaxAreMeasured)
    {
        const std::string name(250, 'n');
        std::string deep = m_root.string();
        int folder = open(m_root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int i = 0; i < 20 && folder >= 0; ++i) { // made relative to descriptors: no path is that long
            mkdirat(folder, name.c_str(), 0755);
            const int next = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            close(folder);
            folder = next;
            deep += "/" + name;
        }
        ASSERT_GE(folder, 0);
        ASSERT_GT(deep.size(), static_cast<std::size_t>(PATH_MAX));
        ASSERT_EQ(mkdirat(folder, "sub", 0755), 0);
        for (const auto& [file, bytes] : { std::pair("sub/f", 4321), std::pair("own", 5) }) {
            const int fd = openat(folder, file, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            EXPECT_EQ(ftruncate(fd, bytes), 0);
            close(fd);
        }
        const std::string expected = "name,bytes,size_mb,size_kb,path\r\nsub,4321,0,4.22," + deep
            + "/sub\r\n<All files in this folder>,5,0,0," + deep + "/<All files in this folder>\r\n";
        for (const Outcome& outcome : { Run({ "--format=csv", "." }, folder), Run({ "--format=csv", deep }) }) {
            EXPECT_EQ(outcome.status, 0) << outcome.err;
            EXPECT_EQ(outcome.out, expected);
        }
        close(folder);
        // GNU rm copes with the chain; fs::remove_all in TearDown would not.
        RemoveTree(m_root / name);
    }

    TEST_F(TarvoScan, BadUsageFailsWithAHintToHelp)
    {
        const std::vector<std::string> cases[]
            = { {}, { "--bogus", m_root.string() }, { m_root.string(), m_root.string() }, { "--format=xml", "." } };
        for (const std::vector<std::string>& arguments : cases) {
            const Outcome outcome = Run(arguments);
            EXPECT_EQ(outcome.status, 2);
            EXPECT_TRUE(outcome.err.starts_with("tarvo-scan: ")) << outcome.err;
            EXPECT_NE(outcome.err.find("--help"), std::string::npos) << outcome.err;
            EXPECT_EQ(outcome.out, "");
        }
    }

    TEST_F(TarvoScan, CompareWithLastReadsTheHistoryInTheUsersStateFolder)
    {
        const fs::path state = m_root.string() + ".state";
        {
            HistoryDatabase history((state / "tarvo" / "history.sqlite").string());
            const HistoryRecord earlier { m_root.string(), 1'700'000'000'000,
                { { HistoryEntryKind::hekFolder, "alpha", 1000000 }, { HistoryEntryKind::hekFolder, "gone one", 5 },
                    { HistoryEntryKind::hekFiles, "<All files in this folder>", 128 } } };
            ASSERT_EQ(history.Record(earlier), HistoryStatus::hsDone);
        }
        const char* previous = getenv("XDG_STATE_HOME");
        const std::string kept = previous ? previous : "";
        setenv("XDG_STATE_HOME", state.c_str(), 1);
        const Outcome outcome = Run({ "--format=json", "--compare-with=last", m_root.string() });
        previous ? setenv("XDG_STATE_HOME", kept.c_str(), 1) : unsetenv("XDG_STATE_HOME");
        fs::remove_all(state);

        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_TRUE(outcome.err.starts_with("tarvo-scan: change since the analysis of 2023-11-")) << outcome.err;
        std::string folder;
        std::string comparedWith;
        std::vector<JsonReader::Object> entries;
        ASSERT_TRUE(JsonReader(outcome.out).ReadReport(folder, entries, &comparedWith)) << outcome.out;
        EXPECT_EQ(comparedWith, "2023-11-14T22:13:20Z");
        std::map<std::string, JsonReader::Object> byName;
        for (const JsonReader::Object& entry : entries) {
            byName[entry.at("name")] = entry;
        }
        EXPECT_EQ(byName["alpha"]["change_bytes"], "4000000");
        EXPECT_EQ(byName["alpha"]["change"], "+3.8");
        EXPECT_EQ(byName["\xff"]["change"], "new");
        EXPECT_EQ(byName["<All files in this folder>"]["change"], "0.0");
        EXPECT_EQ(byName["gone one"]["change"], "gone");
        EXPECT_EQ(byName["gone one"]["bytes"], "0");
    }

    TEST_F(TarvoScan, HelpDocumentsEveryOption)
    {
        const Outcome outcome = Run({ "--help" });
        EXPECT_EQ(outcome.status, 0);
        for (const char* word : { "--free-space", "--format", "text", "csv", "json", "--compare-with=last",
                 "history.sqlite", "-h, --help", "--version", "\\udcXX", "apparent", "64-bit", "never followed" }) {
            EXPECT_NE(outcome.out.find(word), std::string::npos) << word;
        }
        EXPECT_EQ(Run({ "--version" }).out.rfind("tarvo-scan ", 0), 0u);
    }

} // namespace
} // namespace tarvo
