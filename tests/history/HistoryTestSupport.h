#pragma once

#include "HistoryDatabase.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tarvo::test
{

// An analysis of `count` subfolders with names of `nameBytes` bytes, then the folder's files.
inline HistoryRecord MakeRecord(const std::string& folder, std::int64_t timeMs, int count = 3, int nameBytes = 8)
{
    HistoryRecord record { folder, timeMs, {} };
    for (int i = 0; i < count; ++i) {
        std::string name = std::to_string(i);
        name.resize(static_cast<std::size_t>(nameBytes), 'n');
        record.entries.push_back({ HistoryEntryKind::hekFolder, name, std::int64_t { 1000 } * (i + 1) + timeMs });
    }
    record.entries.push_back({ HistoryEntryKind::hekFiles, "<All files in this folder>", timeMs });
    return record;
}

// The times of a folder's kept analyses, newest first.
inline std::vector<std::int64_t> KeptTimes(HistoryDatabase& database, const std::string& folder)
{
    std::vector<std::int64_t> times;
    for (const HistorySummary& summary : database.Analyses(folder, 1000))
        times.push_back(summary.timeMs);
    return times;
}

inline std::string FileBytes(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A second connection to the file, as another running Tarvo would hold it.
class RawConnection
{
public:
    explicit RawConnection(const std::string& fileName)
    {
        EXPECT_EQ(sqlite3_open_v2(fileName.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    }
    ~RawConnection() { sqlite3_close_v2(m_db); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    int Execute(const std::string& sql) { return sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr); }
    std::int64_t Query(const std::string& sql)
    {
        sqlite3_stmt* statement = nullptr;
        std::int64_t value = -1;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK
            && sqlite3_step(statement) == SQLITE_ROW)
            value = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        return value;
    }

private:
    sqlite3* m_db = nullptr;
};

} // namespace tarvo::test
