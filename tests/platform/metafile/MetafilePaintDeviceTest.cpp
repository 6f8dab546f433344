// What QPainter draws on the metafile device becomes records: which records, with which
// coordinates and objects; the translation of Qt's pens, brushes, colours and fonts; errors.

#include "MetafilePaintDevice.h"
#include "MetafileError.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>

#include "MetafileTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarvo
{
namespace
{

    using namespace test;

    // The records of one drawing on a 200 × 100 device that are neither objects nor state.
    std::vector<Rec> Drawn(const std::function<void(QPainter&, MetafilePaintDevice&)>& draw)
    {
        MetafilePaintDevice device(QSize(200, 100));
        {
            QPainter painter(&device);
            draw(painter, device);
        }
        std::vector<Rec> drawn;
        for (const Rec& r : Records(device.Bytes()))
            if ((r.function & 0x00FF) >= 0x13 && r.function != 0x012D && r.function != 0x01F0 && r.function != 0x012E
                && (r.function & 0xFF) != 0xFA && (r.function & 0xFF) != 0xFB && (r.function & 0xFF) != 0xFC)
                drawn.push_back(r);
        return drawn;
    }

    const Rec* Find(const std::vector<Rec>& records, std::uint16_t function)
    {
        for (const Rec& r : records)
            if (r.function == function)
                return &r;
        return nullptr;
    }

    std::vector<Rec> AllRecords(const std::function<void(QPainter&, MetafilePaintDevice&)>& draw)
    {
        MetafilePaintDevice device(QSize(200, 100));
        {
            QPainter painter(&device);
            draw(painter, device);
        }
        return Records(device.Bytes());
    }

    constexpr std::uint16_t fnRectangle = 0x041B, fnEllipse = 0x0418, fnPolygon = 0x0324, fnPolyline = 0x0325,
                            fnLineTo = 0x0213, fnSetPixel = 0x041F, fnExtTextOut = 0x0A32, fnPie = 0x081A,
                            fnArc = 0x0817, fnStretchDib = 0x0F43, fnFont = 0x02FB, fnPen = 0x02FA, fnSaveDc = 0x001E,
                            fnRestoreDc = 0x0127, fnIntersectClip = 0x0416;

    struct PrimitiveCase {
        const char* name;
        std::function<void(QPainter&)> draw;
        std::uint16_t function;
        std::vector<std::int16_t> words; // empty: not compared
    };

    void PrintTo(const PrimitiveCase& c, std::ostream* out) { *out << c.name; }

    class MetafilePrimitiveTest : public ::testing::TestWithParam<PrimitiveCase>
    {
    protected:
        void SetUp() override { EnsureApplication(); }
    };

    TEST_P(MetafilePrimitiveTest, BecomesItsOwnRecord)
    {
        const PrimitiveCase& c = GetParam();
        const std::vector<Rec> drawn = Drawn([&c](QPainter& p, MetafilePaintDevice&) { c.draw(p); });
        const Rec* rec = Find(drawn, c.function);
        ASSERT_NE(rec, nullptr) << c.name;
        if (!c.words.empty()) {
            EXPECT_EQ(rec->words, c.words) << c.name;
        }
    }

    QImage SmallImage()
    {
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(Qt::red);
        return image;
    }

    // Box records list bottom, right, top, left; the right and bottom edge are exclusive.
    INSTANTIATE_TEST_SUITE_P(Painter, MetafilePrimitiveTest,
        ::testing::Values(PrimitiveCase { "rect", [](QPainter& p) { p.drawRect(QRectF(10, 20, 30, 40)); }, fnRectangle,
                              { 61, 41, 20, 10 } },
            PrimitiveCase { "translated rect",
                [](QPainter& p) {
                    p.translate(5, 6);
                    p.drawRect(QRect(10, 20, 30, 40));
                },
                fnRectangle, { 67, 46, 26, 15 } },
            PrimitiveCase { "rotated rect",
                [](QPainter& p) {
                    p.rotate(45);
                    p.drawRect(QRectF(10, 20, 30, 40));
                },
                fnPolygon, {} },
            PrimitiveCase {
                "ellipse", [](QPainter& p) { p.drawEllipse(QRectF(10, 20, 30, 40)); }, fnEllipse, { 61, 41, 20, 10 } },
            PrimitiveCase { "ellipse path",
                [](QPainter& p) {
                    QPainterPath path;
                    path.addEllipse(QRectF(10, 20, 30, 40));
                    p.drawPath(path);
                },
                fnEllipse, { 61, 41, 20, 10 } },
            PrimitiveCase { "triangle",
                [](QPainter& p) {
                    p.drawPolygon(QPolygonF({ QPointF(1, 2), QPointF(30, 2), QPointF(15, 40) }));
                },
                fnPolygon, { 3, 1, 2, 30, 2, 15, 40 } },
            PrimitiveCase { "polyline",
                [](QPainter& p) {
                    p.drawPolyline(QPolygon({ QPoint(1, 2), QPoint(3, 4) }));
                },
                fnPolyline, { 2, 1, 2, 3, 4 } },
            PrimitiveCase { "line", [](QPainter& p) { p.drawLine(QLineF(1, 2, 150, 90)); }, fnLineTo, { 90, 150 } },
            PrimitiveCase { "point", [](QPainter& p) { p.drawPoint(QPoint(7, 9)); }, fnSetPixel, { 0, 0, 9, 7 } },
            PrimitiveCase { "painter pie as path",
                [](QPainter& p) {
                    p.setBrush(Qt::red);
                    p.drawPie(QRectF(10, 10, 50, 50), 0, 1000);
                },
                fnPolygon, {} },
            PrimitiveCase { "painter arc as path", [](QPainter& p) { p.drawArc(QRectF(10, 10, 50, 50), 0, 1000); },
                fnPolyline, {} },
            PrimitiveCase { "text", [](QPainter& p) { p.drawText(QPointF(10, 50), QStringLiteral("Ab")); },
                fnExtTextOut, { 50, 10, 2, 0, 0x6241 } },
            PrimitiveCase {
                "image", [](QPainter& p) { p.drawImage(QRectF(10, 10, 20, 20), SmallImage()); }, fnStretchDib, {} }),
        [](const ::testing::TestParamInfo<PrimitiveCase>& info) {
            std::string name = info.param.name;
            std::replace(name.begin(), name.end(), ' ', '_');
            return name;
        });

    TEST(MetafileDirectPrimitiveTest, PieRunsCounterClockwiseFromStartToEnd)
    {
        EnsureApplication();
        struct Case {
            int start16, span16;
            std::vector<std::int16_t> ends; // end y, end x, start y, start x
        };
        // On the 101-pixel box of QRectF(0, 0, 100, 100): 0° is (100, 50), 90° is (50, 0).
        for (const Case& c : { Case { 0, 90 * 16, { 0, 50, 50, 100 } }, Case { 90 * 16, -90 * 16, { 0, 50, 50, 100 } },
                 Case { 0, -90 * 16, { 50, 100, 100, 50 } }, Case { 0, 360 * 16, { 50, 100, 50, 100 } } }) {
            const std::vector<Rec> drawn = Drawn(
                [&c](QPainter& p, MetafilePaintDevice& d) { d.Pie(p, QRectF(0, 0, 100, 100), c.start16, c.span16); });
            const Rec* pie = Find(drawn, fnPie);
            ASSERT_NE(pie, nullptr);
            EXPECT_EQ(std::vector<std::int16_t>(pie->words.begin(), pie->words.begin() + 4), c.ends)
                << "start " << c.start16 / 16 << " span " << c.span16 / 16;
            EXPECT_EQ(std::vector<std::int16_t>(pie->words.begin() + 4, pie->words.end()),
                (std::vector<std::int16_t> { 101, 101, 0, 0 }));
        }
        const std::vector<Rec> mirrored = Drawn([](QPainter& p, MetafilePaintDevice& d) {
            p.scale(1, -1);
            p.translate(0, -100);
            d.Arc(p, QRectF(0, 0, 100, 100), 0, 90 * 16);
        });
        ASSERT_NE(Find(mirrored, fnArc), nullptr);
        EXPECT_EQ(
            std::vector<std::int16_t>(Find(mirrored, fnArc)->words.begin(), Find(mirrored, fnArc)->words.begin() + 4),
            (std::vector<std::int16_t> { 50, 100, 100, 50 }))
            << "a mirror turns the quarter below the centre, drawn from 270° to 360°";
    }

    // Escapement of the font that the text record uses, in tenths of a degree.
    int TextEscapement(const std::function<void(QPainter&, MetafilePaintDevice&)>& draw)
    {
        int escapement = -1;
        for (const Rec& r : AllRecords(draw))
            if (r.function == fnFont)
                escapement = r.words[2];
        return escapement;
    }

    TEST(MetafileTextTest, RotationBecomesTheFontEscapement)
    {
        EnsureApplication();
        EXPECT_EQ(
            TextEscapement([](QPainter& p, MetafilePaintDevice&) { p.drawText(10, 50, QStringLiteral("x")); }), 0);
        EXPECT_EQ(TextEscapement([](QPainter& p, MetafilePaintDevice&) {
            p.rotate(-30);
            p.drawText(10, 50, QStringLiteral("x"));
        }),
            300);
        EXPECT_EQ(TextEscapement(
                      [](QPainter& p, MetafilePaintDevice& d) { d.Text(p, QPointF(10, 50), QStringLiteral("x"), 90); }),
            900);
        EXPECT_EQ(TextEscapement([](QPainter& p, MetafilePaintDevice& d) {
            p.rotate(90);
            d.Text(p, QPointF(10, 50), QStringLiteral("x"), 450);
        }),
            0)
            << "450° less a clockwise quarter of the painter is a full turn";
    }

    TEST(MetafileStyleTest, ColoursAreBlueGreenRed)
    {
        EXPECT_EQ(ToColorRef(Qt::red), 0x0000FFu);
        EXPECT_EQ(ToColorRef(Qt::green), 0x00FF00u);
        EXPECT_EQ(ToColorRef(Qt::blue), 0xFF0000u);
        EXPECT_EQ(ToColorRef(QColor(0x12, 0x34, 0x56, 0x80)), 0x563412u) << "alpha has no place";
    }

    TEST(MetafileStyleTest, PensKeepStyleWidthAndColour)
    {
        struct Case {
            QPen pen;
            double scale;
            MetafilePen expected;
        };
        const std::vector<Case> cases = {
            { QPen(Qt::NoPen), 1, { mpsNull, 0, 0 } },
            { QPen(QColor(255, 0, 0, 0)), 1, { mpsNull, 0, 0 } },
            { QPen(Qt::red, 0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin), 1, { mpsSolid, 0, 0x0000FF } },
            { QPen(Qt::blue, 3, Qt::DashLine, Qt::FlatCap, Qt::MiterJoin), 2,
                { mpsDash | mpsEndCapFlat | mpsJoinMiter, 6, 0xFF0000 } },
            { QPen(Qt::black, 1, Qt::DotLine, Qt::SquareCap, Qt::BevelJoin), 1,
                { mpsDot | mpsEndCapSquare | mpsJoinBevel, 1, 0 } },
        };
        for (const Case& c : cases) {
            const MetafilePen pen = PenFromQt(c.pen, c.scale);
            EXPECT_EQ(pen.style, c.expected.style);
            EXPECT_EQ(pen.width, c.expected.width);
            EXPECT_EQ(pen.color, c.expected.color);
        }
        QPen cosmetic(Qt::black, 2);
        cosmetic.setCosmetic(true);
        EXPECT_EQ(PenFromQt(cosmetic, 5).width, 2) << "a cosmetic pen ignores the transform";
    }

    TEST(MetafileStyleTest, BrushesKeepTheirHatch)
    {
        struct Case {
            Qt::BrushStyle style;
            MetafileBrush expected;
        };
        const std::vector<Case> cases = {
            { Qt::SolidPattern, { mbsSolid, 0x0000FF, 0 } },
            { Qt::NoBrush, { mbsNull, 0, 0 } },
            { Qt::HorPattern, { mbsHatched, 0x0000FF, mhsHorizontal } },
            { Qt::VerPattern, { mbsHatched, 0x0000FF, mhsVertical } },
            { Qt::FDiagPattern, { mbsHatched, 0x0000FF, mhsFDiagonal } },
            { Qt::BDiagPattern, { mbsHatched, 0x0000FF, mhsBDiagonal } },
            { Qt::CrossPattern, { mbsHatched, 0x0000FF, mhsCross } },
            { Qt::DiagCrossPattern, { mbsHatched, 0x0000FF, mhsDiagCross } },
        };
        for (const Case& c : cases) {
            EXPECT_TRUE(BrushFromQt(QBrush(Qt::red, c.style)) == c.expected) << "Qt brush style " << c.style;
        }
        QLinearGradient gradient(0, 0, 0, 100);
        gradient.setColorAt(0, Qt::black);
        gradient.setColorAt(1, Qt::white);
        const MetafileBrush average = BrushFromQt(QBrush(gradient));
        EXPECT_EQ(average.style, mbsSolid);
        EXPECT_NEAR(int(average.color & 0xFF), 128, 2) << "a gradient averages its stops";
    }

    TEST(MetafileStyleTest, FontHeightComesFromPixelOrPointSize)
    {
        EnsureApplication();
        QFont points(QStringLiteral("Liberation Sans"));
        points.setPointSize(12);
        EXPECT_EQ(FontFromQt(points, 1, 0, 96).height, -16);
        QFont pixels(QStringLiteral("Liberation Sans"));
        pixels.setPixelSize(20);
        pixels.setItalic(true);
        pixels.setWeight(QFont::Bold);
        const MetafileFont font = FontFromQt(pixels, 1.5, -90, 96);
        EXPECT_EQ(font.height, -30);
        EXPECT_EQ(font.escapement, 2700);
        EXPECT_EQ(font.weight, 700);
        EXPECT_TRUE(font.italic);
        EXPECT_EQ(font.faceName, QByteArray("Liberation Sans"));
        EXPECT_EQ(MetafileText(QStringLiteral("Größe € 5")),
            QByteArray("Gr\xF6\xDF"
                       "e ? 5"));
    }

    TEST(MetafileClipTest, PainterClipsAreSavedAndRestoredInBalance)
    {
        EnsureApplication();
        MetafilePaintDevice device(QSize(200, 100));
        {
            QPainter painter(&device);
            painter.setClipRect(QRect(10, 10, 50, 50));
            painter.drawRect(0, 0, 100, 100);
            painter.save();
            painter.setClipRect(QRect(20, 20, 10, 10), Qt::IntersectClip);
            painter.drawRect(0, 0, 100, 100);
            painter.restore();
            painter.drawRect(0, 0, 100, 100);
            painter.setClipping(false);
            painter.drawRect(0, 0, 100, 100);
        }
        EXPECT_EQ(device.Writer().SaveDepth(), 0);
        std::vector<std::vector<std::int16_t>> clips;
        int saves = 0, restores = 0;
        for (const Rec& r : Records(device.Bytes())) {
            saves += r.function == fnSaveDc;
            restores += r.function == fnRestoreDc;
            if (r.function == fnIntersectClip)
                clips.push_back(r.words);
        }
        EXPECT_EQ(saves, restores);
        EXPECT_EQ(clips,
            (std::vector<std::vector<std::int16_t>> { { 60, 60, 10, 10 }, { 30, 30, 20, 20 }, { 60, 60, 10, 10 } }));
        EXPECT_EQ(device.Writer().LiveObjectCount(), 0) << "ending the painter deletes every object";
    }

    TEST(MetafileErrorTest, UnwritablePathNamesTheFile)
    {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString plainFile = dir.filePath(QStringLiteral("plain.txt"));
        QFile file(plainFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep me");
        file.close();
        MetafilePaintDevice device(QSize(20, 10));
        const QString target = plainFile + QStringLiteral("/chart.wmf");
        try {
            device.SaveToFile(target);
            FAIL() << "writing inside a regular file succeeded";
        } catch (const MetafileError& error) {
            EXPECT_NE(std::string(error.what()).find(target.toStdString()), std::string::npos) << error.what();
        }
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("keep me"));
    }

    TEST(MetafileErrorTest, MisuseWhilePaintingIsRefused)
    {
        EnsureApplication();
        MetafilePaintDevice device(QSize(20, 10));
        QImage other(20, 10, QImage::Format_RGB32);
        QPainter painter(&device);
        EXPECT_THROW((void)device.Bytes(), MetafileError) << "the record stream is not complete yet";
        QPainter onImage(&other);
        EXPECT_THROW(device.Pie(onImage, QRectF(0, 0, 10, 10), 0, 16), MetafileError);
        painter.end();
        EXPECT_NO_THROW((void)device.Bytes());
    }

} // namespace
} // namespace tarvo
