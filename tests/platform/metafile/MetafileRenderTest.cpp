// Pictures recorded through QPainter, checked strictly by wmfcheck.py and rendered by an
// independent reader (libwmf's wmf2gd), then compared at a few points with the same drawing
// rendered by Qt into a QImage. The pictures stay under the build tree for a person to look at.

#include "MetafileError.h"
#include "MetafilePaintDevice.h"
#include "TestPictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "MetafileTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvo
{
namespace
{

    using namespace test;

    constexpr QSize kSize(320, 240);
    const QRectF kPieRect(20, 60, 120, 120);
    const QRectF kEllipseRect(180, 60, 120, 80);

    QColor BandColor(int i) { return QColor::fromRgb(255 - 25 * i, 40 + 20 * i, 25 * i); }

    // The same drawing for both targets; the metafile gets its direct pie and text records.
    void DrawSample(QPainter& painter, MetafilePaintDevice* metafile)
    {
        painter.fillRect(QRect(QPoint(0, 0), kSize), Qt::white);
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < 10; ++i) {
            painter.setBrush(BandColor(i));
            painter.drawRect(QRectF(32 * i, 0, 32, 40));
        }
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::red);
        if (metafile)
            metafile->Pie(painter, kPieRect, 0, 90 * 16);
        else
            painter.drawPie(kPieRect, 0, 90 * 16);
        painter.setBrush(Qt::blue);
        painter.drawEllipse(kEllipseRect);
        painter.setBrush(QBrush(Qt::darkGreen, Qt::DiagCrossPattern));
        painter.drawRect(QRectF(180, 160, 60, 40));
        painter.setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
        painter.drawLine(QPointF(10, 230), QPointF(310, 230));
        painter.setPen(Qt::black);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(16);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QPointF(20, 215), QStringLiteral("Tarvo 42%"));
        if (metafile)
            metafile->Text(painter, QPointF(290, 200), QStringLiteral("Up"), 90, mtaLeft | mtaBaseline);
        else {
            painter.save();
            painter.translate(290, 200);
            painter.rotate(-90);
            painter.drawText(QPointF(0, 0), QStringLiteral("Up"));
            painter.restore();
        }
    }

    bool IsNear(const QColor& a, const QColor& b, int tolerance)
    {
        return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
            && std::abs(a.blue() - b.blue()) <= tolerance;
    }

    // The sample drawn both ways, the metafile saved under the build tree.
    struct Sample {
        QString wmfFile;
        QImage reference;
    };

    Sample MakeSample()
    {
        MetafilePaintDevice metafile(kSize);
        {
            QPainter painter(&metafile);
            DrawSample(painter, &metafile);
        }
        QImage reference(kSize, QImage::Format_RGB32);
        {
            QPainter painter(&reference);
            DrawSample(painter, nullptr);
        }
        const QString folder = test::PicturesFolder();
        reference.save(folder + QStringLiteral("/metafile-sample-qt.png"));
        const QString wmfFile = folder + QStringLiteral("/metafile-sample.wmf");
        metafile.SaveToFile(wmfFile);
        return { wmfFile, reference };
    }

    TEST(MetafileRenderTest, SampleIsStrictlyValid)
    {
        EnsureApplication();
        TARVO_REQUIRE_CHECKER();
        EXPECT_EQ(StrictCheck(MakeSample().wmfFile.toStdString()), "");
    }

    struct Reader {
        const char* name;
        test::Tool tool;
        std::vector<std::string> arguments; // the output file and the metafile are appended
        bool fillsEllipses; // libwmf's gd renderer outlines ellipses without filling them
    };

    void PrintTo(const Reader& reader, std::ostream* out) { *out << reader.name; }

    class MetafileReaderTest : public ::testing::TestWithParam<Reader>
    {
    protected:
        void SetUp() override { EnsureApplication(); }
    };

    TEST_P(MetafileReaderTest, SampleRendersLikeQt)
    {
        const Reader& reader = GetParam();
        TARVO_REQUIRE_TOOL(reader.tool);
        const Sample sample = MakeSample();
        const QString pngFile
            = test::PicturesFolder() + QStringLiteral("/metafile-sample-%1.png").arg(QLatin1String(reader.name));
        QFile::remove(pngFile);
        std::vector<std::string> arguments = reader.arguments;
        if (reader.tool == test::Tool::tlConvert)
            arguments.insert(arguments.end(), { sample.wmfFile.toStdString(), pngFile.toStdString() });
        else
            arguments.insert(arguments.end(), { pngFile.toStdString(), sample.wmfFile.toStdString() });
        const ToolResult render = RunTool(reader.tool, arguments);
        ASSERT_EQ(render.exitCode, 0) << render.output;
        const QImage rendered(pngFile);
        ASSERT_FALSE(rendered.isNull()) << reader.name << " wrote no picture";
        // Readers choose their own resolution; the picture must keep its proportions.
        ASSERT_EQ(rendered.width() * kSize.height(), rendered.height() * kSize.width());
        const double scale = double(rendered.width()) / kSize.width();

        struct Probe {
            const char* what;
            QPointF at;
            bool ellipseFill;
        };
        const QPointF pieCentre = kPieRect.center();
        const std::vector<Probe> probes = {
            { "background", { 160, 150 }, false },
            { "first band", { 16, 20 }, false },
            { "middle band", { 16 + 32 * 4, 20 }, false },
            { "last band", { 16 + 32 * 9, 20 }, false },
            { "inside the pie slice", pieCentre + QPointF(30, -30), false },
            { "opposite the pie slice", pieCentre + QPointF(-30, 30), false },
            { "below the pie slice", pieCentre + QPointF(30, 30), false },
            { "left of the pie slice", pieCentre + QPointF(-30, -30), false },
            { "ellipse centre", kEllipseRect.center(), true },
            { "inside the ellipse's right end", { 290, 100 }, true },
            { "just outside the ellipse", { 186, 66 }, false },
        };
        for (const Probe& probe : probes) {
            if (probe.ellipseFill && !reader.fillsEllipses)
                continue;
            const QColor expected = sample.reference.pixelColor(probe.at.toPoint());
            const QPoint at(int(probe.at.x() * scale), int(probe.at.y() * scale));
            const QColor actual = rendered.pixelColor(at);
            EXPECT_TRUE(IsNear(expected, actual, 8))
                << probe.what << " at (" << probe.at.x() << ", " << probe.at.y() << "): Qt "
                << expected.name().toStdString() << ", " << reader.name << " " << actual.name().toStdString();
        }
    }

    INSTANTIATE_TEST_SUITE_P(Readers, MetafileReaderTest,
        ::testing::Values(Reader { "wmf2gd", test::Tool::tlWmf2gd, { "-t", "png", "-o" }, false },
            Reader { "convert", test::Tool::tlConvert, { "-density", "96" }, true }),
        [](const ::testing::TestParamInfo<Reader>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tarvo
