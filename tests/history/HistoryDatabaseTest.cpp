// The history file: what goes in comes out byte for byte, privately, within its bounds.

#include "HistoryDatabase.h"
#include "HistoryRecorder.h"
#include "HistoryTestSupport.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <limits>

namespace tarvo
{
namespace
{

    using test::KeptTimes;
    using test::MakeRecord;

    mode_t Mode(const std::string& path)
    {
        struct stat status {
        };
        EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
        return status.st_mode & 07777;
    }

    TEST(HistoryDatabase, KeepsEveryByteOfPathsNamesAndCountsInPrivateFiles)
    {
        test::TempTree tree;
        // Missing folders on the way are made too, each private.
        const std::string file = tree.Path() + "/state/tarvo/history.sqlite";
        const std::string folder = "/data/\xff\xfe caf\xc3\xa9";
        const HistoryRecord record { folder, 1'700'000'000'123,
            {
                { HistoryEntryKind::hekFolder, "not utf-8 \x80\xff", 0 },
                { HistoryEntryKind::hekFolder, "line\nbreak", std::numeric_limits<std::int64_t>::max() },
                { HistoryEntryKind::hekFolder, "<Free Space>", 7 }, // a subfolder of that name
                { HistoryEntryKind::hekFolder, "", 1 },
                { HistoryEntryKind::hekFiles, "<All files in this folder>", 128 },
                { HistoryEntryKind::hekFreeSpace, "<Free Space>", 5'000'000'000 },
            } };
        {
            HistoryDatabase database(file);
            ASSERT_EQ(database.Record(record), HistoryStatus::hsDone) << database.LastError();
        }
        EXPECT_EQ(Mode(file), 0600u);
        EXPECT_EQ(Mode(tree.Path() + "/state/tarvo"), 0700u);
        EXPECT_EQ(Mode(tree.Path() + "/state"), 0700u);

        HistoryDatabase again(file); // a new connection reads what the closed one wrote
        const std::vector<HistorySummary> kept = again.Analyses(folder, 30);
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_EQ(kept[0].timeMs, record.timeMs);
        EXPECT_EQ(again.Entries(kept[0].id), record.entries);
        EXPECT_TRUE(again.Analyses("/data/\xff\xfe", 30).empty()) << "paths match whole, not by prefix";
        EXPECT_FALSE(again.Entries(kept[0].id + 1).has_value());

        test::RawConnection raw(file);
        EXPECT_EQ(raw.Query("PRAGMA user_version"), HistoryDatabase::kSchemaVersion);
        EXPECT_EQ(test::FileBytes(file).substr(18, 2), std::string("\x02\x02", 2)) << "write-ahead log";
    }

    TEST(HistoryDatabase, EachFolderKeepsItsNewestAnalysesUpToItsBound)
    {
        test::TempTree tree;
        HistoryDatabase database(tree.Path() + "/history.sqlite");
        const int bound = HistoryLimits {}.analysesPerFolder;
        // Recorded out of time order: the times decide which are oldest.
        std::vector<std::int64_t> times;
        for (int i = 0; i < bound + 5; ++i)
            times.push_back((i * 7919) % (bound + 5) + 1);
        for (const std::int64_t time : times) {
            ASSERT_EQ(database.Record(MakeRecord("/a", time)), HistoryStatus::hsDone) << database.LastError();
            ASSERT_EQ(database.Record(MakeRecord("/b", time)), HistoryStatus::hsDone);
        }
        ASSERT_EQ(database.Record(MakeRecord("/c", 0)), HistoryStatus::hsDone);

        std::vector<std::int64_t> newest(static_cast<std::size_t>(bound));
        for (int i = 0; i < bound; ++i)
            newest[static_cast<std::size_t>(i)] = bound + 5 - i;
        // A folder's bound never touches another folder's analyses, however old they are.
        EXPECT_EQ(KeptTimes(database, "/a"), newest);
        EXPECT_EQ(KeptTimes(database, "/b"), newest);
        EXPECT_EQ(KeptTimes(database, "/c"), std::vector<std::int64_t> { 0 });
        EXPECT_EQ(database.Analyses("/a", 3).size(), 3u);
    }

    std::int64_t DatabaseBytes(const std::string& file)
    {
        test::RawConnection raw(file);
        return raw.Query("PRAGMA page_count") * raw.Query("PRAGMA page_size");
    }

    TEST(HistoryDatabase, TheFileStaysUnderItsBoundByDroppingTheOldestOfAnyFolder)
    {
        test::TempTree tree;
        const std::string file = tree.Path() + "/history.sqlite";
        HistoryLimits limits;
        limits.maxFileBytes = 256 * 1024;
        HistoryDatabase database(file, limits);
        // 40 analyses of about 30 KB each across three folders: about five times the bound.
        std::vector<std::int64_t> all;
        for (std::int64_t time = 1; time <= 40; ++time) {
            const std::string folder = "/folder" + std::to_string(time % 3);
            ASSERT_EQ(database.Record(MakeRecord(folder, time, 500, 40)), HistoryStatus::hsDone)
                << database.LastError();
            all.push_back(time);
            EXPECT_LE(DatabaseBytes(file), limits.maxFileBytes) << "after " << time;
        }
        std::vector<std::int64_t> kept;
        for (const char* folder : { "/folder0", "/folder1", "/folder2" }) {
            const std::vector<std::int64_t> times = KeptTimes(database, folder);
            kept.insert(kept.end(), times.begin(), times.end());
        }
        std::sort(kept.begin(), kept.end());
        ASSERT_GE(kept.size(), 4u) << "the bound holds several analyses of this size";
        // What is kept is the newest ones, whichever folder they belong to.
        EXPECT_EQ(kept, std::vector<std::int64_t>(all.end() - static_cast<std::ptrdiff_t>(kept.size()), all.end()));

        // One analysis larger than the whole bound is not kept, and costs nothing older.
        EXPECT_EQ(database.Record(MakeRecord("/huge", 100, 20000, 40)), HistoryStatus::hsFull);
        EXPECT_TRUE(KeptTimes(database, "/huge").empty());
        std::vector<std::int64_t> after;
        for (const char* folder : { "/folder0", "/folder1", "/folder2" }) {
            const std::vector<std::int64_t> times = KeptTimes(database, folder);
            after.insert(after.end(), times.begin(), times.end());
        }
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, kept);
    }

    TEST(HistoryDatabase, ReadOnlyAccessNeverMakesOrChangesAFile)
    {
        test::TempTree tree;
        const std::string file = tree.Path() + "/history.sqlite";
        HistoryDatabase missing(file, {}, HistoryDatabase::haReadOnly);
        EXPECT_TRUE(missing.Analyses("/a", 30).empty());
        EXPECT_EQ(missing.LastStatus(), HistoryStatus::hsMissing);
        EXPECT_EQ(missing.Record(MakeRecord("/a", 1)), HistoryStatus::hsUnusable);
        EXPECT_EQ(test::FileBytes(file), "");
        struct stat status {
        };
        EXPECT_NE(stat(file.c_str(), &status), 0) << "no file was made";

        {
            HistoryDatabase writer(file);
            ASSERT_EQ(writer.Record(MakeRecord("/a", 1)), HistoryStatus::hsDone);
        }
        HistoryDatabase reader(file, {}, HistoryDatabase::haReadOnly);
        const std::vector<HistorySummary> kept = reader.Analyses("/a", 30);
        ASSERT_EQ(kept.size(), 1u) << reader.LastError();
        EXPECT_EQ(reader.Entries(kept[0].id), MakeRecord("/a", 1).entries);
    }

    TEST(HistoryRecorder, AnswersAfterTheRecordsAskedForBeforeAndFinishesThemWhenItGoes)
    {
        test::TempTree tree;
        const std::string file = tree.Path() + "/history.sqlite";
        {
            HistoryRecorder recorder(file);
            EXPECT_TRUE(recorder.Analyses("/a", 30).empty()) << "no file yet, and none made by asking";
            for (std::int64_t time = 1; time <= 5; ++time)
                recorder.Record(MakeRecord("/a", time));
            const std::vector<HistorySummary> kept = recorder.Analyses("/a", 30);
            ASSERT_EQ(kept.size(), 5u);
            EXPECT_EQ(recorder.Entries(kept.front().id), MakeRecord("/a", 5).entries);
            recorder.Record(MakeRecord("/a", 6));
        }
        HistoryDatabase database(file);
        EXPECT_EQ(KeptTimes(database, "/a"), (std::vector<std::int64_t> { 6, 5, 4, 3, 2, 1 }));
    }

} // namespace
} // namespace tarvo
