#include "SqliteConnection.h"

#include <sqlite3.h>

namespace tarvo
{

void CheckSqlite(sqlite3* db, int result)
{
    if (result == SQLITE_OK || result == SQLITE_ROW || result == SQLITE_DONE)
        return;
    const int code = result & 0xFF;
    std::string message = sqlite3_errstr(result);
    if (db != nullptr && sqlite3_errcode(db) == result)
        message = sqlite3_errmsg(db);
    throw SqliteError(code, message);
}

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql)
    : m_db(db)
{
    CheckSqlite(m_db,
        sqlite3_prepare_v3(
            m_db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr));
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(m_statement); }

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value)
{
    CheckSqlite(m_db, sqlite3_bind_int64(m_statement, index, value));
    return *this;
}

SqliteStatement& SqliteStatement::BindBytes(int index, std::string_view bytes)
{
    // An empty name is still a blob, not NULL: the columns are NOT NULL.
    static const char kNothing = 0;
    const char* data = bytes.empty() ? &kNothing : bytes.data();
    CheckSqlite(m_db, sqlite3_bind_blob64(m_statement, index, data, bytes.size(), SQLITE_TRANSIENT));
    return *this;
}

bool SqliteStatement::Step()
{
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result == SQLITE_DONE)
        return false;
    sqlite3_reset(m_statement); // the statement stays usable; the error is the step's
    CheckSqlite(m_db, result);
    return false;
}

void SqliteStatement::Reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

std::int64_t SqliteStatement::Int64(int column) const { return sqlite3_column_int64(m_statement, column); }

std::string SqliteStatement::Bytes(int column) const
{
    const void* data = sqlite3_column_blob(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return data == nullptr ? std::string()
                           : std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

SqliteConnection::SqliteConnection(const std::string& fileName, int flags)
{
    const int result = sqlite3_open_v2(fileName.c_str(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK) {
        const std::string message = m_db != nullptr ? sqlite3_errmsg(m_db) : sqlite3_errstr(result);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw SqliteError(result & 0xFF, message);
    }
    sqlite3_extended_result_codes(m_db, 0);
}

SqliteConnection::~SqliteConnection() { sqlite3_close_v2(m_db); }

void SqliteConnection::Execute(std::string_view sql)
{
    SqliteStatement statement(m_db, sql);
    while (statement.Step()) { }
}

void SqliteConnection::ExecuteScript(const std::string& sql)
{
    CheckSqlite(m_db, sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr));
}

std::int64_t SqliteConnection::QueryInt64(std::string_view sql)
{
    SqliteStatement statement(m_db, sql);
    return statement.Step() ? statement.Int64(0) : 0;
}

std::string SqliteConnection::QueryText(std::string_view sql)
{
    SqliteStatement statement(m_db, sql);
    return statement.Step() ? statement.Bytes(0) : std::string();
}

void SqliteConnection::SetBusyTimeout(int milliseconds) { sqlite3_busy_timeout(m_db, milliseconds); }

std::int64_t SqliteConnection::LastInsertId() const { return sqlite3_last_insert_rowid(m_db); }

SqliteTransaction::SqliteTransaction(SqliteConnection& connection)
    : m_connection(connection)
{
    m_connection.Execute("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction()
{
    // SQLite may already have rolled back by itself (after SQLITE_FULL, for one); then there is
    // nothing left to undo.
    if (m_open && !sqlite3_get_autocommit(m_connection.Handle()))
        sqlite3_exec(m_connection.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::Commit()
{
    m_connection.Execute("COMMIT");
    m_open = false;
}

} // namespace tarvo
