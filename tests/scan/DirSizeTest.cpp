// The scanner's rules on the in-memory file system, with drive-letter paths and the failures a
// real tree cannot fake.

#include "DirSize.h"
#include "MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <mutex>

namespace tarvo
{
namespace
{

    constexpr std::int64_t kGiB = 1024LL * 1024 * 1024;

    struct Row {
        std::string path;
        std::string mb;
        std::string kb;
        TByteCount bytes;
        bool operator==(const Row&) const = default;
    };

    std::ostream& operator<<(std::ostream& out, const Row& row)
    {
        return out << row.path << " | " << row.mb << " | " << row.kb << " | " << row.bytes;
    }

    std::vector<Row> Rows(const TDirSize& scan)
    {
        EXPECT_EQ(scan.PathList.size(), scan.MBList.size());
        EXPECT_EQ(scan.PathList.size(), scan.KBList.size());
        EXPECT_EQ(scan.PathList.size(), scan.ByteList.size());
        std::vector<Row> rows;
        for (std::size_t i = 0; i < scan.PathList.size(); ++i)
            rows.push_back({ scan.PathList[i], scan.MBList[i], scan.KBList[i], scan.ByteList[i] });
        return rows;
    }

    class DirSizeWindows : public ::testing::Test
    {
    protected:
        DirSizeWindows()
            : m_fs(PathStyle::Windows())
            , m_scan(m_fs, FormatSettings::Invariant())
        {
            m_fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 3 * kGiB);
            m_fs.AddVolume("D:\\", VolumeKind::vkFixed, "Data", "NTFS", -1);
        }

        std::vector<Row> Scan(const std::string& folder, bool freeSpace = false)
        {
            m_scan.Folder = folder;
            m_scan.IncludeFreeSpace = freeSpace;
            EXPECT_TRUE(m_scan.Calculate());
            return Rows(m_scan);
        }

        MemoryFileSystem m_fs;
        TDirSize m_scan;
    };

    TEST_F(DirSizeWindows, AnEmptyFolderYieldsOnlyTheAllFilesEntry)
    {
        m_fs.AddFolder("C:\\Empty");
        EXPECT_EQ(Scan("C:\\Empty"), (std::vector<Row> { { "C:\\Empty\\<All files in this folder>", "0", "0", 0 } }));
    }

    TEST_F(DirSizeWindows, TrailingSeparatorMakesNoDifferenceAndEntriesKeepListingOrder)
    {
        m_fs.AddFile("C:\\Data\\zeta\\a", 1536);
        m_fs.AddFile("C:\\Data\\Alpha\\b\\c", 5000000);
        m_fs.AddFolder("C:\\Data\\mid");
        m_fs.AddFile("C:\\Data\\own.txt", 128);
        const std::vector<Row> expected {
            { "C:\\Data\\zeta", "0", "1.5", 1536 },
            { "C:\\Data\\Alpha", "4.77", "4882.81", 5000000 },
            { "C:\\Data\\mid", "0", "0", 0 },
            { "C:\\Data\\<All files in this folder>", "0", "0.12", 128 },
        };
        EXPECT_EQ(Scan("C:\\Data"), expected);
        EXPECT_EQ(Scan("C:\\Data\\"), expected);
    }

    TEST_F(DirSizeWindows, FreeSpaceEntryOnlyForAVolumeRootWhenAsked)
    {
        m_fs.AddFile("C:\\Windows\\x", 2048);
        m_fs.AddFile("C:\\boot", 384);
        EXPECT_EQ(Scan("C:\\", true),
            (std::vector<Row> {
                { "C:\\Windows", "0", "2", 2048 },
                { "C:\\<All files in this folder>", "0", "0.38", 384 },
                { "C:\\<Free Space>", "3072", "3145728", 3 * kGiB },
            }));
        EXPECT_EQ(Scan("c:\\", true).back().path, "c:\\<Free Space>") << "lower-case drive letters work too";
        EXPECT_EQ(Scan("C:\\", false).size(), 2U);
        EXPECT_EQ(Scan("C:\\Windows", true).size(), 1U) << "a folder that is not a volume root never gets it";
    }

    TEST_F(DirSizeWindows, AFailedFreeSpaceQueryShowsZero)
    {
        m_fs.AddFolder("D:\\x");
        const auto rows = Scan("D:\\", true);
        ASSERT_EQ(rows.size(), 3U);
        EXPECT_EQ(rows.back(), (Row { "D:\\<Free Space>", "0", "0", 0 }));
    }

    TEST_F(DirSizeWindows, DotAndHiddenFoldersAreListedAndCounted)
    {
        m_fs.AddFile("C:\\Repo\\.git\\objects\\pack", 7 * 1024 * 1024);
        m_fs.AddFile("C:\\Repo\\src\\main.c", 1024);
        m_fs.AddFile("C:\\Repo\\.gitignore", 10);
        EXPECT_EQ(Scan("C:\\Repo"),
            (std::vector<Row> {
                { "C:\\Repo\\.git", "7", "7168", 7 * 1024 * 1024 },
                { "C:\\Repo\\src", "0", "1", 1024 },
                { "C:\\Repo\\<All files in this folder>", "0", "0.01", 10 },
            }));
    }

    TEST_F(DirSizeWindows, UnreadableFoldersCountZeroAndTheScanGoesOn)
    {
        m_fs.AddFile("C:\\Mixed\\locked\\secret", 999999);
        m_fs.AddFile("C:\\Mixed\\open\\inner\\locked\\secret", 5);
        m_fs.AddFile("C:\\Mixed\\open\\visible", 1024);
        m_fs.SetUnreadable("C:\\Mixed\\locked", true);
        m_fs.SetUnreadable("C:\\Mixed\\open\\inner\\locked", true);
        EXPECT_EQ(Scan("C:\\Mixed"),
            (std::vector<Row> {
                { "C:\\Mixed\\locked", "0", "0", 0 },
                { "C:\\Mixed\\open", "0", "1", 1024 },
                { "C:\\Mixed\\<All files in this folder>", "0", "0", 0 },
            }));

        m_fs.SetUnreadable("C:\\Mixed", true);
        EXPECT_EQ(
            Scan("C:\\Mixed", true), (std::vector<Row> { { "C:\\Mixed\\<All files in this folder>", "0", "0", 0 } }));
    }

    TEST_F(DirSizeWindows, LinksCountTheirOwnSizeAndAreNeverEnteredSpecialFilesCountZero)
    {
        m_fs.AddFile("C:\\L\\real\\big", 4096);
        m_fs.AddLink("C:\\L\\real\\back", "C:\\L", 4);
        m_fs.AddLink("C:\\L\\shortcut", "C:\\L\\real", 10);
        m_fs.AddOther("C:\\L\\real\\pipe");
        EXPECT_EQ(Scan("C:\\L"),
            (std::vector<Row> {
                { "C:\\L\\real", "0", "4", 4100 },
                { "C:\\L\\<All files in this folder>", "0", "0.01", 10 },
            }));
    }

    TEST_F(DirSizeWindows, SizesAreSixtyFourBit)
    {
        m_fs.AddFile("C:\\Big\\iso\\disk.img", 5 * kGiB);
        m_fs.AddFile("C:\\Big\\iso\\more.img", 3 * kGiB);
        m_fs.AddFile("C:\\Big\\huge", 4 * 1024 * kGiB); // 4 TiB
        EXPECT_EQ(Scan("C:\\Big"),
            (std::vector<Row> {
                { "C:\\Big\\iso", "8192", "8388608", 8 * kGiB },
                { "C:\\Big\\<All files in this folder>", "4194304", "4294967296", 4096 * kGiB },
            }));
    }

    // Each name of a file with n names counts size / n, rounded down: a folder holding every
    // name counts the file once, and a folder's total does not depend on the analysed root.
    TEST_F(DirSizeWindows, HardLinksShareTheFileAmongTheirNames)
    {
        struct Case {
            const char* what;
            std::int64_t size;
            std::vector<std::string> names; // the first is the file, the others link to it
            std::vector<Row> rows; // the scan of C:\H
        };
        const Case cases[] = {
            { "all names in one folder", 3001, { "C:\\H\\a\\x", "C:\\H\\a\\y", "C:\\H\\a\\z" },
                { { "C:\\H\\a", "0", "2.93", 3000 }, { "C:\\H\\<All files in this folder>", "0", "0", 0 } } },
            { "names in two subfolders", 5000, { "C:\\H\\a\\x", "C:\\H\\b\\y" },
                { { "C:\\H\\a", "0", "2.44", 2500 }, { "C:\\H\\b", "0", "2.44", 2500 },
                    { "C:\\H\\<All files in this folder>", "0", "0", 0 } } },
            { "a name outside the analysed folder", 4000, { "C:\\Out\\x", "C:\\H\\a\\y", "C:\\H\\own" },
                { { "C:\\H\\a", "0", "1.3", 1333 }, { "C:\\H\\<All files in this folder>", "0", "1.3", 1333 } } },
            { "one name only", 777, { "C:\\H\\a\\x" },
                { { "C:\\H\\a", "0", "0.76", 777 }, { "C:\\H\\<All files in this folder>", "0", "0", 0 } } },
        };
        for (const Case& c : cases) {
            MemoryFileSystem fs(PathStyle::Windows());
            fs.AddFile(c.names[0], c.size);
            for (std::size_t i = 1; i < c.names.size(); ++i)
                fs.AddHardLink(c.names[0], c.names[i]);
            TDirSize scan(fs, FormatSettings::Invariant());
            scan.Folder = "C:\\H";
            ASSERT_TRUE(scan.Calculate());
            EXPECT_EQ(Rows(scan), c.rows) << c.what;

            // The same folder reached from the drive root: the same total.
            scan.Folder = "C:\\";
            ASSERT_TRUE(scan.Calculate());
            const auto h = std::find(scan.PathList.begin(), scan.PathList.end(), "C:\\H");
            ASSERT_NE(h, scan.PathList.end()) << c.what;
            TByteCount sum;
            for (const Row& row : c.rows)
                sum += row.bytes;
            EXPECT_EQ(scan.ByteList[static_cast<std::size_t>(h - scan.PathList.begin())], sum) << c.what;
        }
    }

    TEST_F(DirSizeWindows, TotalsNeverWrapAndTheirTextsAreExact)
    {
        constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
        for (int i = 0; i < 6; ++i) {
            m_fs.AddFile("C:\\N\\six\\f" + std::to_string(i), kLargest);
            m_fs.AddFile("C:\\N\\own" + std::to_string(i), kLargest);
        }
        m_fs.AddFile("C:\\N\\quarter\\f", std::int64_t { 1 } << 62);
        const TByteCount six = TByteCount::FromWords(2, 0xFFFFFFFFFFFFFFFAULL); // 6 × (2^63 − 1)
        EXPECT_EQ(Scan("C:\\N"),
            (std::vector<Row> {
                { "C:\\N\\six", "52776558133248", "54043195528445951.99", six },
                { "C:\\N\\quarter", "4398046511104", "4503599627370496", std::uint64_t { 1 } << 62 },
                { "C:\\N\\<All files in this folder>", "52776558133248", "54043195528445951.99", six },
            }));
        EXPECT_EQ(six.ToString(), "55340232221128654842");
        EXPECT_EQ(m_scan.Progress().bytes, kLargest) << "progress stops at the largest count it can show";
    }

    // A file system whose listings give no kinds: every entry is examined, with the same result.
    TEST_F(DirSizeWindows, ListingsWithoutKindsGiveTheSameRows)
    {
        m_fs.AddFile("C:\\K\\sub\\deep\\f", 3000);
        m_fs.AddFile("C:\\K\\own", 10);
        m_fs.AddLink("C:\\K\\link", "C:\\K\\sub", 7);
        m_fs.AddOther("C:\\K\\sub\\pipe");
        m_fs.AddFolder("C:\\K\\empty");
        const auto listed = Scan("C:\\K");
        m_fs.SetListedKinds(false);
        EXPECT_EQ(Scan("C:\\K"), listed);
        EXPECT_EQ(m_scan.UnreadCount, 0U);
    }

    TEST_F(DirSizeWindows, ABindMountShowingAnAncestorCountsZero)
    {
        m_fs.AddFile("C:\\Top\\a\\file", 100);
        m_fs.AddFolder("C:\\Top\\a\\deeper");
        m_fs.AddBindMount("C:\\Top\\a\\deeper\\loop", "C:\\Top");
        m_fs.AddBindMount("C:\\Top\\a\\drive", "C:\\");
        m_fs.AddFile("C:\\Other\\x", 50);
        m_fs.AddBindMount("C:\\Top\\view", "C:\\Other"); // not an ancestor: counted
        EXPECT_EQ(Scan("C:\\Top"),
            (std::vector<Row> {
                { "C:\\Top\\a", "0", "0.1", 100 },
                { "C:\\Top\\view", "0", "0.05", 50 },
                { "C:\\Top\\<All files in this folder>", "0", "0", 0 },
            }));
    }

    TEST_F(DirSizeWindows, LocaleSeparatorsShapeTheTexts)
    {
        FormatSettings comma;
        comma.decimalSeparator = ",";
        comma.thousandSeparator = ".";
        TDirSize scan(m_fs, comma);
        m_fs.AddFile("C:\\Loc\\sub\\f", 5000000);
        m_fs.AddFile("C:\\Loc\\g", 1536 * 1024 * 1024LL);
        scan.Folder = "C:\\Loc";
        ASSERT_TRUE(scan.Calculate());
        EXPECT_EQ(scan.KBList, (std::vector<std::string> { "4882,81", "1572864" }));
        EXPECT_EQ(scan.MBList, (std::vector<std::string> { "4,77", "1536" }));
    }

    TEST_F(DirSizeWindows, CancelLeavesThePreviousResultUntouched)
    {
        m_fs.AddFile("C:\\Small\\s\\f", 1024);
        const auto before = Scan("C:\\Small");

        for (int i = 0; i < 50; ++i)
            for (int j = 0; j < 20; ++j)
                m_fs.AddFile("C:\\Large\\f" + std::to_string(i) + "\\g" + std::to_string(j) + "\\file", 1);
        std::atomic<int> reads { 0 };
        m_fs.SetReadHook([&](const std::string&) {
            if (++reads == 40)
                m_scan.Cancel();
        });
        m_scan.Folder = "C:\\Large";
        EXPECT_FALSE(m_scan.Calculate());
        EXPECT_EQ(Rows(m_scan), before);
        EXPECT_LT(reads.load(), 50 * 20 * 2) << "the walk stopped soon after the cancel";

        m_fs.SetReadHook(nullptr);
        EXPECT_TRUE(m_scan.Calculate()) << "a cancel does not carry over to the next scan";
        EXPECT_EQ(m_scan.PathList.size(), 51U);
    }

    TEST_F(DirSizeWindows, ProgressReportsTheFolderBeingScanned)
    {
        m_fs.AddFile("C:\\P\\one\\deep\\f", 2048);
        m_fs.AddFile("C:\\P\\two\\f", 1024);
        std::vector<std::string> seen;
        std::mutex mutex;
        m_fs.SetReadHook([&](const std::string&) {
            const ScanProgress progress = m_scan.Progress();
            std::lock_guard lock(mutex);
            seen.push_back(progress.currentPath);
        });
        Scan("C:\\P");
        EXPECT_NE(std::find(seen.begin(), seen.end(), "C:\\P\\one"), seen.end());
        EXPECT_NE(std::find(seen.begin(), seen.end(), "C:\\P\\two"), seen.end());
        const ScanProgress done = m_scan.Progress();
        EXPECT_EQ(done.folders, 3U);
        EXPECT_EQ(done.bytes, 3072);
    }

    TEST_F(DirSizeWindows, GetDirSizeOwnEntriesOrEverything)
    {
        m_fs.AddFile("C:\\G\\own", 10);
        m_fs.AddFile("C:\\G\\sub\\inner", 20);
        m_fs.AddFile("C:\\G\\sub\\deeper\\x", 30);
        EXPECT_EQ(m_scan.GetDirSize("C:\\G", false), 10);
        EXPECT_EQ(m_scan.GetDirSize("C:\\G\\", true), 60);
        EXPECT_EQ(m_scan.GetDirSize("C:\\Nowhere", true), 0);
    }

    TEST_F(DirSizeWindows, ListDirsAndCalcSizesAppendAsSeparateSteps)
    {
        m_fs.AddFile("C:\\S\\a\\f", 2048);
        m_fs.AddFile("C:\\S\\f", 1024);
        m_scan.ListDirs("C:\\S");
        EXPECT_EQ(m_scan.PathList, (std::vector<std::string> { "C:\\S\\a", "C:\\S\\<All files in this folder>" }));
        // Called on its own, with a list it did not make: it lists the folder again.
        TDirSize other(m_fs, FormatSettings::Invariant());
        other.CalcSizes(m_scan.PathList, "C:\\S\\");
        EXPECT_EQ(other.KBList, (std::vector<std::string> { "2", "1" }));
        m_scan.CalcSizes(m_scan.PathList, "C:\\S");
        EXPECT_EQ(m_scan.KBList, other.KBList);
    }

    struct RoundCase {
        double bytes;
        const char* kb;
        const char* mb;
    };

    class DirSizeTexts : public ::testing::TestWithParam<RoundCase>
    {
    };

    TEST_P(DirSizeTexts, ConvertedAndWritten)
    {
        const RoundCase& c = GetParam();
        const FormatSettings settings = FormatSettings::Invariant();
        EXPECT_EQ(FloatToText(TDirSize::ConvertSize(1, c.bytes), settings), c.kb);
        EXPECT_EQ(FloatToText(TDirSize::ConvertSize(2, c.bytes), settings), c.mb);
    }

    INSTANTIATE_TEST_SUITE_P(Sizes, DirSizeTexts,
        ::testing::Values(RoundCase { 0, "0", "0" }, RoundCase { 1536, "1.5", "0" },
            RoundCase { 128, "0.12", "0" }, // 0.125 goes to the even 0.12
            RoundCase { 384, "0.38", "0" }, // 0.375 goes to the even 0.38
            RoundCase { 5000000, "4882.81", "4.77" }, RoundCase { -1, "0", "0" }, // a failed free-space query
            RoundCase { 1048576 * 1.005, "1029.12", "1" }, RoundCase { 5.0 * kGiB, "5242880", "5120" }));

    TEST(DirSizeRounding, SizeTextRoundsTheExactCountToHundredths)
    {
        struct Case {
            TByteCount bytes;
            int unit;
            const char* text;
        };
        const Case cases[] = {
            { 0, 1, "0" }, { 128, 1, "0.12" }, { 384, 1, "0.38" }, { 1023, 1, "1" }, // 0.999 carries
            { 1535, 1, "1.5" }, { 5000000, 1, "4882.81" }, { 5000000, 2, "4.77" }, { 1536, 2, "0" },
            { std::uint64_t { 1 } << 62, 1, "4503599627370496" },
            { TByteCount::FromWords(1, 0), 2, "17592186044416" }, // 2^64 bytes
        };
        FormatSettings comma;
        comma.decimalSeparator = ",";
        for (const Case& c : cases) {
            EXPECT_EQ(SizeText(c.bytes, c.unit, FormatSettings::Invariant()), c.text) << c.bytes;
            std::string withComma = c.text;
            std::replace(withComma.begin(), withComma.end(), '.', ',');
            EXPECT_EQ(SizeText(c.bytes, c.unit, comma), withComma) << c.bytes;
        }
    }

    TEST(DirSizeRounding, HalvesGoToTheEvenHundredth)
    {
        EXPECT_DOUBLE_EQ(TDirSize::RoundTo2(2.125), 2.12);
        EXPECT_DOUBLE_EQ(TDirSize::RoundTo2(2.375), 2.38);
        EXPECT_DOUBLE_EQ(TDirSize::RoundTo2(7.0), 7.0);
        EXPECT_DOUBLE_EQ(TDirSize::RoundTo2(-1.125), -1.12);
    }

} // namespace
} // namespace tarvo
