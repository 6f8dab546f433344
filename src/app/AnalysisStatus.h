#pragma once

#include "FolderWalker.h"
#include "FormatSettings.h"

#include <QWidget>

#include <cstddef>
#include <vector>

class QLabel;
class QProgressBar;

namespace tarvo
{

// A quiet line in the tool bar about the analysis on screen: how many folders could not be
// read (their first paths and reasons in its tool tip), and a busy sign while the folder shown
// is being checked against the disk. Blank when there is nothing to say.
class TAnalysisStatus : public QWidget
{
    Q_OBJECT

public:
    explicit TAnalysisStatus(FormatSettings settings, QWidget* parent = nullptr);

    // count 0 says nothing; `first` are the first of them by path (at most UnreadLog::kKept).
    void ShowUnread(std::size_t count, const std::vector<UnreadFolder>& first);
    void SetChecking(bool checking);
    [[nodiscard]] bool Checking() const;
    // The unread line as shown ("3 folders could not be read"), empty when hidden.
    [[nodiscard]] QString UnreadText() const;

private:
    FormatSettings m_settings;
    QProgressBar* m_busy = nullptr;
    QLabel* m_unread = nullptr;
};

// "1 folder could not be read", "1,234 folders could not be read" (grouped as the locale groups).
[[nodiscard]] QString UnreadFoldersText(std::size_t count, const FormatSettings& settings);
// One line per folder, "path: reason", then "and N more" when count exceeds them.
[[nodiscard]] QString UnreadFoldersTip(std::size_t count, const std::vector<UnreadFolder>& first);

} // namespace tarvo
