// Pictures of whole charts: on screen, stretched for a printer, and as a metafile read back by
// an independent reader. Each picture is left under the build tree for a person to look at.

#include "ExternalTools.h"
#include "MetafilePaintDevice.h"
#include "panel/ChartPanelTestSupport.h"

#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>

#include <gtest/gtest.h>

#include <memory>

namespace tarvo
{
namespace
{

    using test::BoxSeries;
    using test::IsNear;
    using test::PixelColor;

    // The program's bar chart, 400 × 300, with a title and three boxes.
    std::unique_ptr<TChart> BarsLikeChart(bool view3D)
    {
        test::EnsureQtApp();
        auto chart = std::make_unique<TChart>();
        chart->SetName(QStringLiteral("Bars"));
        chart->resize(400, 300);
        test::StyleLikeBars(*chart);
        chart->SetView3D(view3D);
        chart->Title().SetText({ QStringLiteral("Folder Size in:"), QStringLiteral("/srv/data") });
        chart->BackWall().SetColor(clSilver);
        chart->BackWall().Brush().SetStyle(bsSolid);
        auto& series = chart->AddSeries(std::make_unique<BoxSeries>());
        series.SetSeriesColor(clRed);
        series.Append(30);
        series.Append(90);
        series.Append(60);
        return chart;
    }

    TEST(ChartPanelRender, GradientRunsFromNavyAtTheTopToGreenAtTheBottom)
    {
        auto chart = BarsLikeChart(false);
        const QImage image = test::Render(*chart);
        test::SavePicture(image, QStringLiteral("chart-bars-2d.png"));
        // Inside the one-pixel raised bevel.
        EXPECT_TRUE(IsNear(PixelColor(image, 200, 1), clNavy, 4)) << std::hex << PixelColor(image, 200, 1);
        EXPECT_TRUE(IsNear(PixelColor(image, 200, 298), 0x408000, 4)) << std::hex << PixelColor(image, 200, 298);
        EXPECT_EQ(PixelColor(image, 0, 0), ColorToRGB(clBtnHighlight)) << "raised bevel";
        EXPECT_EQ(PixelColor(image, 399, 299), ColorToRGB(clBtnShadow));
    }

    TEST(ChartPanelRender, BackWallFillsThePlotAndFramesIt)
    {
        auto chart = BarsLikeChart(false);
        const QImage image = test::Render(*chart);
        const TRect r = chart->ChartRect();
        // Above the lowest box, left of the highest: only the wall.
        EXPECT_EQ(PixelColor(image, r.Left + r.Width() / 6, r.Top + 5), clSilver);
        EXPECT_EQ(PixelColor(image, r.Left, r.Top + r.Height() / 2), clBlack) << "the wall's pen frames the plot";
        EXPECT_EQ(PixelColor(image, r.Left + r.Width() / 2, r.Bottom - 5), clRed) << "the highest box";
    }

    TEST(ChartPanelRender, BackWallLiesBehindThePlotIn3D)
    {
        auto chart = BarsLikeChart(true);
        const QImage image = test::Render(*chart);
        test::SavePicture(image, QStringLiteral("chart-bars-3d.png"));
        const TRect r = chart->ChartRect();
        const int depth = chart->TotalDepth();
        ASSERT_GT(depth, 0);
        // The back wall is drawn at the full depth: up and to the right of the front rectangle.
        EXPECT_EQ(PixelColor(image, r.Right + depth / 2, r.Top + 5), clSilver);
        EXPECT_EQ(PixelColor(image, r.Left + depth / 2, r.Top + r.Height() / 4), TColor { 0x80FFFF })
            << "the left wall, between the front and the back; r=" << r.Left << "," << r.Top << "," << r.Right << ","
            << r.Bottom << " depth " << depth;
    }

    TEST(ChartPanelRender, TitleIsCentredAtTheTopOfThePlot)
    {
        auto chart = BarsLikeChart(false);
        chart->Title().SetText({ QStringLiteral("WWWW") });
        test::HideLegend(*chart);
        chart->Gradient().SetVisible(false);
        chart->SetColor(clWhite);
        const QImage image = test::Render(*chart);
        test::SavePicture(image, QStringLiteral("chart-title.png"));
        int top = image.height();
        int left = image.width();
        int right = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (IsNear(PixelColor(image, x, y), clYellow, 60)) {
                    top = std::min(top, y);
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GE(right, 0) << "no title drawn";
        EXPECT_GE(top, 12) << "the title starts at the plot's top margin";
        EXPECT_LE(top, 12 + 4);
        EXPECT_LE(std::abs((left + right) / 2 - 200), 2) << "centred";
    }

    TEST(ChartPanelRender, UnchangedChartRepaintsFromItsBuffer)
    {
        auto chart = BarsLikeChart(true);
        const QImage first = test::Render(*chart);
        QImage copy(400, 300, QImage::Format_RGB32);
        copy.fill(Qt::black);
        QPainter painter(&copy);
        ASSERT_TRUE(chart->Canvas().RedrawFromBuffer(painter));
        painter.end();
        EXPECT_EQ(copy, first);
        chart->Title().SetText({ QStringLiteral("changed") });
        QPainter again(&copy);
        EXPECT_FALSE(chart->Canvas().RedrawFromBuffer(again)) << "a change needs a full repaint";
    }

    TEST(ChartPanelRender, WidgetPaintsWithoutErasingItsBackground)
    {
        auto chart = BarsLikeChart(false);
        EXPECT_TRUE(chart->testAttribute(Qt::WA_OpaquePaintEvent));
        EXPECT_TRUE(chart->testAttribute(Qt::WA_NoSystemBackground));
        const QImage grabbed = chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(grabbed, test::Render(*chart));
    }

    TEST(ChartPanelPrint, StretchedDrawingHasNoPanelColourOrBevels)
    {
        auto chart = BarsLikeChart(false);
        chart->Gradient().SetVisible(false);
        chart->SetColor(clRed);
        TChartPen dotted;
        dotted.SetStyle(psDot);
        int printedPenWidth = -1;
        chart->OnAfterDraw = [&](TCustomAxisPanel& sender) {
            printedPenWidth = static_cast<TChart&>(sender).AdjustPrintPen(dotted).Width();
        };
        QImage page(800, 900, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        chart->DrawStretched(painter, { 0, 0, 800, 900 });
        painter.end();
        test::SavePicture(page, QStringLiteral("chart-printed.png"));
        EXPECT_EQ(printedPenWidth, 0) << "dotted pens print thin";
        EXPECT_FALSE(chart->IsPrinting());
        EXPECT_EQ(PixelColor(page, 1, 1), clWhite) << "no bevel, no panel colour";
        EXPECT_EQ(test::CountPixels(page, clRed) > 0, true) << "the boxes are printed";
        // Twice the width, three times the height: the wall above the first box.
        const TRect r = chart->ChartRect();
        EXPECT_EQ(PixelColor(page, 2 * (r.Left + r.Width() / 6), 3 * (r.Top + 5)), clSilver);
    }

    TEST(ChartPanelPrint, PrintsOnePageIntoAPdfWithTheChartsName)
    {
        auto chart = BarsLikeChart(false);
        const QString file = test::PicturesFolder() + QStringLiteral("/chart-printed.pdf");
        QFile::remove(file);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        chart->PrintOn(printer);
        EXPECT_EQ(printer.docName(), QStringLiteral("Bars"));
        EXPECT_GT(QFile(file).size(), 1000);
        EXPECT_EQ(chart->PrintMarginPercents().Left, 15) << "wider than high: 15 % at the sides";
        EXPECT_GT(chart->PrintMarginPercents().Top, 15);
    }

    TEST(ChartPanelPrint, WithoutAPrinterPrintingSaysSo)
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            GTEST_SKIP() << "a printer is installed here";
        auto chart = BarsLikeChart(false);
        try {
            chart->PrintChart();
            FAIL() << "printed without a printer";
        } catch (const ChartPrintError& error) {
            EXPECT_NE(std::string(error.what()).find("No printer is installed"), std::string::npos) << error.what();
        }
        EXPECT_FALSE(chart->IsPrinting());
    }

    TEST(ChartPanelMetafile, SavedChartIsStrictlyValidAndReadsBackLikeTheScreen)
    {
        auto chart = BarsLikeChart(false);
        const QImage screen = test::Render(*chart);
        const QString wmf = test::PicturesFolder() + QStringLiteral("/chart-bars.wmf");
        chart->SaveMetafileFile(wmf);
        ASSERT_TRUE(QFile::exists(wmf));

        test::ExpectStrictlyValid(wmf.toStdString());

        TARVO_REQUIRE_TOOL(test::Tool::tlWmf2gd);
        const QString png = test::PicturesFolder() + QStringLiteral("/chart-bars-wmf2gd.png");
        QFile::remove(png);
        const test::ToolResult render
            = test::RunTool(test::Tool::tlWmf2gd, { "-t", "png", "-o", png.toStdString(), wmf.toStdString() });
        ASSERT_EQ(render.exitCode, 0) << render.output;
        const QImage read(png);
        ASSERT_FALSE(read.isNull());
        const double scale = double(read.width()) / 399.0;
        const TRect r = chart->ChartRect();
        const QPoint probes[] = {
            { 200, 4 }, // gradient, top
            { 200, 294 }, // gradient, bottom
            { r.Left + r.Width() / 6, r.Top + 5 }, // back wall
            { r.Left + r.Width() / 2, r.Bottom - 10 }, // the highest box
            { r.Left + r.Width() / 6, r.Bottom - 10 }, // the first box: the first shape inside the series clip
        };
        for (const QPoint& p : probes) {
            const TColor expected = PixelColor(screen, p.x(), p.y());
            const TColor actual = FromQColor(read.pixelColor(int(p.x() * scale), int(p.y() * scale)));
            EXPECT_TRUE(IsNear(expected, actual, 12))
                << "at (" << p.x() << ", " << p.y() << "): screen " << std::hex << expected << ", wmf2gd " << actual;
        }
    }

    TEST(ChartPanelMetafile, EnhancedFormatIsRefusedClearly)
    {
        auto chart = BarsLikeChart(false);
        EXPECT_THROW(static_cast<void>(chart->MakeMetafile(true, chart->ClientRect())), ChartException);
        const auto picture = chart->MakeMetafile(false, chart->ClientRect());
        EXPECT_EQ(picture->SizePixels(), QSize(399, 299));
    }

} // namespace
} // namespace tarvo
