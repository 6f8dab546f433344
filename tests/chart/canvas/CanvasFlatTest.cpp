// The flat canvas and its repaint cycle: buffering, pen rules, clipping, gradients and text.

#include "canvas/CanvasTestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace tarvo
{
namespace
{

    using test::CanvasDrawing;
    using test::PixelColor;

    TEST(CanvasBuffer, EndDrawCopiesTheBufferToTheTargetAtTheRectangle)
    {
        test::EnsureQtApp();
        QImage target(60, 40, QImage::Format_RGB32);
        target.fill(Qt::white);
        QPainter painter(&target);
        TChartCanvas3D canvas;
        const TRect drawing = canvas.BeginDraw(painter, nullptr, { 10, 5, 40, 25 }, false, clBlue);
        EXPECT_EQ(drawing, (TRect { 0, 0, 30, 20 })) << "buffered drawing starts at the buffer's corner";
        EXPECT_EQ(canvas.Buffer().size(), QSize(30, 20));
        canvas.Brush().SetColor(clRed);
        canvas.FillRect2D({ 0, 0, 5, 5 });
        EXPECT_TRUE(canvas.BufferDirty());
        canvas.EndDraw(painter, { 10, 5, 40, 25 });
        painter.end();
        EXPECT_FALSE(canvas.BufferDirty());
        EXPECT_EQ(PixelColor(target, 10, 5), clRed);
        EXPECT_EQ(PixelColor(target, 14, 9), clRed);
        EXPECT_EQ(PixelColor(target, 15, 10), clBlue) << "a new buffer starts in the panel colour";
        EXPECT_EQ(PixelColor(target, 9, 5), clWhite) << "nothing outside the rectangle";
        EXPECT_EQ(PixelColor(target, 40, 25), clWhite);
    }

    TEST(CanvasBuffer, CleanBufferRepaintsWithoutDrawing)
    {
        CanvasDrawing drawing(20, 20, nullptr, false);
        drawing.canvas.Brush().SetColor(clGreen);
        drawing.canvas.FillRect2D({ 0, 0, 20, 20 });
        drawing.Finish();

        QImage window(20, 20, QImage::Format_RGB32);
        window.fill(Qt::white);
        QPainter painter(&window);
        EXPECT_TRUE(drawing.canvas.RedrawFromBuffer(painter));
        EXPECT_EQ(PixelColor(window, 19, 19), clGreen);
        drawing.canvas.MarkDirty();
        EXPECT_FALSE(drawing.canvas.RedrawFromBuffer(painter)) << "a changed chart must be drawn again";
    }

    TEST(CanvasBuffer, NewSizeOrNoBufferingDropsTheBuffer)
    {
        test::EnsureQtApp();
        QImage target(50, 50, QImage::Format_RGB32);
        QPainter painter(&target);
        TChartCanvas3D canvas;
        canvas.BeginDraw(painter, nullptr, { 0, 0, 20, 20 }, false, clWhite);
        canvas.EndDraw(painter, { 0, 0, 20, 20 });
        canvas.BeginDraw(painter, nullptr, { 0, 0, 30, 10 }, false, clWhite);
        EXPECT_EQ(canvas.Buffer().size(), QSize(30, 10));
        canvas.EndDraw(painter, { 0, 0, 30, 10 });

        canvas.SetUseBuffer(false);
        EXPECT_TRUE(canvas.Buffer().isNull());
        EXPECT_TRUE(canvas.BufferDirty());
        const TRect direct = canvas.BeginDraw(painter, nullptr, { 5, 6, 30, 40 }, false, clWhite);
        EXPECT_EQ(direct, (TRect { 5, 6, 30, 40 })) << "unbuffered drawing goes to the target's own rectangle";
        EXPECT_EQ(canvas.DeviceContext(), &painter);
        canvas.EndDraw(painter, direct);
        EXPECT_FALSE(canvas.RedrawFromBuffer(painter));
    }

    TEST(CanvasBuffer, MonochromeChangeInvalidatesAndDropsTheBuffer)
    {
        CanvasDrawing drawing(10, 10, nullptr, false);
        drawing.Finish();
        int invalidations = 0;
        drawing.canvas.SetOnInvalidate([&invalidations] { ++invalidations; });
        drawing.canvas.SetMonochrome(false);
        EXPECT_EQ(invalidations, 0);
        drawing.canvas.SetMonochrome(true);
        EXPECT_EQ(invalidations, 1);
        EXPECT_TRUE(drawing.canvas.Buffer().isNull());
        EXPECT_TRUE(drawing.canvas.BufferDirty());

        TChartCanvas3D other;
        other.CopySettings(drawing.canvas);
        EXPECT_TRUE(other.Monochrome());
    }

    TEST(CanvasPen, InvisiblePenOnlyClearsTheStyle)
    {
        TChartCanvas3D canvas;
        canvas.Pen().SetColor(clRed);
        canvas.Pen().SetWidth(3);
        TChartPen hidden;
        hidden.SetColor(clBlue);
        hidden.SetVisible(false);
        canvas.ApplyPen(hidden);
        EXPECT_EQ(canvas.Pen().Style(), psClear);
        EXPECT_EQ(canvas.Pen().Color(), clRed) << "the rest of the canvas pen stays";
        EXPECT_EQ(canvas.Pen().Width(), 3);

        TChartAxisPen axis;
        axis.SetColor(clNavy);
        canvas.ApplyPen(axis);
        EXPECT_EQ(canvas.Pen(), axis);
    }

    TEST(CanvasPen, SmallDotsSetEveryOtherPixel)
    {
        CanvasDrawing drawing(40, 5, nullptr, false);
        TChartPen dots;
        dots.SetSmallDots(true);
        drawing.canvas.ApplyPen(dots);
        drawing.canvas.Line2D(0, 2, 40, 2);
        const QImage& image = drawing.Finish();
        int black = 0;
        for (int x = 0; x < 40; ++x) {
            black += PixelColor(image, x, 2) == clBlack ? 1 : 0;
            if (x > 0) {
                EXPECT_FALSE(PixelColor(image, x, 2) == clBlack && PixelColor(image, x - 1, 2) == clBlack) << x;
            }
        }
        EXPECT_GE(black, 18);
        EXPECT_LE(black, 20);
    }

    TEST(CanvasShapes, RectangleExcludesItsRightAndBottomEdges)
    {
        CanvasDrawing drawing(20, 20, nullptr, false);
        drawing.canvas.Brush().SetColor(clYellow);
        drawing.canvas.Pen().SetColor(clRed);
        drawing.canvas.Rectangle2D(2, 3, 12, 13);
        const QImage& image = drawing.Finish();
        EXPECT_EQ(PixelColor(image, 2, 3), clRed);
        EXPECT_EQ(PixelColor(image, 11, 12), clRed);
        EXPECT_EQ(PixelColor(image, 12, 13), clWhite);
        EXPECT_EQ(PixelColor(image, 12, 8), clWhite);
        EXPECT_EQ(PixelColor(image, 7, 8), clYellow);
    }

    TEST(CanvasShapes, BevelFrameDrawsLightTopLeftAndDarkBottomRight)
    {
        CanvasDrawing drawing(20, 20, nullptr, false);
        drawing.canvas.BevelFrame({ 0, 0, 20, 20 }, clWhite, 2, clGray);
        const QImage& image = drawing.Finish();
        EXPECT_EQ(PixelColor(image, 5, 0), clWhite);
        EXPECT_EQ(PixelColor(image, 0, 5), clWhite);
        EXPECT_EQ(PixelColor(image, 19, 5), clGray);
        EXPECT_EQ(PixelColor(image, 5, 19), clGray);
        EXPECT_EQ(PixelColor(image, 18, 5), clGray) << "second ring, one pixel in";
        EXPECT_EQ(PixelColor(image, 5, 18), clGray);
    }

    TEST(CanvasClip, FlatClipBoxLeavesOutTheLeftTopAndBottomEdge)
    {
        CanvasDrawing drawing(30, 30, nullptr, false);
        drawing.canvas.ClipBox({ 5, 5, 25, 25 }, 0, 10);
        drawing.canvas.Brush().SetColor(clRed);
        drawing.canvas.FillRect2D({ 0, 0, 30, 30 });
        drawing.canvas.RemoveClip();
        drawing.canvas.Brush().SetColor(clBlue);
        drawing.canvas.FillRect2D({ 0, 28, 30, 30 });
        const QImage& image = drawing.Finish();
        EXPECT_EQ(PixelColor(image, 5, 10), clWhite);
        EXPECT_EQ(PixelColor(image, 6, 6), clRed);
        EXPECT_EQ(PixelColor(image, 24, 23), clRed);
        EXPECT_EQ(PixelColor(image, 24, 24), clWhite);
        EXPECT_EQ(PixelColor(image, 25, 10), clWhite);
        EXPECT_EQ(PixelColor(image, 0, 29), clBlue) << "the clip is gone after RemoveClip";
    }

    TEST(CanvasGradient, BottomIsColourOneTopIsColourTwo)
    {
        CanvasDrawing drawing(40, 300, nullptr, false);
        drawing.canvas.FillGradient({ 0, 0, 40, 300 }, 0x408000, clNavy, gdTopBottom);
        const QImage& image = drawing.Finish();
        test::SavePicture(image, QStringLiteral("canvas-gradient.png"));
        EXPECT_EQ(PixelColor(image, 20, 299), TColor(0x408000));
        EXPECT_EQ(PixelColor(image, 20, 0), clNavy);
        const TColor middle = PixelColor(image, 20, 150);
        EXPECT_NE(middle, TColor(0x408000));
        EXPECT_NE(middle, clNavy);
    }

    TEST(CanvasText, MeasuresWithTheCurrentFont)
    {
        test::EnsureQtApp();
        TChartCanvas3D canvas;
        EXPECT_EQ(canvas.TextWidth(QString()), 0);
        const int narrow = canvas.TextWidth(QStringLiteral("WWWW"));
        EXPECT_GT(narrow, 0);
        canvas.Font().SetSize(16);
        EXPECT_GT(canvas.TextWidth(QStringLiteral("WWWW")), narrow);
        EXPECT_EQ(canvas.LineHeight(), canvas.TextHeight(QStringLiteral("W")));
        EXPECT_GT(canvas.LineHeight(), 11);
    }

    TEST(CanvasText, AlignmentPlacesTheReferencePoint)
    {
        CanvasDrawing left(120, 40, nullptr, false);
        left.canvas.SetBackgroundMode(TRANSPARENT);
        left.canvas.Font().SetSize(14);
        left.canvas.TextOut2D(60, 10, QStringLiteral("Wide"));
        const QImage leftImage = left.Finish();

        CanvasDrawing right(120, 40, nullptr, false);
        right.canvas.SetBackgroundMode(TRANSPARENT);
        right.canvas.Font().SetSize(14);
        right.canvas.SetTextAlignment(TA_RIGHT | TA_TOP);
        right.canvas.TextOut2D(60, 10, QStringLiteral("Wide"));
        const QImage rightImage = right.Finish();

        auto inkColumns = [](const QImage& image, bool leftOfSixty) {
            int ink = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = leftOfSixty ? 0 : 60; x < (leftOfSixty ? 60 : image.width()); ++x)
                    ink += PixelColor(image, x, y) != clWhite ? 1 : 0;
            return ink;
        };
        EXPECT_EQ(inkColumns(leftImage, true), 0);
        EXPECT_GT(inkColumns(leftImage, false), 0);
        EXPECT_GT(inkColumns(rightImage, true), 0);
        EXPECT_EQ(inkColumns(rightImage, false), 0);
    }

    // Text sets the painter's pen, font and background mode for itself and does not put them
    // back; the canvas must set its own again for whatever it draws next.
    TEST(CanvasText, LeavesNoTraceOnTheNextDrawing)
    {
        CanvasDrawing drawing(60, 30, nullptr, false);
        TChartCanvas3D& canvas = drawing.canvas;
        canvas.SetBackgroundColor(clYellow);
        canvas.SetBackgroundMode(OPAQUE);
        canvas.Font().SetColor(clBlue);
        canvas.Pen().SetColor(clRed);
        canvas.Pen().SetStyle(psDash);
        canvas.Line2D(0, 25, 60, 25); // realizes the pen before the text
        canvas.TextOut2D(2, 2, QStringLiteral("x"));
        canvas.Line2D(0, 20, 60, 20);
        const QImage& image = drawing.Finish();
        int red = 0;
        int yellow = 0;
        for (int x = 0; x < 60; ++x) {
            const TColor c = PixelColor(image, x, 20);
            red += c == clRed ? 1 : 0;
            yellow += c == clYellow ? 1 : 0;
        }
        EXPECT_GT(red, 10) << "the canvas pen, not the font colour";
        EXPECT_GT(yellow, 5) << "the dashes' gaps in the opaque background";
        EXPECT_EQ(red + yellow, 60);
    }

    // The canvas clips an image painter to the image when nothing else clips it (Qt draws pens
    // faster so); a painter that scales must not lose what lies beyond the image's own size.
    TEST(CanvasClip, AScalingPainterKeepsEverythingThatReachesTheImage)
    {
        test::EnsureQtApp();
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(0.5, 0.5);
        TChartCanvas3D canvas;
        canvas.SetUseBuffer(false);
        canvas.BeginDraw(painter, nullptr, { 0, 0, 200, 200 }, false, clWhite);
        canvas.Brush().SetColor(clRed);
        canvas.Rectangle2D(100, 100, 200, 200);
        canvas.RemoveClip();
        canvas.Rectangle2D(0, 150, 50, 200);
        canvas.EndDraw(painter, { 0, 0, 200, 200 });
        painter.end();
        EXPECT_EQ(PixelColor(image, 75, 75), clRed);
        EXPECT_EQ(PixelColor(image, 10, 90), clRed);
    }

} // namespace
} // namespace tarvo
