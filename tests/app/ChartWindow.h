#pragma once

// The main window on in-memory volumes, shown, with the points where its charts drew each
// slice and bar: for tests that click the charts or look at them.

#include "Chart.h"
#include "GuiTestSupport.h"
#include "MainForm.h"
#include "MemoryFileSystem.h"
#include "MouseEvents.h"
#include "PageControl.h"
#include "TempTree.h"
#include "bar/BarSeries.h"
#include "pie/PieSeries.h"

#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarvo::test
{

class ChartWindow : public ::testing::Test
{
protected:
    explicit ChartWindow(const PathStyle& style = PathStyle::Windows())
        : m_fs(style)
    {
        test::EnsureApp();
        test::ShownMessages().clear();
        if (style.GetKind() == PathStyle::pkWindows) {
            m_fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 1024 * 1024 * 1024);
            m_fs.AddFile("C:\\Data\\Sub\\a.bin", 5 * 1024 * 1024);
            m_fs.AddFile("C:\\Data\\Other\\b.bin", 3 * 1024 * 1024);
            m_fs.AddFile("C:\\Data\\own.bin", 2 * 1024 * 1024);
        } else {
            m_fs.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 1024 * 1024 * 1024);
        }
    }

    // The window on the given page, shown, with its charts drawn.
    std::unique_ptr<TForm1> Open(int page = 2)
    {
        MainFormEnvironment env;
        env.fileSystem = &m_fs;
        env.settingsFileName = m_tree.Path() + "/Kwendi.ini";
        env.formatSettings = FormatSettings::Invariant();
        env.openFolder = [this](const std::string& path) { m_opened.push_back(path); };
        env.helpFilePlaces = m_helpFilePlaces;
        auto form = std::make_unique<TForm1>(std::move(env));
        form->resize(900, 650);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        PickPage(*form, page);
        return form;
    }

    // As the user picks a page: a click on its tab.
    static void PickPage(TForm1& form, int page)
    {
        QTabBar* tabs = form.PageControl1->TabBar();
        test::ClickAt(*tabs, tabs->tabRect(page).center());
    }

    void Analyse(TForm1& form, const std::string& folder)
    {
        form.ChangeDir(folder);
        form.Analyse(form.CurrentDir());
        form.Pies->repaint();
        form.Bars->repaint();
    }

    // Half way out along the middle of slice i, on screen.
    static QPoint SliceCentre(TForm1& form, int i)
    {
        const TPieSeries& pie = *form.DiscoSerie;
        const TPieAngle& slice = pie.SliceAngles().at(static_cast<std::size_t>(i));
        const QPoint flat = pie.AngleToPos(slice.MidAngle, pie.XRadius() / 2, pie.YRadius() / 2);
        return form.Pies->Canvas().ProjectXY(flat.x(), flat.y(), 0);
    }

    static QPoint BarCentre(TForm1& form, int i)
    {
        const TBarSeries& bars = *form.BarSerie;
        const int x = bars.PointX(i) + bars.BarWidth() / 2;
        const int y = (bars.PointY(i) + bars.OriginPosition(i)) / 2;
        return form.Bars->Canvas().ProjectXY(x, y, bars.StartZ());
    }

    MemoryFileSystem m_fs;
    test::TempTree m_tree;
    std::vector<std::string> m_opened;
    std::vector<std::string> m_helpFilePlaces { TARVO_EXECUTABLE_FOLDER }; // where the build put the help
};

} // namespace tarvo::test
