#pragma once

#include "HistoryLimits.h"
#include "HistoryTypes.h"

#include <bitset>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvo
{

class SqliteConnection;

// The kept analyses in one SQLite file (write-ahead log, one transaction per analysis, schema
// numbered in user_version). Not thread-safe: one object per thread; several objects, in one
// process or several, may share the file.
//
// Faults never raise: a file locked past the lock wait leaves that analysis unrecorded
// (hsBusy); a damaged, unreadable or foreign file is renamed aside with the date and a new one
// started; a folder or file that cannot be made or written gives hsUnusable; a full disk
// loses the new analysis and nothing older (hsFull). The user is told of each kind of problem
// once per object, through onProblem.
class HistoryDatabase
{
public:
    enum Access : std::uint8_t {
        haReadWrite, // makes the file and its folder when it first records
        haReadOnly, // never makes, changes or moves anything; problems only go to LastError
    };

    explicit HistoryDatabase(std::string fileName, HistoryLimits limits = {}, Access access = haReadWrite,
        std::function<void(const HistoryProblem& problem)> onProblem = {});
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    // Keeps one analysis, then drops the folder's analyses past the per-folder bound and, when
    // the file would pass its size bound, the oldest analyses of any folder.
    HistoryStatus Record(const HistoryRecord& record);
    // The kept analyses of folder (a HistoryFolderKey), newest first, at most limit of them.
    [[nodiscard]] std::vector<HistorySummary> Analyses(const std::string& folder, std::size_t limit);
    // The entries of one kept analysis in their recorded order; nothing when it is not kept.
    [[nodiscard]] std::optional<std::vector<HistoryEntry>> Entries(std::int64_t analysisId);

    // What the last call came to, and why when it failed.
    [[nodiscard]] HistoryStatus LastStatus() const { return m_lastStatus; }
    [[nodiscard]] const std::string& LastError() const { return m_lastError; }
    [[nodiscard]] const std::string& FileName() const { return m_fileName; }

    // The schema this program writes; a file with a higher number is a newer Tarvo's.
    static constexpr std::int64_t kSchemaVersion = 1;

private:
    struct Connection;
    template <class Operation> HistoryStatus Run(bool create, Operation&& operation);
    HistoryStatus Open(bool create);
    HistoryStatus OpenReadOnly();
    HistoryStatus PrepareFile(bool create);
    HistoryStatus Connect();
    [[nodiscard]] bool MoveAside(const std::string& reason);
    HistoryStatus Unusable(const std::string& reason);
    void Tell(HistoryProblem::Kind kind, const std::string& message);
    HistoryStatus WriteRecord(const HistoryRecord& record);
    [[nodiscard]] bool MakeRoom(std::int64_t bytes);
    void DeleteAnalysis(std::int64_t id);
    [[nodiscard]] std::int64_t FolderId(const std::string& folder);

    std::string m_fileName;
    HistoryLimits m_limits;
    Access m_access;
    std::function<void(const HistoryProblem&)> m_onProblem;
    std::unique_ptr<Connection> m_connection;
    std::bitset<3> m_told; // by HistoryProblem::Kind
    HistoryStatus m_lastStatus = HistoryStatus::hsDone;
    std::string m_lastError;
};

} // namespace tarvo
