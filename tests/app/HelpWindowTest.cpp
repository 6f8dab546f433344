// The help file as it ships, shown by the help window.

#include "HelpWindow.h"
#include "GuiTestSupport.h"
#include "MainForm.h"
#include "MemoryFileSystem.h"
#include "TempTree.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    using test::EnsureApp;

    // The help file beside the test build's executable, where the build copies it.
    std::unique_ptr<THelpWindow> OpenHelp()
    {
        return std::make_unique<THelpWindow>(nullptr, std::vector<std::string> { TARVO_EXECUTABLE_FOLDER });
    }

    // The heading block that carries the anchor; invalid when there is none.
    QTextBlock AnchorBlock(const QTextDocument& document, const QString& anchor)
    {
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
                if (fragment.fragment().charFormat().anchorNames().contains(anchor))
                    return block;
            }
        }
        return {};
    }

    bool IsHeading(const QTextBlock& block) { return block.blockFormat().headingLevel() > 0; }

    TEST(HelpWindow, PlacesBesideTheProgramInItsShareFolderThenTheDataFolders)
    {
        EXPECT_EQ(HelpFilePlaces("/opt/tarvo/bin/", "/usr/local/share:relative/share:/usr/share/:"),
            (std::vector<std::string> {
                "/opt/tarvo/bin/", "/opt/tarvo/share/tarvo/", "/usr/local/share/tarvo/", "/usr/share/tarvo/" }));
        EXPECT_EQ(HelpFilePlaces("/usr/bin/", nullptr),
            (std::vector<std::string> { "/usr/bin/", "/usr/share/tarvo/", "/usr/local/share/tarvo/" }));
        EXPECT_EQ(HelpFilePlaces("/usr/bin", ""), HelpFilePlaces("/usr/bin/", nullptr));

        // The build leaves the shipped file beside the program, so a run from the build tree finds it.
        QFile copy(QStringLiteral(TARVO_EXECUTABLE_FOLDER "Tarvo.html"));
        QFile source(QStringLiteral(TARVO_HELP_SOURCE));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), source.readAll());
    }

    TEST(HelpWindow, EachContextOpensASectionOfItsOwn)
    {
        EnsureApp();
        auto help = OpenHelp();
        help->resize(500, 300); // smaller than the text, so that opening a section has to scroll
        for (const int context : { 0, 2, 3, 4, 5 }) {
            const QString anchor = THelpWindow::ContextAnchor(context);
            SCOPED_TRACE(anchor.toStdString());
            help->ShowTopic(anchor);
            EXPECT_TRUE(help->isVisible());
            EXPECT_FALSE(help->isModal());
            EXPECT_EQ(help->windowTitle(), QStringLiteral("Tarvo Help"));

            const QTextBlock heading = AnchorBlock(*help->document(), anchor);
            ASSERT_TRUE(heading.isValid());
            EXPECT_TRUE(IsHeading(heading));
            QString section;
            for (QTextBlock block = heading.next(); block.isValid() && !IsHeading(block); block = block.next())
                section += block.text();
            EXPECT_GT(section.size(), 200) << "a section with something to say";

            // The heading is at the top of the view, or the view is scrolled to its end.
            const int top = static_cast<int>(help->document()->documentLayout()->blockBoundingRect(heading).top());
            const QScrollBar* bar = help->verticalScrollBar();
            EXPECT_TRUE(bar->value() == std::min(top, bar->maximum()) || std::abs(bar->value() - top) <= 2)
                << "scrolled to " << bar->value() << ", heading at " << top;
        }
        EXPECT_EQ(THelpWindow::ContextAnchor(7), QStringLiteral("contents"));
    }

    void CollectCaptions(const QList<QAction*>& actions, QStringList& captions)
    {
        for (QAction* action : actions) {
            if (action->isSeparator())
                continue;
            captions.push_back(action->text().remove(QLatin1Char('&')));
            if (action->menu() != nullptr)
                CollectCaptions(action->menu()->actions(), captions);
        }
    }

    TEST(HelpWindow, EveryMenuCaptionOfTheWindowIsExplained)
    {
        EnsureApp();
        test::TempTree tree;
        MemoryFileSystem fs(PathStyle::Posix());
        fs.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 1 << 30);
        MainFormEnvironment environment;
        environment.fileSystem = &fs;
        environment.settingsFileName = tree.Path() + "/Kwendi.ini";
        environment.formatSettings = FormatSettings::Invariant();
        environment.openFolder = [](const std::string&) {};
        QStringList captions;
        {
            TForm1 form(std::move(environment));
            CollectCaptions(form.menuBar()->actions(), captions);
            CollectCaptions(form.PopupMenu1->actions(), captions);
        }
        ASSERT_GE(captions.size(), 17); // three menus, their thirteen commands and the list's popup item

        auto help = OpenHelp();
        help->ShowTopic(QStringLiteral("contents"));
        const QString text = help->document()->toPlainText();
        for (const QString& caption : captions)
            EXPECT_TRUE(text.contains(caption)) << caption.toStdString();
        for (const char* format : { "Metafile (*.wmf)", "PNG image (*.png)", "SVG drawing (*.svg)",
                 "PDF document (*.pdf)", "Kwendi.ini", "tarvo-scan", "No printer is installed" })
            EXPECT_TRUE(text.contains(QString::fromLatin1(format))) << format;
    }

    TEST(HelpWindow, EveryLinkOfTheFileLeadsSomewhere)
    {
        EnsureApp();
        auto help = OpenHelp();
        help->ShowTopic(QStringLiteral("contents"));
        QSet<QString> anchors;
        QStringList links;
        for (QTextBlock block = help->document()->begin(); block.isValid(); block = block.next()) {
            for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
                const QTextCharFormat format = fragment.fragment().charFormat();
                for (const QString& name : format.anchorNames())
                    anchors.insert(name);
                if (format.isAnchor() && !format.anchorHref().isEmpty())
                    links.push_back(format.anchorHref());
            }
        }
        EXPECT_GE(links.size(), 12);
        for (const QString& link : links) {
            SCOPED_TRACE(link.toStdString());
            ASSERT_TRUE(link.startsWith(QLatin1Char('#'))) << "the help stands on its own";
            EXPECT_TRUE(anchors.contains(link.mid(1)));
        }
    }

    TEST(HelpWindow, EscapeAndCtrlWCloseIt)
    {
        EnsureApp();
        for (const QKeySequence& keys : { QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W) }) {
            auto help = OpenHelp();
            help->ShowTopic(QStringLiteral("contents"));
            ASSERT_TRUE(QTest::qWaitForWindowActive(help.get()));
            QTest::keySequence(help.get(), keys);
            EXPECT_FALSE(help->isVisible()) << keys.toString().toStdString();
        }
    }

    TEST(HelpWindow, AMissingFileNamesEveryPlaceTried)
    {
        EnsureApp();
        test::TempTree tree;
        const std::vector<std::string> places = { tree.Path() + "/one/", tree.Path() + "/two/" };
        THelpWindow help(nullptr, places);
        try {
            help.ShowTopic(QStringLiteral("contents"));
            FAIL() << "no help file, no window";
        } catch (const std::runtime_error& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find("Tarvo.html"), std::string::npos) << message;
            for (const std::string& place : places)
                EXPECT_NE(message.find(place), std::string::npos) << message;
        }
        EXPECT_FALSE(help.isVisible());
    }

} // namespace
} // namespace tarvo
