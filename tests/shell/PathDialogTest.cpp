// The folder browse dialog: what Directory stores, and the real dialog driven as a user would.

#include "PathDialog.h"
#include "ModalAnswers.h"
#include "TempTree.h"

#include "QtTestApp.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

namespace tarvo
{
namespace
{

    using test::AnswerModals;

    // Later, from the event loop: the dialog's own questions must find the steps free.
    std::function<void(QWidget&)> Later(std::function<void(QFileDialog&)> act)
    {
        return [act](QWidget& modal) {
            auto* dialog = qobject_cast<QFileDialog*>(&modal);
            ASSERT_NE(dialog, nullptr);
            QTimer::singleShot(0, dialog, [act, dialog] { act(*dialog); });
        };
    }

    // The dialog reads its folders in the background; a user sees them before picking one.
    void WaitForFolders(QFileDialog& dialog)
    {
        auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        ASSERT_NE(view, nullptr);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (view->model()->rowCount(view->rootIndex()) == 0 && std::chrono::steady_clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    // What the user types into the name field (selectFile leaves a focused field alone).
    void Type(QFileDialog& dialog, const QString& text)
    {
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(text);
    }

    // A click on the folder of that name in the dialog's list.
    void Highlight(QFileDialog& dialog, const QString& name)
    {
        WaitForFolders(dialog);
        auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        ASSERT_NE(view, nullptr);
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
            const QModelIndex index = view->model()->index(row, 0, view->rootIndex());
            if (index.data().toString() == name) {
                view->setCurrentIndex(index);
                return;
            }
        }
        FAIL() << "no folder " << name.toStdString() << " in the dialog";
    }

    void Accept(QFileDialog& dialog) { static_cast<QDialog&>(dialog).accept(); }

    TEST(PathDialogDirectory, IsStoredWithoutItsTrailingSeparatorButARootKeepsIt)
    {
        struct Case {
            const PathStyle& style;
            std::string written;
            std::string stored;
        };
        const std::vector<Case> cases = {
            { PathStyle::Posix(), "/usr/", "/usr" },
            { PathStyle::Posix(), "/usr", "/usr" },
            { PathStyle::Posix(), "/", "/" },
            { PathStyle::Windows(), "C:\\Windows\\", "C:\\Windows" },
            { PathStyle::Windows(), "D:\\", "D:" },
        };
        for (const Case& c : cases) {
            TPathDialog dialog(nullptr, c.style);
            dialog.SetDirectory(c.written);
            EXPECT_EQ(dialog.Directory(), c.stored) << c.written;
        }
        TPathDialog dialog(nullptr);
        dialog.SetDirectory("");
        EXPECT_EQ(dialog.Directory(), QDir::currentPath().toStdString()) << "empty is the process's folder";
    }

    class PathDialogRun : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            test::EnsureQtTestApp();
            m_tree.Folder("with space");
            m_tree.Folder("other");
        }
        test::TempTree m_tree;
    };

    TEST_F(PathDialogRun, ConfirmingAFolderReturnsItAndCancellingKeepsDirectory)
    {
        TPathDialog dialog(nullptr);
        dialog.SetTitle("Browse for directory");
        dialog.SetDirectory(m_tree.Path() + "/other/");
        int shown = 0;
        std::vector<std::string> selected;
        dialog.OnShow = [&](TPathDialog& sender) {
            ++shown;
            EXPECT_EQ(sender.OpenDialog()->windowTitle(), QStringLiteral("Browse for directory"));
            EXPECT_EQ(sender.StatusLine(), nullptr) << "no status line without ShowStatus";
        };
        dialog.OnSelect = [&](TPathDialog&, const std::string& path) { selected.push_back(path); };
        bool result = false;
        AnswerModals([&] { result = dialog.Execute(); }, { Later([&](QFileDialog& d) {
            Highlight(d, QStringLiteral("with space"));
            Accept(d);
        }) });
        EXPECT_TRUE(result);
        EXPECT_EQ(dialog.Directory(), m_tree.Path() + "/with space");
        EXPECT_EQ(shown, 1);
        EXPECT_NE(std::find(selected.begin(), selected.end(), m_tree.Path() + "/with space"), selected.end());

        AnswerModals([&] { result = dialog.Execute(); }, { Later([](QFileDialog& d) { d.reject(); }) });
        EXPECT_FALSE(result);
        EXPECT_EQ(dialog.Directory(), m_tree.Path() + "/with space");

        dialog.SetDirectory("/");
        AnswerModals([&] { result = dialog.Execute(); }, { Later([](QFileDialog& d) {
            Type(d, QStringLiteral("/"));
            Accept(d);
        }) });
        EXPECT_TRUE(result);
        EXPECT_EQ(dialog.Directory(), "/");
    }

    TEST_F(PathDialogRun, AnEventsErrorIsShownAndTheDialogGoesOnWithItsStatusLine)
    {
        TPathDialog dialog(nullptr);
        dialog.SetShowStatus(true);
        dialog.SetStatusText("first");
        dialog.SetDirectory(m_tree.Path());
        dialog.OnShow = [](TPathDialog&) { throw std::runtime_error("No such luck"); };
        QString message;
        QString status;
        bool stillOpen = false;
        bool result = true;
        AnswerModals([&] { result = dialog.Execute(); },
            { test::ModalStep::On<QMessageBox>([&](QMessageBox& box) {
                 message = box.text();
                 QTimer::singleShot(0, &box, [&box] { box.accept(); });
             }),
                Later([&](QFileDialog& d) {
                    stillOpen = d.isVisible();
                    dialog.SetStatusText("second");
                    status = dialog.StatusLine() ? dialog.StatusLine()->text() : QString();
                    d.reject();
                }) });
        EXPECT_EQ(message, QStringLiteral("No such luck"));
        EXPECT_TRUE(stillOpen) << "the dialog goes on after the message";
        EXPECT_EQ(status, QStringLiteral("second")) << "the status line follows StatusText while open";
        EXPECT_FALSE(result);
    }

} // namespace
} // namespace tarvo
