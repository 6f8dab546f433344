#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tarvo
{

// A failed SQLite call: its primary result code (SQLITE_BUSY, SQLITE_CORRUPT, ...) and message.
class SqliteError : public std::runtime_error
{
public:
    SqliteError(int code, const std::string& message)
        : std::runtime_error(message)
        , m_code(code)
    {
    }
    [[nodiscard]] int Code() const { return m_code; }

private:
    int m_code;
};

// A prepared statement; parameters count from 1, columns from 0.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    SqliteStatement& Bind(int index, std::int64_t value);
    // Bytes as they are (a BLOB): names need not be UTF-8.
    SqliteStatement& BindBytes(int index, std::string_view bytes);
    // True while there is a row to read; false once done. Raises SqliteError.
    bool Step();
    // Ready to run again with new parameters.
    void Reset();
    [[nodiscard]] std::int64_t Int64(int column) const;
    [[nodiscard]] std::string Bytes(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};

// One connection to one database file; used by one thread at a time.
class SqliteConnection
{
public:
    // SQLite's open flags (SQLITE_OPEN_READWRITE, ...). Raises SqliteError.
    SqliteConnection(const std::string& fileName, int flags);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    void Execute(std::string_view sql);
    // Several statements separated by semicolons, run in order.
    void ExecuteScript(const std::string& sql);
    // The first column of the first row of a query (a pragma's value); 0 without a row.
    [[nodiscard]] std::int64_t QueryInt64(std::string_view sql);
    [[nodiscard]] std::string QueryText(std::string_view sql);
    void SetBusyTimeout(int milliseconds);
    [[nodiscard]] std::int64_t LastInsertId() const;
    [[nodiscard]] sqlite3* Handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

// BEGIN IMMEDIATE (the write lock at once, so that a second writer waits at the start rather
// than failing half-way); rolled back unless committed.
class SqliteTransaction
{
public:
    explicit SqliteTransaction(SqliteConnection& connection);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    void Commit();

private:
    SqliteConnection& m_connection;
    bool m_open = true;
};

// Raises SqliteError for a result that is not SQLITE_OK, SQLITE_ROW or SQLITE_DONE.
void CheckSqlite(sqlite3* db, int result);

} // namespace tarvo
