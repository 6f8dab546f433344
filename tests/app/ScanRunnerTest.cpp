#include "ScanRunner.h"
#include "DirSize.h"
#include "GuiTestSupport.h"
#include "MemoryFileSystem.h"
#include "PathStyle.h"
#include "ScanProgressDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    using namespace std::chrono_literals;
    using test::Click;
    using test::ProcessEventsUntil;

    // Holds readers of the file system until the test lets them go, so that a scan is
    // "long" for exactly as long as the test needs it to be, on any machine.
    class Gate
    {
    public:
        void Open()
        {
            const std::lock_guard lock(m_mutex);
            m_open = true;
            m_changed.notify_all();
        }
        void Close()
        {
            const std::lock_guard lock(m_mutex);
            m_open = false;
            m_arrivals.store(0);
        }
        void Wait()
        {
            ++m_arrivals;
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_open; });
        }

        // True once a reader has come to the gate: the scan is inside Calculate by then, past
        // the point where Calculate forgets a Cancel that came before it.
        [[nodiscard]] bool Reached() const { return m_arrivals.load() > 0; }

    private:
        std::mutex m_mutex;
        std::condition_variable m_changed;
        bool m_open = true;
        std::atomic<int> m_arrivals { 0 };
    };

    bool ADialogIsLeft()
    {
        for (QWidget* widget : QApplication::allWidgets()) {
            if (qobject_cast<ScanProgressDialog*>(widget) != nullptr)
                return true;
        }
        return false;
    }

    class ScanRunnerTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            test::EnsureApp();
            test::ShownMessages().clear();
            for (int folder = 0; folder < 20; ++folder) {
                const std::string top = "/data/d" + std::to_string(folder);
                for (int sub = 0; sub < 5; ++sub)
                    m_fs.AddFile(top + "/s" + std::to_string(sub) + "/file", 1024 * (folder + 1));
            }
            m_fs.SetReadHook([this](const std::string& path) {
                if (path == m_throwAt)
                    throw std::runtime_error("The disk went away");
                if (m_holdOnlyAt.empty() || path == m_holdOnlyAt)
                    m_gate.Wait();
            });

            m_window = std::make_unique<QWidget>();
            m_window->resize(300, 200);
            m_button = new QPushButton(QStringLiteral("Run"), m_window.get());
            m_button->setGeometry(10, 10, 100, 30);
            QObject::connect(m_button, &QPushButton::clicked, [this] { ++m_clicks; });
            m_timer = new QTimer(m_window.get());
            m_timer->setInterval(1);
            QObject::connect(m_timer, &QTimer::timeout, [this] { ++m_ticks; });
            m_window->show();
            m_runner = std::make_unique<ScanRunner>(m_window.get());
            m_runner->SetDialogDelay(20ms);
            m_scan.Folder = "/data";
        }

        void TearDown() override
        {
            m_gate.Open();
            m_runner.reset();
            m_window.reset();
        }

        // A first, finished analysis: what a cancelled one must leave in place.
        void ScanOnce()
        {
            m_gate.Open();
            ASSERT_TRUE(m_runner->Run(m_scan));
            ASSERT_EQ(m_scan.PathList.size(), 21u);
        }

        MemoryFileSystem m_fs { PathStyle::Posix() };
        TDirSize m_scan { m_fs, FormatSettings::Invariant() };
        Gate m_gate;
        std::string m_holdOnlyAt; // empty: every read waits at the gate
        std::string m_throwAt;
        std::unique_ptr<QWidget> m_window;
        QPushButton* m_button = nullptr;
        QTimer* m_timer = nullptr;
        std::unique_ptr<ScanRunner> m_runner;
        int m_clicks = 0;
        int m_ticks = 0;
    };

    TEST_F(ScanRunnerTest, AQuickScanShowsNoDialogAndRestoresTheCursor)
    {
        m_runner->SetDialogDelay(10s);
        bool shown = false;
        m_runner->OnDialogShown = [&](ScanProgressDialog&) { shown = true; };
        Qt::CursorShape during = Qt::ArrowCursor;
        m_fs.SetReadHook([&](const std::string&) {
            if (const QCursor* cursor = QApplication::overrideCursor())
                during = cursor->shape();
        });
        EXPECT_TRUE(m_runner->Run(m_scan));
        EXPECT_EQ(during, Qt::WaitCursor);
        EXPECT_FALSE(shown);
        EXPECT_EQ(m_scan.PathList.front(), "/data/d0");
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(m_runner->Running());
    }

    TEST_F(ScanRunnerTest, ALongScanShowsTheDialogUntilItHasFinished)
    {
        m_gate.Close();
        bool shown = false;
        m_runner->OnDialogShown = [&](ScanProgressDialog& dialog) {
            shown = true;
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_TRUE(dialog.isModal());
            EXPECT_EQ(dialog.windowTitle(), "Tarvo");
            EXPECT_EQ(dialog.FolderText(), "/data");
            EXPECT_EQ(dialog.CountText(), "0 folders, 0.0 MB");
            EXPECT_TRUE(m_runner->Running());
            ASSERT_NE(QApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
            m_gate.Open();
        };
        EXPECT_TRUE(m_runner->Run(m_scan));
        EXPECT_TRUE(shown);
        EXPECT_EQ(m_scan.PathList.size(), 21u);
        EXPECT_FALSE(ADialogIsLeft());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    TEST_F(ScanRunnerTest, TheDialogFollowsTheScansProgress)
    {
        // One reader waits at the last folder; the others count the rest meanwhile.
        m_holdOnlyAt = "/data/d19";
        m_gate.Close();
        QString folder;
        QString count;
        m_runner->OnDialogShown = [&](ScanProgressDialog& dialog) {
            EXPECT_TRUE(ProcessEventsUntil([&] { return dialog.CountText().endsWith(" 0.9 MB"); }));
            folder = dialog.FolderText();
            count = dialog.CountText();
            m_gate.Open();
        };
        EXPECT_TRUE(m_runner->Run(m_scan));
        EXPECT_TRUE(folder.startsWith("/data/d")) << folder.toStdString();
        // Everything but d19: 5 files of (i + 1) KiB in each di, 950 KiB in all.
        EXPECT_FALSE(count.startsWith("0 folders")) << count.toStdString();
    }

    enum class CancelWay { cwButton, cwEscape, cwCloseBox };

    class ScanRunnerCancel : public ScanRunnerTest, public ::testing::WithParamInterface<CancelWay>
    {
    };

    TEST_P(ScanRunnerCancel, StopsTheScanAndKeepsThePreviousLists)
    {
        ScanOnce();
        const auto paths = m_scan.PathList;
        const auto kbs = m_scan.KBList;
        const auto bytes = m_scan.ByteList;

        m_fs.AddFile("/data/new/file", 4096);
        m_gate.Close();
        bool shown = false;
        m_runner->OnDialogShown = [&](ScanProgressDialog& dialog) {
            shown = true;
            ASSERT_TRUE(ProcessEventsUntil([&] { return m_gate.Reached(); }));
            switch (GetParam()) {
            case CancelWay::cwButton:
                Click(*dialog.CancelButton());
                break;
            case CancelWay::cwEscape: {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(&dialog, &escape);
                break;
            }
            case CancelWay::cwCloseBox:
                // Still on screen: it goes once the scan has stopped.
                EXPECT_FALSE(dialog.close());
                break;
            }
            EXPECT_TRUE(dialog.CancelRequested());
            m_gate.Open();
        };
        EXPECT_FALSE(m_runner->Run(m_scan));
        EXPECT_TRUE(shown);
        EXPECT_EQ(m_scan.PathList, paths);
        EXPECT_EQ(m_scan.KBList, kbs);
        EXPECT_EQ(m_scan.ByteList, bytes);
        EXPECT_FALSE(ADialogIsLeft());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);

        // The next analysis is a normal one again.
        EXPECT_TRUE(m_runner->Run(m_scan));
        EXPECT_EQ(m_scan.PathList.size(), 22u);
    }

    std::string CancelWayName(const ::testing::TestParamInfo<CancelWay>& info)
    {
        switch (info.param) {
        case CancelWay::cwButton:
            return "CancelButton";
        case CancelWay::cwEscape:
            return "EscapeKey";
        case CancelWay::cwCloseBox:
            return "CloseBox";
        }
        return "Unknown";
    }

    INSTANTIATE_TEST_SUITE_P(Ways, ScanRunnerCancel,
        ::testing::Values(CancelWay::cwButton, CancelWay::cwEscape, CancelWay::cwCloseBox), CancelWayName);

    TEST_F(ScanRunnerTest, TheWindowTakesNoInputAndNoTimerTicksDuringAScan)
    {
        auto* run = new QAction(QStringLiteral("Run"), m_window.get());
        run->setShortcut(Qt::Key_F9);
        m_window->addAction(run);
        int triggered = 0;
        QObject::connect(run, &QAction::triggered, [&] { ++triggered; });

        m_gate.Close();
        m_timer->start();
        int ticksWhileShown = -1;
        m_runner->OnDialogShown = [&](ScanProgressDialog&) {
            ticksWhileShown = m_ticks;
            Click(*m_button);
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
            QApplication::sendEvent(m_button, &key);
            QShortcutEvent shortcut(QKeySequence(Qt::Key_F9), 0);
            QApplication::sendEvent(run, &shortcut);
            EXPECT_FALSE(m_window->close());
            m_gate.Open();
        };
        EXPECT_TRUE(m_runner->Run(m_scan));
        EXPECT_EQ(ticksWhileShown, 0);
        EXPECT_EQ(m_ticks, 0);
        EXPECT_EQ(m_clicks, 0);
        EXPECT_EQ(triggered, 0);
        EXPECT_TRUE(m_window->isVisible());

        // Afterwards all of it works again.
        Click(*m_button);
        EXPECT_EQ(m_clicks, 1);
        QShortcutEvent shortcut(QKeySequence(Qt::Key_F9), 0);
        QApplication::sendEvent(run, &shortcut);
        EXPECT_EQ(triggered, 1);
        EXPECT_TRUE(ProcessEventsUntil([&] { return m_ticks > 0; }));
    }

    TEST_F(ScanRunnerTest, AnExceptionOfTheScanComesBackOnTheCallingThread)
    {
        ScanOnce();
        const auto paths = m_scan.PathList;
        m_throwAt = "/data/d7/s3";
        try {
            (void)m_runner->Run(m_scan);
            ADD_FAILURE() << "the scan's exception was lost";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "The disk went away");
        }
        EXPECT_EQ(m_scan.PathList, paths);
        EXPECT_FALSE(m_runner->Running());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(test::ShownMessages().empty());

        m_throwAt.clear();
        EXPECT_TRUE(m_runner->Run(m_scan));
    }

    TEST_F(ScanRunnerTest, ANestedRunIsRefused)
    {
        m_gate.Close();
        TDirSize other(m_fs, FormatSettings::Invariant());
        other.Folder = "/data/d1";
        m_runner->OnDialogShown = [&](ScanProgressDialog&) {
            EXPECT_THROW((void)m_runner->Run(other), std::logic_error);
            m_gate.Open();
        };
        EXPECT_TRUE(m_runner->Run(m_scan));
        EXPECT_TRUE(other.PathList.empty());
        EXPECT_EQ(m_scan.PathList.size(), 21u);
    }

} // namespace
} // namespace tarvo
