// Drawing into a metafile: pies, arcs, ellipses and text reach the file as the format's own
// records, so other programs can edit them, instead of as polygons and glyph outlines.

#include "MetafilePaintDevice.h"
#include "canvas/CanvasTestSupport.h"
#include "canvas/ChartGeometry.h"

#include <QDir>
#include <QFile>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <vector>

namespace tarvo
{
namespace
{

    constexpr std::uint16_t kMetaPie = 0x081A;
    constexpr std::uint16_t kMetaArc = 0x0817;
    constexpr std::uint16_t kMetaEllipse = 0x0418;
    constexpr std::uint16_t kMetaExtTextOut = 0x0A32;
    constexpr std::uint16_t kMetaIntersectClipRect = 0x0416;

    struct Record {
        std::uint16_t function;
        std::vector<std::int16_t> parameters;
    };

    // The records after the 22-byte placeable and 18-byte standard headers.
    std::vector<Record> Records(const QByteArray& bytes)
    {
        std::vector<Record> records;
        auto word = [&bytes](qsizetype at) {
            return static_cast<std::uint16_t>(
                static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8));
        };
        qsizetype at = 22 + 18;
        while (at + 6 <= bytes.size()) {
            const std::uint32_t sizeWords = word(at) | (static_cast<std::uint32_t>(word(at + 2)) << 16);
            Record record { word(at + 4), {} };
            for (qsizetype p = at + 6; p + 2 <= std::min(bytes.size(), at + qsizetype(sizeWords) * 2); p += 2)
                record.parameters.push_back(static_cast<std::int16_t>(word(p)));
            records.push_back(std::move(record));
            if (sizeWords < 3)
                break;
            at += static_cast<qsizetype>(sizeWords) * 2;
        }
        return records;
    }

    std::multiset<std::uint16_t> RecordFunctions(const QByteArray& bytes)
    {
        std::multiset<std::uint16_t> functions;
        for (const Record& record : Records(bytes))
            functions.insert(record.function);
        return functions;
    }

    TEST(CanvasMetafile, CurvedShapesAndTextBecomeRecordsOfTheirOwn)
    {
        test::EnsureQtApp();
        MetafilePaintDevice picture(QSize(120, 90));
        QPainter painter(&picture);
        TChartCanvas3D canvas;
        canvas.SetUseBuffer(false);
        const TRect rect = canvas.BeginDraw(painter, nullptr, { 0, 0, 120, 90 }, false, clWhite);
        canvas.FillRect2D(rect);
        canvas.Brush().SetColor(clRed);
        canvas.Pie2D(10, 10, 70, 70, 70, 40, 40, 10);
        canvas.Arc2D(10, 10, 70, 70, 40, 70, 70, 40);
        canvas.Ellipse2D(80, 10, 110, 40);
        canvas.SetBackgroundMode(TRANSPARENT);
        canvas.TextOut2D(10, 75, QStringLiteral("Pies"));
        canvas.RotatedText2D(100, 80, 90, QStringLiteral("Up"));
        canvas.EndDraw(painter, rect);
        painter.end();

        const QByteArray bytes = picture.Bytes();
        const auto functions = RecordFunctions(bytes);
        EXPECT_EQ(functions.count(kMetaPie), 1u);
        EXPECT_EQ(functions.count(kMetaArc), 1u);
        EXPECT_EQ(functions.count(kMetaEllipse), 1u);
        EXPECT_EQ(functions.count(kMetaExtTextOut), 2u);
        EXPECT_EQ(functions.count(0x0000), 1u) << "one end-of-file record";

        QFile file(test::PicturesFolder() + QStringLiteral("/canvas-shapes.wmf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // The format clips to rectangles only: the outline of the projected box becomes its bounding
    // box, set once for all the shapes drawn inside it.
    TEST(CanvasMetafile, ClipBoxIn3DIntersectsTheOutlinesBoundingBox)
    {
        test::EnsureQtApp();
        MetafilePaintDevice picture(QSize(200, 200));
        QPainter painter(&picture);
        const TView3DOptions options;
        TChartCanvas3D canvas;
        canvas.SetUseBuffer(false);
        const TRect rect = canvas.BeginDraw(painter, &options, { 0, 0, 200, 200 }, true, clWhite);
        canvas.PrepareProjection(30, rect, rect);
        canvas.ClipBox({ 30, 50, 160, 170 }, 0, 30);
        canvas.Brush().SetColor(clRed);
        canvas.Box3D(20, 60, 30, 170, 0, 30, true);
        canvas.Box3D(140, 180, 100, 170, 0, 30, true);
        canvas.RemoveClip();
        canvas.EndDraw(painter, rect);
        painter.end();

        const auto outline = ClipBoxOutline(canvas.Projection(), { 30, 50, 160, 170 }, 0, 30);
        const auto [minX, maxX] = std::minmax_element(
            outline.begin(), outline.end(), [](const QPoint& a, const QPoint& b) { return a.x() < b.x(); });
        const auto [minY, maxY] = std::minmax_element(
            outline.begin(), outline.end(), [](const QPoint& a, const QPoint& b) { return a.y() < b.y(); });
        std::vector<std::vector<std::int16_t>> clips;
        for (const Record& record : Records(picture.Bytes()))
            if (record.function == kMetaIntersectClipRect)
                clips.push_back(record.parameters);
        // Parameters run bottom, right, top, left.
        const std::vector<std::int16_t> expected { static_cast<std::int16_t>(maxY->y()),
            static_cast<std::int16_t>(maxX->x()), static_cast<std::int16_t>(minY->y()),
            static_cast<std::int16_t>(minX->x()) };
        EXPECT_EQ(clips, std::vector<std::vector<std::int16_t>> { expected });
    }

} // namespace
} // namespace tarvo
