#pragma once

#include "TestPictures.h"

// Drawing with the chart canvas onto an image in a test: one repaint from BeginDraw to EndDraw,
// then pixels to look at. Pictures go under $TARVO_TEST_BUILD_DIR/pictures for a person to see.

#include "QtApp.h"
#include "canvas/ChartCanvas3D.h"
#include "canvas/View3DOptions.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

namespace tarvo::test
{

class CanvasDrawing
{
public:
    CanvasDrawing(int width, int height, const TView3DOptions* options, bool view3D, bool useBuffer = true)
        : m_image((EnsureQtApp(), width), height, QImage::Format_RGB32)
    {
        m_image.fill(Qt::white);
        m_painter = std::make_unique<QPainter>(&m_image);
        canvas.SetUseBuffer(useBuffer);
        canvas.BeginDraw(*m_painter, options, { 0, 0, width, height }, view3D, clWhite);
        canvas.PrepareProjection(0, { 0, 0, width, height }, { 0, 0, width, height });
    }

    // Ends the repaint and answers the picture on the target.
    const QImage& Finish()
    {
        canvas.EndDraw(*m_painter, { 0, 0, m_image.width(), m_image.height() });
        m_painter->end();
        return m_image;
    }

    TChartCanvas3D canvas;

private:
    QImage m_image;
    std::unique_ptr<QPainter> m_painter;
};

inline TColor PixelColor(const QImage& image, int x, int y) { return FromQColor(image.pixelColor(x, y)); }

inline void SavePicture(const QImage& image, const QString& name)
{
    const QString path = PicturesFolder() + QLatin1Char('/') + name;
    EXPECT_TRUE(image.save(path)) << path.toStdString();
}

inline int CountPixels(const QImage& image, TColor color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += PixelColor(image, x, y) == color ? 1 : 0;
    return count;
}

} // namespace tarvo::test
