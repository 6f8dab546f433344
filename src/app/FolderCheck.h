#pragma once

#include "FileSystem.h"
#include "FormatSettings.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>

namespace tarvo
{

class TDirSize;
class TKeptTotals;

// Checks a folder that the window showed from kept totals against the disk: a fresh scan on a
// worker thread of its own, never blocking the window. A check that succeeds hands its walk to
// the kept totals (which replace what they held for that folder) and reports the fresh lists;
// a folder that no longer exists is reported as gone. Only the latest check reports: a new
// Start or a Cancel silences the one before, which stops soon after.
class TFolderCheck : public QObject
{
    Q_OBJECT

public:
    TFolderCheck(FileSystem& fileSystem, FormatSettings settings, TKeptTotals& kept, QObject* parent = nullptr);
    // Stops the running check; waits a little for it, then leaves it to end on its own (a
    // folder on a volume that stopped answering must not hold the window's close).
    ~TFolderCheck() override;
    TFolderCheck(const TFolderCheck&) = delete;
    TFolderCheck& operator=(const TFolderCheck&) = delete;

    void Start(const std::string& folder, bool includeFreeSpace);
    void Cancel();
    [[nodiscard]] bool Running() const { return m_current != nullptr; }

    // On the GUI thread, for the latest check only. The scan holds the folder's fresh lists.
    std::function<void(const TDirSize& fresh)> OnChecked;
    std::function<void(const std::string& folder)> OnGone;

private:
    struct Job;
    void Finished(const std::shared_ptr<Job>& job);

    FileSystem& m_fileSystem;
    FormatSettings m_settings;
    TKeptTotals& m_kept;
    std::shared_ptr<Job> m_current;
};

} // namespace tarvo
