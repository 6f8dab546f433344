#pragma once

#include "FormatSettings.h"

#include <QDialog>
#include <QPushButton>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>

class QLabel;

namespace tarvo
{

struct ScanProgress;

// "12,345 folders, 678.9 MB": the folders read so far and the bytes counted, in megabytes
// (2^20 bytes) with one decimal, grouped with the user's separators.
[[nodiscard]] QString ScanProgressText(std::uint64_t folders, std::int64_t bytes, const FormatSettings& settings);

// The small modal window of a long scan: the folder being scanned, what was counted so far
// and a Cancel button. Escape and the close box cancel as the button does. The dialog only
// reports the wish to cancel; whoever runs the scan decides when the dialog goes away.
class ScanProgressDialog : public QDialog
{
    Q_OBJECT

public:
    ScanProgressDialog(FormatSettings settings, QWidget* parent);
    ScanProgressDialog(const ScanProgressDialog&) = delete;
    ScanProgressDialog& operator=(const ScanProgressDialog&) = delete;

    // Shows the folder (raw path bytes) and the counts of a running scan.
    void SetProgress(const ScanProgress& progress);

    // Called on the GUI thread at the first Cancel click, Escape or close box.
    std::function<void()> OnCancel;

    [[nodiscard]] bool CancelRequested() const { return m_cancelRequested; }
    [[nodiscard]] QPushButton* CancelButton() const { return m_cancelButton; }
    [[nodiscard]] QString FolderText() const;
    [[nodiscard]] QString CountText() const;

public Q_SLOTS:
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowFolder();

    FormatSettings m_settings;
    QLabel* m_folderLabel = nullptr;
    QLabel* m_countLabel = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QString m_folder; // the full folder text; the label shows it elided in the middle
    bool m_cancelRequested = false;
};

} // namespace tarvo
