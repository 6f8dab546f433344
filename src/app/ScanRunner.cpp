#include "ScanRunner.h"

#include "DirSize.h"
#include "ScanProgressDialog.h"
#include "WaitCursor.h"

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <atomic>
#include <exception>
#include <memory>
#include <stdexcept>
#include <thread>

namespace tarvo
{

namespace
{

    using namespace std::chrono_literals;

    constexpr auto kProgressInterval = 100ms;

    // True when object is inside (or is) ancestor along the QObject parent chain; unlike
    // QWidget::isAncestorOf this also covers timers and actions, and crosses window borders.
    bool IsInside(const QObject* object, const QObject* ancestor)
    {
        if (ancestor == nullptr)
            return false;
        for (; object != nullptr; object = object->parent()) {
            if (object == ancestor)
                return true;
        }
        return false;
    }

    bool IsUserInput(const QEvent& event)
    {
        switch (event.type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Close:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseMove:
            // Plain moves keep hover feedback alive; a move with a button down is a drag.
            return static_cast<const QMouseEvent&>(event).buttons() != Qt::NoButton;
        default:
            return false;
        }
    }

    // Keeps the application as a blocked message loop would: user input reaches only the
    // progress dialog, and the window's timers do not tick. Painting, resizing and hover
    // still go through, so the window never looks frozen.
    class InputBlocker : public QObject
    {
    public:
        InputBlocker(const QObject* window, const std::unique_ptr<ScanProgressDialog>& dialog)
            : m_window(window)
            , m_dialog(dialog)
        {
            qApp->installEventFilter(this);
        }
        ~InputBlocker() override { qApp->removeEventFilter(this); }
        InputBlocker(const InputBlocker&) = delete;
        InputBlocker& operator=(const InputBlocker&) = delete;

    protected:
        bool eventFilter(QObject* receiver, QEvent* event) override
        {
            if (IsInside(receiver, m_dialog.get()))
                return false;
            // Only the window's own QTimer objects (Timer1 and its kind) are held back; Qt's
            // internal timers (update requests of native windows, animations) keep running so
            // that painting goes on.
            if (event->type() == QEvent::Timer)
                return qobject_cast<QTimer*>(receiver) != nullptr && IsInside(receiver, m_window);
            // A native window passes its input on to its widgets, where it is judged.
            if (receiver->isWindowType() || !IsUserInput(*event))
                return false;
            // An accepted close event that is filtered away would still close the window.
            event->ignore();
            return true;
        }

    private:
        const QObject* m_window;
        const std::unique_ptr<ScanProgressDialog>& m_dialog;
    };

    // Makes sure no worker outlives Run, even when Run is left by an exception.
    class WorkerJoiner
    {
    public:
        WorkerJoiner(std::thread& worker, std::atomic<bool>& stop)
            : m_worker(worker)
            , m_stop(stop)
        {
        }
        ~WorkerJoiner()
        {
            if (!m_worker.joinable())
                return;
            m_stop.store(true);
            m_worker.join();
        }
        WorkerJoiner(const WorkerJoiner&) = delete;
        WorkerJoiner& operator=(const WorkerJoiner&) = delete;

    private:
        std::thread& m_worker;
        std::atomic<bool>& m_stop;
    };

    // Before the walk has entered its first subfolder, the folder being analysed is shown.
    ScanProgress WithFolderShown(ScanProgress progress, const std::string& folder)
    {
        if (progress.currentPath.empty())
            progress.currentPath = folder;
        return progress;
    }

    // What the scan's thread leaves for the window's; finished is set last.
    struct ScanOutcome {
        std::atomic<bool> finished { false };
        bool result = false;
        std::exception_ptr error;
    };

    // Runs the scan on a thread of its own and quits the loop when it ends, however it ends.
    std::thread StartScan(TDirSize& scan, const std::atomic<bool>& stop, ScanOutcome& outcome, QEventLoop& loop)
    {
        return std::thread([&scan, &stop, &outcome, &loop] {
            try {
                outcome.result = scan.Calculate(stop);
            } catch (...) {
                outcome.error = std::current_exception();
            }
            outcome.finished.store(true);
            QMetaObject::invokeMethod(
                &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
        });
    }

    class RunningFlag
    {
    public:
        explicit RunningFlag(bool& running)
            : m_running(running)
        {
            m_running = true;
        }
        ~RunningFlag() { m_running = false; }
        RunningFlag(const RunningFlag&) = delete;
        RunningFlag& operator=(const RunningFlag&) = delete;

    private:
        bool& m_running;
    };

} // namespace

ScanRunner::ScanRunner(QWidget* window)
    : m_window(window)
{
}

ScanRunner::~ScanRunner() = default;

bool ScanRunner::Run(TDirSize& scan)
{
    // The window's input is blocked during a scan, so only a program fault gets here twice.
    if (m_running)
        throw std::logic_error("A folder scan is already running");
    const RunningFlag running(m_running);
    const WaitCursor cursor;

    // Declared first so it goes last: the blocker and the timers refer to it.
    std::unique_ptr<ScanProgressDialog> dialog;
    const InputBlocker blocker(m_window, dialog);
    // Deferred deletes posted before this loop are not run by it (Qt keeps them for the loop
    // level that posted them), so nothing the window holds disappears under its feet.
    QEventLoop loop;

    const std::string folder = scan.Folder;
    // The one way this scan is cancelled: the scan watches this flag from its very start, so a
    // wish to stop is never lost, however early it comes.
    std::atomic<bool> stop { false };
    ScanOutcome outcome;
    std::thread worker = StartScan(scan, stop, outcome, loop);
    WorkerJoiner joiner(worker, stop);

    QTimer progressTimer;
    progressTimer.setInterval(kProgressInterval);
    const auto showProgress = [&] { dialog->SetProgress(WithFolderShown(scan.Progress(), folder)); };
    QObject::connect(&progressTimer, &QTimer::timeout, showProgress);

    QTimer dialogTimer;
    dialogTimer.setSingleShot(true);
    QObject::connect(&dialogTimer, &QTimer::timeout, [&] {
        if (outcome.finished.load())
            return;
        dialog = std::make_unique<ScanProgressDialog>(scan.Settings(), m_window);
        dialog->OnCancel = [&stop] { stop.store(true); };
        showProgress();
        dialog->show();
        // The arrow beside the hourglass says that the Cancel button can still be clicked.
        QApplication::changeOverrideCursor(Qt::BusyCursor);
        progressTimer.start();
        if (OnDialogShown)
            OnDialogShown(*dialog);
    });
    dialogTimer.start(m_dialogDelay);

    loop.exec();
    worker.join();
    progressTimer.stop();
    dialog.reset();

    if (outcome.error)
        std::rethrow_exception(outcome.error);
    return outcome.result;
}

} // namespace tarvo
