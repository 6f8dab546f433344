// The history file's faults: a second Tarvo holding it, damage, a folder that cannot be made,
// a newer Tarvo's file and a full disk. None may cost an older analysis or repeat its message.

#include "HistoryDatabase.h"
#include "HistoryTestSupport.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace tarvo
{
namespace
{

    using test::KeptTimes;
    using test::MakeRecord;

    // The problems a database told, in order.
    struct Told {
        std::vector<HistoryProblem> problems;
        std::function<void(const HistoryProblem&)> Sink()
        {
            return [this](const HistoryProblem& problem) { problems.push_back(problem); };
        }
    };

    std::vector<std::string> Names(const std::string& folder)
    {
        std::vector<std::string> names;
        if (DIR* dir = opendir(folder.c_str())) {
            while (const dirent* entry = readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..")
                    names.push_back(name);
            }
            closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TEST(HistoryFaults, ALockHeldByASecondTarvoSkipsThatAnalysisSilently)
    {
        test::TempTree tree;
        const std::string file = tree.Path() + "/history.sqlite";
        Told told;
        HistoryLimits limits;
        limits.lockWait = std::chrono::milliseconds(50);
        HistoryDatabase database(file, limits, HistoryDatabase::haReadWrite, told.Sink());
        ASSERT_EQ(database.Record(MakeRecord("/a", 1)), HistoryStatus::hsDone);

        test::RawConnection other(file);
        ASSERT_EQ(other.Execute("BEGIN IMMEDIATE"), SQLITE_OK);
        EXPECT_EQ(database.Record(MakeRecord("/a", 2)), HistoryStatus::hsBusy);
        EXPECT_EQ(KeptTimes(database, "/a"), std::vector<std::int64_t> { 1 }) << "reading goes on beside a writer";
        ASSERT_EQ(other.Execute("COMMIT"), SQLITE_OK);

        EXPECT_EQ(database.Record(MakeRecord("/a", 3)), HistoryStatus::hsDone);
        EXPECT_EQ(KeptTimes(database, "/a"), (std::vector<std::int64_t> { 3, 1 }));
        EXPECT_TRUE(told.problems.empty());
    }

    // What may lie in the file's place that cannot be read as a history.
    struct Damage {
        const char* name;
        std::function<void(const std::string& file)> make;
        bool keepsContent; // the moved file holds exactly what was there
    };

    void WriteText(const std::string& file, const std::string& text) { std::ofstream(file) << text; }

    // A real history whose pages after the first (the folder, analysis and entry tables) are
    // overwritten: SQLite opens it and fails only when it reads them.
    void DamagePages(const std::string& file)
    {
        {
            HistoryDatabase database(file);
            ASSERT_EQ(database.Record(MakeRecord("/a", 1)), HistoryStatus::hsDone);
        }
        const int fd = open(file.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        struct stat status {
        };
        fstat(fd, &status);
        const std::string junk(static_cast<std::size_t>(status.st_size) - 4096, '\xA5');
        ASSERT_EQ(pwrite(fd, junk.data(), junk.size(), 4096), static_cast<ssize_t>(junk.size()));
        close(fd);
    }

    TEST(HistoryFaults, ADamagedFileIsMovedAsideWithTheDateAndANewOneStarted)
    {
        const Damage cases[] = {
            { "not a database", [](const std::string& file) { WriteText(file, std::string(5000, 'x')); }, true },
            { "damaged pages", DamagePages, true },
            { "a folder in its place", [](const std::string& file) { mkdir(file.c_str(), 0700); }, false },
        };
        for (const Damage& damage : cases) {
            SCOPED_TRACE(damage.name);
            test::TempTree tree;
            const std::string file = tree.Path() + "/history.sqlite";
            damage.make(file);
            const std::string before = test::FileBytes(file);
            Told told;
            HistoryDatabase database(file, {}, HistoryDatabase::haReadWrite, told.Sink());

            ASSERT_EQ(database.Record(MakeRecord("/b", 2)), HistoryStatus::hsDone) << database.LastError();
            ASSERT_EQ(database.Record(MakeRecord("/b", 3)), HistoryStatus::hsDone);
            EXPECT_EQ(KeptTimes(database, "/b"), (std::vector<std::int64_t> { 3, 2 }));
            EXPECT_TRUE(KeptTimes(database, "/a").empty());

            ASSERT_EQ(told.problems.size(), 1u) << "told once";
            EXPECT_EQ(told.problems[0].kind, HistoryProblem::hpMovedAside);
            std::vector<std::string> aside;
            for (const std::string& name : Names(tree.Path())) {
                if (name.starts_with("history-damaged-") && name.ends_with(".sqlite"))
                    aside.push_back(name);
            }
            ASSERT_EQ(aside.size(), 1u);
            // history-damaged-YYYY-MM-DD-HHMMSS.sqlite
            EXPECT_EQ(aside[0].size(), std::string("history-damaged-2026-12-09-143000.sqlite").size()) << aside[0];
            EXPECT_NE(told.problems[0].message.find(aside[0]), std::string::npos) << told.problems[0].message;
            if (damage.keepsContent) {
                EXPECT_EQ(test::FileBytes(tree.Path() + "/" + aside[0]), before);
            }
        }
    }

    TEST(HistoryFaults, AFolderThatCannotBeMadeRecordsNothingAndTellsOnce)
    {
        test::TempTree tree;
        // A file where the history's folder should be: this fails for root too.
        WriteText(tree.Path() + "/state", "a file");
        const std::string file = tree.Path() + "/state/tarvo/history.sqlite";
        Told told;
        HistoryDatabase database(file, {}, HistoryDatabase::haReadWrite, told.Sink());
        for (std::int64_t time = 1; time <= 3; ++time)
            EXPECT_EQ(database.Record(MakeRecord("/a", time)), HistoryStatus::hsUnusable);
        EXPECT_TRUE(database.Analyses("/a", 30).empty());
        ASSERT_EQ(told.problems.size(), 1u);
        EXPECT_EQ(told.problems[0].kind, HistoryProblem::hpUnusable);
        EXPECT_EQ(Names(tree.Path()), std::vector<std::string> { "state" });
        EXPECT_EQ(test::FileBytes(tree.Path() + "/state"), "a file");
    }

    TEST(HistoryFaults, ANewerTarvosFileIsLeftAsItIs)
    {
        test::TempTree tree;
        const std::string file = tree.Path() + "/history.sqlite";
        {
            HistoryDatabase database(file);
            ASSERT_EQ(database.Record(MakeRecord("/a", 1)), HistoryStatus::hsDone);
            test::RawConnection raw(file);
            raw.Execute("PRAGMA user_version = 99");
        }
        const std::string before = test::FileBytes(file);
        Told told;
        HistoryDatabase database(file, {}, HistoryDatabase::haReadWrite, told.Sink());
        EXPECT_EQ(database.Record(MakeRecord("/a", 2)), HistoryStatus::hsNewer);
        EXPECT_EQ(database.Record(MakeRecord("/a", 3)), HistoryStatus::hsNewer);
        EXPECT_EQ(test::FileBytes(file), before);
        ASSERT_EQ(told.problems.size(), 1u);
        EXPECT_EQ(told.problems[0].kind, HistoryProblem::hpNewer);
        EXPECT_EQ(Names(tree.Path()), std::vector<std::string> { "history.sqlite" });
    }

    // SQLite's own files in front of the system's: while Full is set, every write fails as the
    // system's file layer fails it on a full disk (ENOSPC gives SQLITE_FULL). While it lives it
    // is the default, so the database under test uses it without knowing.
    class FullDiskVfs
    {
    public:
        FullDiskVfs()
            : m_base(sqlite3_vfs_find(nullptr))
        {
            s_self = this;
            m_vfs = *m_base;
            m_vfs.zName = "tarvo-full-disk";
            m_vfs.szOsFile = static_cast<int>(sizeof(ShimFile)) + m_base->szOsFile;
            m_vfs.xOpen = Open;
            EXPECT_EQ(sqlite3_vfs_register(&m_vfs, 1), SQLITE_OK);
        }
        ~FullDiskVfs()
        {
            sqlite3_vfs_unregister(&m_vfs);
            sqlite3_vfs_register(m_base, 1);
            s_self = nullptr;
        }
        FullDiskVfs(const FullDiskVfs&) = delete;
        FullDiskVfs& operator=(const FullDiskVfs&) = delete;

        bool Full = false;

    private:
        struct ShimFile {
            sqlite3_file file; // first: SQLite sees this
            sqlite3_io_methods methods;
            sqlite3_file* real;
        };
        static sqlite3_file* Real(sqlite3_file* file) { return reinterpret_cast<ShimFile*>(file)->real; }

        static int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
        {
            auto* shim = reinterpret_cast<ShimFile*>(file);
            shim->real = reinterpret_cast<sqlite3_file*>(shim + 1);
            const int result = s_self->m_base->xOpen(s_self->m_base, name, shim->real, flags, outFlags);
            if (shim->real->pMethods == nullptr) {
                file->pMethods = nullptr;
                return result;
            }
            // The system's methods, with the write in front and each call handed to the real file.
            shim->methods = *shim->real->pMethods;
            shim->methods.xClose = [](sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); };
            shim->methods.xRead = [](sqlite3_file* f, void* b, int n, sqlite3_int64 o) {
                return Real(f)->pMethods->xRead(Real(f), b, n, o);
            };
            shim->methods.xWrite = [](sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
                return s_self->Full ? SQLITE_FULL : Real(f)->pMethods->xWrite(Real(f), b, n, o);
            };
            shim->methods.xTruncate
                = [](sqlite3_file* f, sqlite3_int64 size) { return Real(f)->pMethods->xTruncate(Real(f), size); };
            shim->methods.xSync = [](sqlite3_file* f, int how) { return Real(f)->pMethods->xSync(Real(f), how); };
            shim->methods.xFileSize
                = [](sqlite3_file* f, sqlite3_int64* size) { return Real(f)->pMethods->xFileSize(Real(f), size); };
            shim->methods.xLock = [](sqlite3_file* f, int lock) { return Real(f)->pMethods->xLock(Real(f), lock); };
            shim->methods.xUnlock = [](sqlite3_file* f, int lock) { return Real(f)->pMethods->xUnlock(Real(f), lock); };
            shim->methods.xCheckReservedLock
                = [](sqlite3_file* f, int* held) { return Real(f)->pMethods->xCheckReservedLock(Real(f), held); };
            shim->methods.xFileControl
                = [](sqlite3_file* f, int op, void* arg) { return Real(f)->pMethods->xFileControl(Real(f), op, arg); };
            shim->methods.xSectorSize = [](sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); };
            shim->methods.xDeviceCharacteristics
                = [](sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); };
            shim->methods.xShmMap = [](sqlite3_file* f, int region, int size, int extend, void volatile** at) {
                return Real(f)->pMethods->xShmMap(Real(f), region, size, extend, at);
            };
            shim->methods.xShmLock = [](sqlite3_file* f, int offset, int n, int flags) {
                return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
            };
            shim->methods.xShmBarrier = [](sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); };
            shim->methods.xShmUnmap
                = [](sqlite3_file* f, int remove) { return Real(f)->pMethods->xShmUnmap(Real(f), remove); };
            shim->methods.xFetch = [](sqlite3_file* f, sqlite3_int64 offset, int n, void** at) {
                return Real(f)->pMethods->xFetch(Real(f), offset, n, at);
            };
            shim->methods.xUnfetch = [](sqlite3_file* f, sqlite3_int64 offset, void* at) {
                return Real(f)->pMethods->xUnfetch(Real(f), offset, at);
            };
            file->pMethods = &shim->methods;
            return result;
        }

        static inline FullDiskVfs* s_self = nullptr;
        sqlite3_vfs* m_base;
        sqlite3_vfs m_vfs {};
    };

    TEST(HistoryFaults, AFullDiskLosesTheNewAnalysisAndNothingOlder)
    {
        test::TempTree tree;
        FullDiskVfs disk;
        Told told;
        HistoryDatabase database(tree.Path() + "/history.sqlite", {}, HistoryDatabase::haReadWrite, told.Sink());
        ASSERT_EQ(database.Record(MakeRecord("/a", 1)), HistoryStatus::hsDone);
        ASSERT_EQ(database.Record(MakeRecord("/a", 2)), HistoryStatus::hsDone);

        disk.Full = true;
        EXPECT_EQ(database.Record(MakeRecord("/a", 3, 2000, 40)), HistoryStatus::hsFull) << database.LastError();
        EXPECT_EQ(KeptTimes(database, "/a"), (std::vector<std::int64_t> { 2, 1 }));
        EXPECT_EQ(database.Entries(database.Analyses("/a", 1).at(0).id), MakeRecord("/a", 2).entries);
        EXPECT_TRUE(told.problems.empty()) << told.problems.front().message;

        // Once there is room again, recording goes on in the same file.
        disk.Full = false;
        EXPECT_EQ(database.Record(MakeRecord("/a", 4)), HistoryStatus::hsDone);
        EXPECT_EQ(KeptTimes(database, "/a"), (std::vector<std::int64_t> { 4, 2, 1 }));
    }

} // namespace
} // namespace tarvo
