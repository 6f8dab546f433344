// The page control: the "no active page" state, indices out of range, and PageChanged only for
// what the user picks.

#include "PageControl.h"
#include "GuiTestSupport.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabBar>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace tarvo
{
namespace
{

    class PageControlTest : public ::testing::Test
    {
    protected:
        PageControlTest()
        {
            test::EnsureApp();
            m_control = std::make_unique<TPageControl>();
            for (const char* caption : { "Size List", "Bar Chart", "Pie Chart" }) {
                m_control->AddPage(new QWidget, QString::fromLatin1(caption));
            }
            QObject::connect(
                m_control.get(), &TPageControl::PageChanged, [this](int index) { m_changes.push_back(index); });
            m_control->resize(400, 300);
            m_control->show();
        }

        void Click(int tab)
        {
            QTabBar* bar = m_control->TabBar();
            const QPointF where = bar->tabRect(tab).center();
            const QPointF global = bar->mapToGlobal(where);
            QMouseEvent press(QEvent::MouseButtonPress, where, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(bar, &press);
            QMouseEvent release(
                QEvent::MouseButtonRelease, where, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(bar, &release);
        }

        // Which pages are on screen, by index.
        [[nodiscard]] std::vector<int> VisiblePages() const
        {
            std::vector<int> visible;
            for (int i = 0; i < m_control->PageCount(); ++i) {
                if (m_control->Page(i)->isVisible()) {
                    visible.push_back(i);
                }
            }
            return visible;
        }

        [[nodiscard]] QImage TabPicture(int tab) const
        {
            QTabBar* bar = m_control->TabBar();
            return bar->grab(bar->tabRect(tab)).toImage();
        }

        std::unique_ptr<TPageControl> m_control;
        std::vector<int> m_changes;
    };

    TEST_F(PageControlTest, StartsWithNoActivePageAndAnEmptyArea)
    {
        EXPECT_EQ(m_control->ActivePageIndex(), -1);
        EXPECT_EQ(m_control->PageCount(), 3);
        EXPECT_TRUE(VisiblePages().empty());
        EXPECT_EQ(m_control->Page(3), nullptr);
        EXPECT_EQ(m_control->Page(-1), nullptr);
    }

    TEST_F(PageControlTest, SettingAPageShowsItWithoutReportingAChange)
    {
        for (const int page : { 2, 0, 1, 1 }) {
            m_control->SetActivePageIndex(page);
            EXPECT_EQ(m_control->ActivePageIndex(), page);
            EXPECT_EQ(m_control->TabBar()->currentIndex(), page);
            EXPECT_EQ(VisiblePages(), std::vector<int> { page });
        }
        EXPECT_TRUE(m_changes.empty());
    }

    TEST_F(PageControlTest, AnIndexOutOfRangeLeavesNoPageActive)
    {
        for (const int index : { 3, -1, -7, 100 }) {
            m_control->SetActivePageIndex(1);
            m_control->SetActivePageIndex(index);
            EXPECT_EQ(m_control->ActivePageIndex(), -1) << index;
            EXPECT_TRUE(VisiblePages().empty()) << index;
        }
        EXPECT_TRUE(m_changes.empty());
    }

    TEST_F(PageControlTest, WithNoActivePageNoTabLooksSelected)
    {
        m_control->SetActivePageIndex(1);
        const QImage unselected = TabPicture(0);
        m_control->SetActivePageIndex(0);
        const QImage selected = TabPicture(0);
        ASSERT_NE(selected, unselected) << "the active tab must look different";
        m_control->SetActivePageIndex(-1);
        EXPECT_EQ(TabPicture(0), unselected); // QTabBar still holds tab 0 as its current one
    }

    TEST_F(PageControlTest, AClickOnATabActivatesItsPageAndReportsItOnce)
    {
        m_control->SetActivePageIndex(0);
        Click(2);
        EXPECT_EQ(m_control->ActivePageIndex(), 2);
        EXPECT_EQ(VisiblePages(), std::vector<int> { 2 });
        Click(2); // the active tab again: nothing changes
        Click(1);
        EXPECT_EQ(m_changes, (std::vector<int> { 2, 1 }));
    }

    TEST_F(PageControlTest, WithNoActivePageAClickOnTheTabBarsCurrentTabStillWorks)
    {
        m_control->SetActivePageIndex(0);
        m_control->SetActivePageIndex(-1);
        ASSERT_EQ(m_control->TabBar()->currentIndex(), 0);
        Click(0);
        EXPECT_EQ(m_control->ActivePageIndex(), 0);
        EXPECT_EQ(VisiblePages(), std::vector<int> { 0 });
        EXPECT_EQ(m_changes, std::vector<int> { 0 });
    }

    TEST_F(PageControlTest, KeyboardMovesOnTheTabsCountAsPicks)
    {
        m_control->SetActivePageIndex(0);
        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QCoreApplication::sendEvent(m_control->TabBar(), &right);
        EXPECT_EQ(m_control->ActivePageIndex(), 1);
        EXPECT_EQ(m_changes, std::vector<int> { 1 });
    }

    TEST_F(PageControlTest, PagesAddedLaterAreNotReportedAsPicks)
    {
        TPageControl fresh;
        QObject::connect(&fresh, &TPageControl::PageChanged, [this](int index) { m_changes.push_back(index); });
        EXPECT_EQ(fresh.AddPage(new QWidget, QStringLiteral("One")), 0);
        EXPECT_EQ(fresh.AddPage(new QWidget, QStringLiteral("Two")), 1);
        EXPECT_EQ(fresh.ActivePageIndex(), -1);
        EXPECT_TRUE(m_changes.empty());
        EXPECT_THROW(fresh.AddPage(nullptr, QStringLiteral("None")), std::invalid_argument);
        EXPECT_EQ(fresh.PageCount(), 2);
    }

} // namespace
} // namespace tarvo
