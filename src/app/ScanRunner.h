#pragma once

#include <QObject>

#include <chrono>
#include <functional>

class QWidget;

namespace tarvo
{

class TDirSize;
class ScanProgressDialog;

// Runs TDirSize::Calculate on a worker thread while the window waits as if blocked: the
// hourglass shows and no click, key, wheel, close or timer event reaches the window. When the
// scan lasts longer than DialogDelay a small modal dialog shows the folder being scanned, the
// folders and bytes counted so far and a Cancel button; Cancel stops the scan promptly and the
// previous lists of the scanner stay as they were.
class ScanRunner : public QObject
{
    Q_OBJECT

public:
    explicit ScanRunner(QWidget* window);
    ~ScanRunner() override;

    // Calculate's result: false when the user cancelled. Exceptions of the scan are rethrown
    // here, on the calling (GUI) thread.
    bool Run(TDirSize& scan);

    void SetDialogDelay(std::chrono::milliseconds delay) { m_dialogDelay = delay; }
    [[nodiscard]] bool Running() const { return m_running; }
    // For tests: called on the GUI thread once the progress dialog is on screen.
    std::function<void(ScanProgressDialog& dialog)> OnDialogShown;

private:
    QWidget* m_window;
    std::chrono::milliseconds m_dialogDelay { 500 };
    bool m_running = false;
};

} // namespace tarvo
