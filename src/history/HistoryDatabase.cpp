#include "HistoryDatabase.h"

#include "HistoryFiles.h"
#include "SqliteConnection.h"

#include <sqlite3.h>

#include <utility>

namespace tarvo
{

namespace
{

    // Entries are clustered by analysis (WITHOUT ROWID on their position), so an analysis is
    // written as one run of appended pages and dropped as one range.
    constexpr const char* kSchema = R"(
CREATE TABLE folder (id INTEGER PRIMARY KEY, path BLOB NOT NULL UNIQUE);
CREATE TABLE analysis (id INTEGER PRIMARY KEY, folder_id INTEGER NOT NULL REFERENCES folder (id),
    time_ms INTEGER NOT NULL);
CREATE INDEX analysis_by_folder ON analysis (folder_id, time_ms);
CREATE INDEX analysis_by_time ON analysis (time_ms);
CREATE TABLE entry (analysis_id INTEGER NOT NULL REFERENCES analysis (id), position INTEGER NOT NULL,
    kind INTEGER NOT NULL, name BLOB NOT NULL, bytes INTEGER NOT NULL,
    PRIMARY KEY (analysis_id, position)) WITHOUT ROWID;
)";

    bool IsDamage(int code) { return code == SQLITE_CORRUPT || code == SQLITE_NOTADB; }
    bool IsLock(int code) { return code == SQLITE_BUSY || code == SQLITE_LOCKED; }

    // The pages one analysis takes, generously: a row is its name plus about 24 bytes of keys,
    // numbers and cell header; pages are not filled to the last byte, and the analysis and
    // folder rows and index pages come on top.
    std::int64_t EstimatedBytes(const HistoryRecord& record, std::int64_t pageBytes)
    {
        std::int64_t bytes = static_cast<std::int64_t>(record.folder.size()) + 64;
        for (const HistoryEntry& entry : record.entries)
            bytes += static_cast<std::int64_t>(entry.name.size()) + 24;
        return bytes + bytes / 4 + 4 * pageBytes;
    }

    // An analysis that would take the file past its size bound: thrown inside the transaction
    // so that it rolls back, and retried with more room made.
    struct NoRoom {
    };

} // namespace

struct HistoryDatabase::Connection {
    explicit Connection(const std::string& fileName, int flags)
        : db(fileName, flags)
    {
    }
    // Made once the schema is known to be there.
    void Prepare()
    {
        sqlite3* h = db.Handle();
        findFolder = std::make_unique<SqliteStatement>(h, "SELECT id FROM folder WHERE path = ?1");
        addFolder = std::make_unique<SqliteStatement>(h, "INSERT INTO folder (path) VALUES (?1)");
        addAnalysis = std::make_unique<SqliteStatement>(h, "INSERT INTO analysis (folder_id, time_ms) VALUES (?1, ?2)");
        addEntry = std::make_unique<SqliteStatement>(
            h, "INSERT INTO entry (analysis_id, position, kind, name, bytes) VALUES (?1, ?2, ?3, ?4, ?5)");
        listAnalyses = std::make_unique<SqliteStatement>(h,
            "SELECT a.id, a.time_ms FROM analysis a JOIN folder f ON f.id = a.folder_id WHERE f.path = ?1 "
            "ORDER BY a.time_ms DESC, a.id DESC LIMIT ?2");
        hasAnalysis = std::make_unique<SqliteStatement>(h, "SELECT 1 FROM analysis WHERE id = ?1");
        readEntries = std::make_unique<SqliteStatement>(
            h, "SELECT kind, name, bytes FROM entry WHERE analysis_id = ?1 ORDER BY position");
        folderSurplus = std::make_unique<SqliteStatement>(
            h, "SELECT id FROM analysis WHERE folder_id = ?1 ORDER BY time_ms DESC, id DESC LIMIT -1 OFFSET ?2");
        oldest = std::make_unique<SqliteStatement>(h, "SELECT id FROM analysis ORDER BY time_ms, id LIMIT 1");
        deleteEntries = std::make_unique<SqliteStatement>(h, "DELETE FROM entry WHERE analysis_id = ?1");
        deleteAnalysis = std::make_unique<SqliteStatement>(h, "DELETE FROM analysis WHERE id = ?1");
        deleteUnusedFolders = std::make_unique<SqliteStatement>(
            h, "DELETE FROM folder WHERE NOT EXISTS (SELECT 1 FROM analysis WHERE folder_id = folder.id)");
    }
    [[nodiscard]] std::int64_t PageBytes() { return db.QueryInt64("PRAGMA page_size"); }
    [[nodiscard]] std::int64_t Pages() { return db.QueryInt64("PRAGMA page_count"); }
    [[nodiscard]] std::int64_t FreePages() { return db.QueryInt64("PRAGMA freelist_count"); }

    // First, so that it is destroyed last: the statements are finalised before it closes.
    SqliteConnection db;
    std::unique_ptr<SqliteStatement> findFolder, addFolder, addAnalysis, addEntry, listAnalyses, hasAnalysis,
        readEntries, folderSurplus, oldest, deleteEntries, deleteAnalysis, deleteUnusedFolders;

    ~Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
};

HistoryDatabase::HistoryDatabase(std::string fileName, HistoryLimits limits, Access access,
    std::function<void(const HistoryProblem& problem)> onProblem)
    : m_fileName(std::move(fileName))
    , m_limits(limits)
    , m_access(access)
    , m_onProblem(std::move(onProblem))
{
}

HistoryDatabase::~HistoryDatabase() = default;

// Opens the file when it is not open yet, runs the operation, and turns SQLite's failures into
// a status: a damaged file found on the way is moved aside and the operation runs once more on
// a new one.
template <class Operation> HistoryStatus HistoryDatabase::Run(bool create, Operation&& operation)
{
    m_lastError.clear();
    for (int attempt = 0;; ++attempt) {
        HistoryStatus status = Open(create);
        if (status == HistoryStatus::hsDone) {
            try {
                status = operation();
            } catch (const SqliteError& error) {
                if (IsDamage(error.Code()) && m_access == haReadWrite && attempt == 0) {
                    if (!MoveAside(error.what()))
                        return m_lastStatus = HistoryStatus::hsUnusable;
                    create = true; // a new file is started in its place
                    continue;
                }
                m_lastError = error.what();
                if (IsLock(error.Code()))
                    status = HistoryStatus::hsBusy;
                else if (error.Code() == SQLITE_FULL)
                    status = HistoryStatus::hsFull;
                else
                    status = Unusable(error.what());
            }
        }
        return m_lastStatus = status;
    }
}

HistoryStatus HistoryDatabase::Open(bool create)
{
    if (m_connection)
        return HistoryStatus::hsDone;
    if (m_access == haReadOnly)
        return OpenReadOnly();
    for (int attempt = 0;; ++attempt) {
        const HistoryStatus prepared = PrepareFile(create);
        if (prepared != HistoryStatus::hsDone)
            return prepared;
        try {
            return Connect();
        } catch (const SqliteError& error) {
            m_connection.reset();
            if (IsLock(error.Code())) {
                m_lastError = error.what();
                return HistoryStatus::hsBusy;
            }
            if (!IsDamage(error.Code()) || attempt > 0)
                return Unusable(error.what());
            if (!MoveAside(error.what()))
                return HistoryStatus::hsUnusable;
            create = true;
        }
    }
}

// The folder and the file, private, before SQLite sees them; what is in the file's place and
// cannot be a database is moved aside.
HistoryStatus HistoryDatabase::PrepareFile(bool create)
{
    const HistoryFileCheck check = CheckHistoryFile(m_fileName);
    switch (check.state) {
    case HistoryFileState::hfsMissing:
        if (!create)
            return HistoryStatus::hsMissing;
        break;
    case HistoryFileState::hfsUnreadable:
    case HistoryFileState::hfsNotDatabase:
        if (!MoveAside(check.reason))
            return HistoryStatus::hsUnusable;
        break;
    case HistoryFileState::hfsUsable:
        break;
    }
    if (const std::string error = MakePrivateFolder(FolderOfFile(m_fileName)); !error.empty())
        return Unusable("its folder " + FolderOfFile(m_fileName) + " cannot be made: " + error);
    if (const std::string error = MakePrivateFile(m_fileName); !error.empty())
        return Unusable(error);
    return HistoryStatus::hsDone;
}

// Opens the prepared file, switches it to the write-ahead log and makes or checks the schema.
// Raises SqliteError; a file that holds something else raises as damage (SQLITE_NOTADB).
HistoryStatus HistoryDatabase::Connect()
{
    m_connection = std::make_unique<Connection>(m_fileName, SQLITE_OPEN_READWRITE);
    SqliteConnection& db = m_connection->db;
    db.SetBusyTimeout(static_cast<int>(m_limits.lockWait.count()));
    if (db.QueryText("PRAGMA journal_mode = WAL") != "wal") {
        m_connection.reset();
        return Unusable("it cannot keep a write-ahead log");
    }
    db.Execute("PRAGMA synchronous = NORMAL"); // with the log: each analysis whole or not at all
    db.Execute("PRAGMA journal_size_limit = " + std::to_string(HistoryLimits::kWalKeptBytes));
    std::int64_t version = db.QueryInt64("PRAGMA user_version");
    if (version == 0) {
        // Two programs may start a new file at once: the second finds the first one's schema.
        SqliteTransaction transaction(db);
        version = db.QueryInt64("PRAGMA user_version");
        if (version == 0) {
            if (db.QueryInt64("SELECT count(*) FROM sqlite_master") != 0)
                throw SqliteError(SQLITE_NOTADB, "it holds another program's tables");
            db.ExecuteScript(kSchema);
            db.Execute("PRAGMA user_version = " + std::to_string(kSchemaVersion));
            version = kSchemaVersion;
        }
        transaction.Commit();
    }
    if (version > kSchemaVersion) {
        m_connection.reset();
        Tell(HistoryProblem::hpNewer,
            "The history of analyses in " + m_fileName
                + " was written by a newer Tarvo; this one leaves it as it is and does not record analyses.");
        return HistoryStatus::hsNewer;
    }
    if (version != kSchemaVersion)
        throw SqliteError(SQLITE_NOTADB, "its schema " + std::to_string(version) + " is unknown");
    try {
        m_connection->Prepare();
    } catch (const SqliteError& error) {
        throw SqliteError(SQLITE_NOTADB, std::string("its tables are not Tarvo's: ") + error.what());
    }
    return HistoryStatus::hsDone;
}

HistoryStatus HistoryDatabase::OpenReadOnly()
{
    const HistoryFileCheck check = CheckHistoryFile(m_fileName);
    if (check.state == HistoryFileState::hfsMissing)
        return HistoryStatus::hsMissing;
    if (check.state != HistoryFileState::hfsUsable) {
        m_lastError = check.reason;
        return HistoryStatus::hsUnusable;
    }
    try {
        m_connection = std::make_unique<Connection>(m_fileName, SQLITE_OPEN_READONLY);
        m_connection->db.SetBusyTimeout(static_cast<int>(m_limits.lockWait.count()));
        const std::int64_t version = m_connection->db.QueryInt64("PRAGMA user_version");
        if (version == kSchemaVersion) {
            m_connection->Prepare();
            return HistoryStatus::hsDone;
        }
        m_lastError = version == 0 ? std::string() : "its schema " + std::to_string(version) + " is not this Tarvo's";
        m_connection.reset();
        return version == 0 ? HistoryStatus::hsMissing
                            : (version > kSchemaVersion ? HistoryStatus::hsNewer : HistoryStatus::hsUnusable);
    } catch (const SqliteError& error) {
        m_connection.reset();
        m_lastError = error.what();
        return IsLock(error.Code()) ? HistoryStatus::hsBusy : HistoryStatus::hsUnusable;
    }
}

bool HistoryDatabase::MoveAside(const std::string& reason)
{
    m_connection.reset(); // closed first: SQLite must not keep writing to the renamed file
    const MovedAside moved = MoveHistoryFileAside(m_fileName, std::chrono::system_clock::now());
    if (!moved.error.empty()) {
        Unusable("it could not be read (" + reason + ") nor moved aside: " + moved.error);
        return false;
    }
    Tell(HistoryProblem::hpMovedAside,
        "The history of analyses in " + m_fileName + " could not be read (" + reason + "). It was renamed to "
            + moved.newName + " and a new one was started.");
    return true;
}

HistoryStatus HistoryDatabase::Unusable(const std::string& reason)
{
    m_connection.reset(); // the next call tries again: the user may have made room or a folder
    m_lastError = reason;
    Tell(HistoryProblem::hpUnusable,
        "Tarvo cannot keep its history of analyses in " + m_fileName + ": " + reason
            + ". Analyses are shown but not recorded.");
    return HistoryStatus::hsUnusable;
}

void HistoryDatabase::Tell(HistoryProblem::Kind kind, const std::string& message)
{
    if (m_told.test(kind))
        return;
    m_told.set(kind);
    if (m_onProblem)
        m_onProblem(HistoryProblem { kind, message });
}

HistoryStatus HistoryDatabase::Record(const HistoryRecord& record)
{
    if (m_access == haReadOnly) {
        m_lastError = "the history is open for reading only";
        return m_lastStatus = HistoryStatus::hsUnusable;
    }
    return Run(true, [&] { return WriteRecord(record); });
}

// One transaction: room made by dropping the oldest analyses, the analysis written, then the
// folder's analyses past its bound dropped. When the room made proves too small the whole
// transaction rolls back and is tried again with more room; a full disk rolls it back for good.
HistoryStatus HistoryDatabase::WriteRecord(const HistoryRecord& record)
{
    Connection& c = *m_connection;
    std::int64_t room = EstimatedBytes(record, c.PageBytes());
    for (int attempt = 0; attempt < 4; ++attempt, room *= 2) {
        try {
            SqliteTransaction transaction(c.db);
            if (!MakeRoom(room))
                return HistoryStatus::hsFull; // larger than the whole bound
            const std::int64_t folderId = FolderId(record.folder);
            c.addAnalysis->Bind(1, folderId).Bind(2, record.timeMs).Step();
            c.addAnalysis->Reset();
            const std::int64_t analysisId = c.db.LastInsertId();
            for (std::size_t i = 0; i < record.entries.size(); ++i) {
                const HistoryEntry& entry = record.entries[i];
                c.addEntry->Bind(1, analysisId)
                    .Bind(2, static_cast<std::int64_t>(i))
                    .Bind(3, static_cast<std::int64_t>(entry.kind))
                    .BindBytes(4, entry.name)
                    .Bind(5, entry.bytes)
                    .Step();
                c.addEntry->Reset();
            }
            if (c.Pages() * c.PageBytes() > m_limits.maxFileBytes)
                throw NoRoom {};
            std::vector<std::int64_t> surplus;
            c.folderSurplus->Bind(1, folderId).Bind(2, m_limits.analysesPerFolder);
            while (c.folderSurplus->Step())
                surplus.push_back(c.folderSurplus->Int64(0));
            c.folderSurplus->Reset();
            for (const std::int64_t id : surplus)
                DeleteAnalysis(id);
            transaction.Commit();
            return HistoryStatus::hsDone;
        } catch (const NoRoom&) {
            // rolled back; the next round makes twice the room
        }
    }
    return HistoryStatus::hsFull;
}

std::int64_t HistoryDatabase::FolderId(const std::string& folder)
{
    Connection& c = *m_connection;
    c.findFolder->BindBytes(1, folder);
    const bool found = c.findFolder->Step();
    const std::int64_t id = found ? c.findFolder->Int64(0) : 0;
    c.findFolder->Reset();
    if (found)
        return id;
    c.addFolder->BindBytes(1, folder).Step();
    c.addFolder->Reset();
    return c.db.LastInsertId();
}

// Drops the oldest analyses of any folder until the file, counting its free pages as room, has
// `bytes` to spare under its bound. False when even an empty file would not.
bool HistoryDatabase::MakeRoom(std::int64_t bytes)
{
    Connection& c = *m_connection;
    const std::int64_t pageBytes = c.PageBytes();
    bool dropped = false;
    while ((c.Pages() - c.FreePages()) * pageBytes + bytes > m_limits.maxFileBytes) {
        const bool any = c.oldest->Step();
        const std::int64_t id = any ? c.oldest->Int64(0) : 0;
        c.oldest->Reset();
        if (!any)
            return false;
        DeleteAnalysis(id);
        dropped = true;
    }
    if (dropped) {
        c.deleteUnusedFolders->Step();
        c.deleteUnusedFolders->Reset();
    }
    return true;
}

void HistoryDatabase::DeleteAnalysis(std::int64_t id)
{
    Connection& c = *m_connection;
    c.deleteEntries->Bind(1, id).Step();
    c.deleteEntries->Reset();
    c.deleteAnalysis->Bind(1, id).Step();
    c.deleteAnalysis->Reset();
}

std::vector<HistorySummary> HistoryDatabase::Analyses(const std::string& folder, std::size_t limit)
{
    std::vector<HistorySummary> analyses;
    Run(false, [&] {
        analyses.clear();
        SqliteStatement& list = *m_connection->listAnalyses;
        list.BindBytes(1, folder).Bind(2, static_cast<std::int64_t>(limit));
        while (list.Step())
            analyses.push_back({ list.Int64(0), list.Int64(1) });
        list.Reset();
        return HistoryStatus::hsDone;
    });
    return analyses;
}

std::optional<std::vector<HistoryEntry>> HistoryDatabase::Entries(std::int64_t analysisId)
{
    std::optional<std::vector<HistoryEntry>> entries;
    Run(false, [&] {
        entries.reset();
        Connection& c = *m_connection;
        c.hasAnalysis->Bind(1, analysisId);
        const bool kept = c.hasAnalysis->Step();
        c.hasAnalysis->Reset();
        if (!kept)
            return HistoryStatus::hsDone;
        entries.emplace();
        c.readEntries->Bind(1, analysisId);
        while (c.readEntries->Step())
            entries->push_back({ static_cast<HistoryEntryKind>(c.readEntries->Int64(0)), c.readEntries->Bytes(1),
                c.readEntries->Int64(2) });
        c.readEntries->Reset();
        return HistoryStatus::hsDone;
    });
    return entries;
}

} // namespace tarvo
