#include "ScanReport.h"

#include "HistoryDatabase.h"
#include "MemoryFileSystem.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <memory>

#include <cerrno>
#include <functional>
#include <limits>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

namespace tarvo
{
namespace
{

    std::string FileBytes(const std::string& name)
    {
        std::ifstream in(name, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    struct Row {
        std::string path;
        std::string mb;
        std::string kb;
        std::int64_t bytes;
    };

    // A scan whose lists are filled by hand, the way Calculate leaves them.
    class HandFilledScan : public ::testing::Test
    {
    protected:
        std::string Report(const std::string& folder, const std::vector<Row>& rows, ReportFormat format)
        {
            m_scan.Folder = folder;
            for (const Row& row : rows) {
                m_scan.PathList.push_back(row.path);
                m_scan.MBList.push_back(row.mb);
                m_scan.KBList.push_back(row.kb);
                m_scan.ByteList.push_back(row.bytes);
            }
            return FormatScanReport(m_scan, format, PathStyle::Posix());
        }

        MemoryFileSystem m_fileSystem { PathStyle::Posix() };
        TDirSize m_scan { m_fileSystem, FormatSettings::Invariant() };
    };

    // Texts with a "," separator, as a German user's scan writes them; odd names on purpose.
    const std::vector<Row> kGermanScan = {
        { "/data/M\xc3\xbcsik", "1,5", "1536", 1572864 },
        { "/data/a,\"b\"", "0", "0,5", 512 },
        { "/data/line\nbreak", "0", "0", 0 },
        { "/data/<All files in this folder>", "12345,67", "12641966,08", 12945373266 },
    };

    TEST_F(HandFilledScan, TextAlignsColumnsByCharactersAndKeepsTheScannersTexts)
    {
        EXPECT_EQ(Report("/data", kGermanScan, ReportFormat::rfText),
            "Names                        Size MB      Size KB  Full Path\n"
            "M\xc3\xbcsik                            1,5         1536  /data/M\xc3\xbcsik\n"
            "a,\"b\"                              0          0,5  /data/a,\"b\"\n"
            "line?break                         0            0  /data/line?break\n"
            "<All files in this folder>  12345,67  12641966,08  /data/<All files in this folder>\n");
    }

    TEST_F(HandFilledScan, CsvQuotesFieldsAndDerivesInvariantSizesFromBytes)
    {
        EXPECT_EQ(Report("/data/", kGermanScan, ReportFormat::rfCsv),
            "name,bytes,size_mb,size_kb,path\r\n"
            "M\xc3\xbcsik,1572864,1.5,1536,/data/M\xc3\xbcsik\r\n"
            "\"a,\"\"b\"\"\",512,0,0.5,\"/data/a,\"\"b\"\"\"\r\n"
            "\"line\nbreak\",0,0,0,\"/data/line\nbreak\"\r\n"
            "<All files in this folder>,12945373266,12345.67,12641966.08,/data/<All files in this folder>\r\n");
    }

    TEST_F(HandFilledScan, JsonEscapesNamesAndWritesSizesAsNumbers)
    {
        const std::vector<Row> rows = {
            { "/data/\xff", "0", "2", 2048 },
            { "/data/a,\"b\"\n", "0", "0,12", 128 },
        };
        EXPECT_EQ(Report("/data", rows, ReportFormat::rfJson),
            "{\n"
            "  \"folder\": \"/data\",\n"
            "  \"entries\": [\n"
            "    {\"name\": \"\\udcff\", \"path\": \"/data/\\udcff\", \"bytes\": 2048, \"mb\": 0, \"kb\": 2},\n"
            "    {\"name\": \"a,\\\"b\\\"\\n\", \"path\": \"/data/a,\\\"b\\\"\\n\", \"bytes\": 128, \"mb\": 0, "
            "\"kb\": 0.12}\n"
            "  ]\n"
            "}\n");
    }

    TEST_F(HandFilledScan, EmptyListsStillGiveAWholeReport)
    {
        EXPECT_EQ(Report("/", {}, ReportFormat::rfJson), "{\n  \"folder\": \"/\",\n  \"entries\": []\n}\n");
        EXPECT_EQ(Report("/", {}, ReportFormat::rfCsv), "name,bytes,size_mb,size_kb,path\r\n");
    }

    TEST_F(HandFilledScan, ListsOfDifferentLengthsAreRefused)
    {
        m_scan.PathList = { "/data/a", "/data/b" };
        m_scan.MBList = { "0", "0" };
        m_scan.KBList = { "0", "0" };
        m_scan.ByteList = { 0 };
        EXPECT_THROW((void)FormatScanReport(m_scan, ReportFormat::rfText, PathStyle::Posix()), std::invalid_argument);
    }

    TEST(EntryName, TakesTheFolderOffTheFront)
    {
        struct Case {
            const PathStyle& style;
            const char* path;
            const char* folder;
            const char* name;
        };
        const Case cases[] = {
            { PathStyle::Posix(), "/data/Sub", "/data", "Sub" },
            { PathStyle::Posix(), "/data/Sub", "/data/", "Sub" },
            { PathStyle::Posix(), "/<Free Space>", "/", "<Free Space>" },
            { PathStyle::Posix(), "/database/x", "/data", "/database/x" }, // a longer name is not the folder
            { PathStyle::Posix(), "/elsewhere/x", "/data", "/elsewhere/x" },
            { PathStyle::Windows(), "C:\\Data\\Sub", "C:\\Data", "Sub" },
            { PathStyle::Windows(), "C:\\<All files in this folder>", "C:\\", "<All files in this folder>" },
        };
        for (const Case& c : cases) {
            EXPECT_EQ(EntryName(c.path, c.folder, c.style), c.name) << c.path << " in " << c.folder;
        }
    }

    TEST(JsonQuoted, EscapesWhatJsonForbidsAndEveryByteThatIsNotUtf8)
    {
        const std::pair<std::string, std::string> cases[] = {
            { "plain", "\"plain\"" }, { "q\"b\\s/", "\"q\\\"b\\\\s/\"" },
            { "\t\r\n\b\f\x01\x1f", "\"\\t\\r\\n\\b\\f\\u0001\\u001f\"" }, { "\x7f", "\"\\u007f\"" },
            { "\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80", "\"\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80\"" }, // é, 日, 😀
            { "\xff", "\"\\udcff\"" }, { "a\xc3", "\"a\\udcc3\"" }, // cut short at the end
            { "\xe6\x97z", "\"\\udce6\\udc97z\"" }, // cut short before another character
            { "\xc0\xaf", "\"\\udcc0\\udcaf\"" }, // overlong "/"
            { "\xed\xb3\xbf", "\"\\udced\\udcb3\\udcbf\"" }, // an encoded surrogate is no character
            { "\xf4\x90\x80\x80", "\"\\udcf4\\udc90\\udc80\\udc80\"" }, // past U+10FFFF
            { "\x80", "\"\\udc80\"" }, // a continuation byte alone
        };
        for (const auto& [text, quoted] : cases) {
            EXPECT_EQ(JsonQuoted(text), quoted) << text;
        }
    }

    TEST(DisplayWidth, CountsCodePointsAndStrayBytes)
    {
        const std::pair<std::string, std::size_t> cases[] = {
            { "", 0 },
            { "abc", 3 },
            { "M\xc3\xbcsik", 5 },
            { "\xe6\x97\xa5\xe6\x9c\xac", 2 },
            { "\xf0\x9f\x98\x80", 1 },
            { "\xff\xfe", 2 },
            { "\xe6\x97", 2 },
        };
        for (const auto& [text, width] : cases) {
            EXPECT_EQ(DisplayWidth(text), width) << text;
        }
    }

    TEST(CsvField, QuotesOnlyWhenNeeded)
    {
        const std::pair<std::string, std::string> cases[] = {
            { "plain name", "plain name" },
            { "", "" },
            { "a,b", "\"a,b\"" },
            { "say \"hi\"", "\"say \"\"hi\"\"\"" },
            { "cr\r", "\"cr\r\"" },
            { "lf\n", "\"lf\n\"" },
            { "\xff;", "\xff;" },
        };
        for (const auto& [text, field] : cases) {
            EXPECT_EQ(CsvField(text), field) << text;
        }
    }

    TEST(OneLine, ReplacesControlCharacters) { EXPECT_EQ(OneLine("a\nb\tc\x7f\xc3\xbc"), "a?b?c?\xc3\xbc"); }

    TEST(ParseScanArguments, ReadsOptionsAndTheFolder)
    {
        struct Case {
            std::vector<std::string> arguments;
            ScanCommand::Action action;
            ReportFormat format;
            bool freeSpace;
            const char* folder;
        };
        const Case cases[] = {
            { { "/data" }, ScanCommand::caScan, ReportFormat::rfText, false, "/data" },
            { { "--free-space", "--format=csv", "/" }, ScanCommand::caScan, ReportFormat::rfCsv, true, "/" },
            { { "/x", "--format", "json" }, ScanCommand::caScan, ReportFormat::rfJson, false, "/x" },
            { { "--format=json", "--format=text", "x" }, ScanCommand::caScan, ReportFormat::rfText, false, "x" },
            { { "--", "--free-space" }, ScanCommand::caScan, ReportFormat::rfText, false, "--free-space" },
            { { "-" }, ScanCommand::caScan, ReportFormat::rfText, false, "-" },
            { { "--help", "--bogus" }, ScanCommand::caHelp, ReportFormat::rfText, false, "" },
            { { "/x", "-h" }, ScanCommand::caHelp, ReportFormat::rfText, false, "/x" },
            { { "--version" }, ScanCommand::caVersion, ReportFormat::rfText, false, "" },
        };
        for (const Case& c : cases) {
            const ScanCommand command = ParseScanArguments(c.arguments);
            EXPECT_EQ(command.action, c.action) << c.arguments.front();
            EXPECT_EQ(command.format, c.format) << c.arguments.front();
            EXPECT_EQ(command.includeFreeSpace, c.freeSpace) << c.arguments.front();
            EXPECT_EQ(command.folder, c.folder) << c.arguments.front();
        }
    }

    TEST(ParseScanArguments, ExplainsBadUsageOnOneLine)
    {
        const std::pair<std::vector<std::string>, const char*> cases[] = {
            { {}, "no folder given" },
            { { "--free-space" }, "no folder given" },
            { { "a", "b" }, "more than one folder given: 'a' and 'b'" },
            { { "--bogus", "/x" }, "unknown option '--bogus'" },
            { { "-x", "/x" }, "unknown option '-x'" },
            { { "--free-space=yes", "/x" }, "unknown option '--free-space=yes'" },
            { { "--format=xml", "/x" }, "unknown format 'xml': use text, csv or json" },
            { { "/x", "--format" }, "option '--format' needs a value: text, csv or json" },
            { { "" }, "the folder name is empty" },
            { { "--bogus\nline", "/x" }, "unknown option '--bogus?line'" },
            { { "--bogus", "--help" }, "unknown option '--bogus'" },
            { { "--compare-with=first", "/x" }, "unknown comparison 'first': use last" },
            { { "/x", "--compare-with" }, "option '--compare-with' needs a value: last" },
        };
        for (const auto& [arguments, error] : cases) {
            const ScanCommand command = ParseScanArguments(arguments);
            EXPECT_EQ(command.action, ScanCommand::caUsageError) << error;
            EXPECT_EQ(command.error, error);
        }
    }

    // --compare-with=last reads the newest kept analysis of the folder and changes nothing.
    TEST(RunTarvoScan, ComparesWithTheLastRecordedAnalysisInEveryFormat)
    {
        MemoryFileSystem fileSystem(PathStyle::Posix());
        fileSystem.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 0);
        fileSystem.AddFile("/data/grow/file", 3 * 1048576);
        fileSystem.AddFile("/data/new\xff/file", 1048576);
        fileSystem.AddFile("/data/own", 128);
        test::TempTree tree;
        const std::string history = tree.Path() + "/history.sqlite";
        const auto run = [&](const std::string& format, std::string* errors = nullptr) {
            std::ostringstream out;
            std::ostringstream err;
            EXPECT_EQ(
                RunTarvoScan({ "--compare-with=last", "--format=" + format, "/data/" }, fileSystem, out, err, history),
                0);
            if (errors)
                *errors = err.str();
            return out.str();
        };

        std::string errors;
        EXPECT_EQ(run("csv", &errors),
            "name,bytes,size_mb,size_kb,path\r\n"
            "grow,3145728,3,3072,/data/grow\r\n"
            "new\xff,1048576,1,1024,/data/new\xff\r\n"
            "<All files in this folder>,128,0,0.12,/data/<All files in this folder>\r\n");
        EXPECT_EQ(errors, "tarvo-scan: no earlier analysis of /data/ is recorded; nothing to compare with\n");
        struct stat status {
        };
        EXPECT_NE(stat(history.c_str(), &status), 0) << "reading made no history";

        {
            HistoryDatabase database(history);
            const auto record = [](std::int64_t time, std::int64_t growBytes) {
                return HistoryRecord { "/data", time,
                    { { HistoryEntryKind::hekFolder, "grow", growBytes }, { HistoryEntryKind::hekFolder, "old", 2048 },
                        { HistoryEntryKind::hekFiles, "<All files in this folder>", 128 } } };
            };
            ASSERT_EQ(database.Record(record(1'000'000'000'000, 0)), HistoryStatus::hsDone);
            ASSERT_EQ(database.Record(record(1'700'000'000'000, 1048576)), HistoryStatus::hsDone);
        }
        const std::string kept = FileBytes(history);
        EXPECT_EQ(run("csv", &errors),
            "name,bytes,size_mb,size_kb,path,change_bytes,change\r\n"
            "grow,3145728,3,3072,/data/grow,2097152,+2.0\r\n"
            "new\xff,1048576,1,1024,/data/new\xff,1048576,new\r\n"
            "<All files in this folder>,128,0,0.12,/data/<All files in this folder>,0,0.0\r\n"
            "old,0,0,0,/data/old,-2048,gone\r\n");
        EXPECT_TRUE(errors.starts_with("tarvo-scan: change since the analysis of ")) << errors;
        EXPECT_EQ(run("json"),
            "{\n"
            "  \"folder\": \"/data/\",\n"
            "  \"entries\": [\n"
            "    {\"name\": \"grow\", \"path\": \"/data/grow\", \"bytes\": 3145728, \"mb\": 3, \"kb\": 3072, "
            "\"change_bytes\": 2097152, \"change\": \"+2.0\"},\n"
            "    {\"name\": \"new\\udcff\", \"path\": \"/data/new\\udcff\", \"bytes\": 1048576, \"mb\": 1, "
            "\"kb\": 1024, \"change_bytes\": 1048576, \"change\": \"new\"},\n"
            "    {\"name\": \"<All files in this folder>\", \"path\": \"/data/<All files in this folder>\", "
            "\"bytes\": 128, \"mb\": 0, \"kb\": 0.12, \"change_bytes\": 0, \"change\": \"0.0\"},\n"
            "    {\"name\": \"old\", \"path\": \"/data/old\", \"bytes\": 0, \"mb\": 0, \"kb\": 0, "
            "\"change_bytes\": -2048, \"change\": \"gone\"}\n"
            "  ],\n"
            "  \"compared_with\": \"2023-11-14T22:13:20Z\"\n"
            "}\n");
        const std::string text = run("text");
        EXPECT_NE(text.find("Change  Full Path\n"), std::string::npos) << text;
        EXPECT_NE(text.find("gone  /data/old\n"), std::string::npos) << text;
        EXPECT_EQ(FileBytes(history), kept) << "read only";
    }

    TEST(RunTarvoScan, AddsTheFreeSpaceOfAVolumeRoot)
    {
        MemoryFileSystem fileSystem(PathStyle::Posix());
        fileSystem.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 5000000);
        fileSystem.AddFile("/sub/file", 1536);
        fileSystem.AddFile("/own", 128);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunTarvoScan({ "--free-space", "--format=csv", "/" }, fileSystem, out, err), 0);
        EXPECT_EQ(out.str(),
            "name,bytes,size_mb,size_kb,path\r\n"
            "sub,1536,0,1.5,/sub\r\n"
            "<All files in this folder>,128,0,0.12,/<All files in this folder>\r\n"
            "<Free Space>,5000000,4.77,4882.81,/<Free Space>\r\n");
        EXPECT_EQ(err.str(), "");
    }

    // Folders that cannot be read count 0 as before, but each is named on stderr and the exit
    // status says the totals are incomplete.
    TEST(RunTarvoScan, NamesEveryFolderItCouldNotReadAndExitsWithOne)
    {
        struct Case {
            const char* what;
            std::function<void(MemoryFileSystem&)> spoil;
            std::string err;
            std::string firstRow; // the CSV row after the header
        };
        const std::vector<Case> cases = {
            { "an unreadable subfolder", [](MemoryFileSystem& fs) { fs.SetUnreadable("/data/locked", true); },
                "tarvo-scan: cannot read /data/locked: Permission denied\n", "keep,3000,0,2.93,/data/keep\r\n" },
            { "an unreadable FOLDER", [](MemoryFileSystem& fs) { fs.SetUnreadable("/data", true); },
                "tarvo-scan: cannot read /data: Permission denied\n",
                "<All files in this folder>,0,0,0,/data/<All files in this folder>\r\n" },
            { "a folder gone between listing and opening",
                [](MemoryFileSystem& fs) {
                    // The listing's last read removes a folder it has already reported.
                    auto calls = std::make_shared<int>(0);
                    fs.SetReadHook([&fs, calls](const std::string& path) {
                        if ((path == "/data" || path == "/data/") && ++*calls == 2)
                            fs.RemoveEntry("/data/keep");
                    });
                },
                "tarvo-scan: cannot read /data/keep: No such file or directory\n", "keep,0,0,0,/data/keep\r\n" },
            { "more than twenty",
                [](MemoryFileSystem& fs) {
                    for (int i = 0; i < 23; ++i) {
                        fs.AddFolder("/data/keep/n" + std::to_string(10 + i));
                        fs.SetUnreadable("/data/keep/n" + std::to_string(10 + i), true);
                    }
                },
                "", "keep,3000,0,2.93,/data/keep\r\n" },
            { "a file that cannot be examined", [](MemoryFileSystem& fs) { fs.SetStatError("/data/keep/file", EIO); },
                "tarvo-scan: cannot read /data/keep/file: Input/output error\n", "keep,0,0,0,/data/keep\r\n" },
            { "a subfolder that cannot be examined, in a listing without kinds",
                [](MemoryFileSystem& fs) {
                    fs.SetListedKinds(false);
                    fs.SetStatError("/data/keep", EIO);
                },
                "tarvo-scan: cannot read /data/keep: Input/output error\n", "keep,0,0,0,/data/keep\r\n" },
        };
        for (const Case& c : cases) {
            MemoryFileSystem fileSystem(PathStyle::Posix());
            fileSystem.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 0);
            fileSystem.AddFile("/data/keep/file", 3000);
            fileSystem.AddFile("/data/locked/file", 7000);
            c.spoil(fileSystem);
            std::ostringstream out;
            std::ostringstream err;
            EXPECT_EQ(RunTarvoScan({ "--format=csv", "/data" }, fileSystem, out, err), 1) << c.what;
            const std::string report = out.str();
            const std::size_t firstRow = report.find("\r\n") + 2;
            EXPECT_EQ(report.substr(firstRow, c.firstRow.size()), c.firstRow) << c.what;
            if (!c.err.empty()) {
                EXPECT_EQ(err.str(), c.err) << c.what;
                continue;
            }
            // Twenty named, in path order, and a count of the rest.
            const std::string lines = err.str();
            EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 21) << lines;
            EXPECT_TRUE(lines.starts_with("tarvo-scan: cannot read /data/keep/n")) << lines;
            EXPECT_TRUE(lines.ends_with("tarvo-scan: 3 more folders could not be read\n")) << lines;
        }
    }

    // Six files of 2^63 - 1 bytes overflow any 64-bit sum; a 2^62-byte file has a KB figure of 16
    // digits, past what a double writes in plain digits.
    TEST(RunTarvoScan, NumbersAreExactPlainDigitsInEveryFormat)
    {
        MemoryFileSystem fileSystem(PathStyle::Posix());
        constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
        for (int i = 0; i < 6; ++i) {
            fileSystem.AddFile("/n/six/f" + std::to_string(i), kLargest);
            fileSystem.AddFile("/n/own" + std::to_string(i), kLargest);
        }
        fileSystem.AddFile("/n/quarter/f", std::int64_t { 1 } << 62);
        const std::string six = "55340232221128654842,52776558133248,54043195528445951.99";
        const std::string quarter = "4611686018427387904,4398046511104,4503599627370496";
        std::ostringstream csv;
        std::ostringstream err;
        ASSERT_EQ(RunTarvoScan({ "--format=csv", "/n" }, fileSystem, csv, err), 0) << err.str();
        EXPECT_EQ(csv.str(),
            "name,bytes,size_mb,size_kb,path\r\nsix," + six + ",/n/six\r\nquarter," + quarter
                + ",/n/quarter\r\n<All files in this folder>," + six + ",/n/<All files in this folder>\r\n");

        std::ostringstream json;
        ASSERT_EQ(RunTarvoScan({ "--format=json", "/n" }, fileSystem, json, err), 0);
        EXPECT_NE(json.str().find("\"bytes\": 4611686018427387904, \"mb\": 4398046511104, \"kb\": 4503599627370496}"),
            std::string::npos)
            << json.str();
        EXPECT_NE(json.str().find("\"bytes\": 55340232221128654842, \"mb\": 52776558133248, "
                                  "\"kb\": 54043195528445951.99}"),
            std::string::npos)
            << json.str();

        std::ostringstream text;
        ASSERT_EQ(RunTarvoScan({ "/n" }, fileSystem, text, err), 0);
        for (const char* exponent : { "E+", "e+", "E1", "e1" })
            EXPECT_EQ(text.str().find(exponent), std::string::npos) << text.str();
        EXPECT_NE(text.str().find(" 4398046511104  "), std::string::npos) << text.str();
        EXPECT_NE(text.str().find(" 4503599627370496  /n/quarter\n"), std::string::npos) << text.str();
    }

} // namespace
} // namespace tarvo
