// The window's charts stay readable from 3 to 5,000 entries: no two drawn texts overlap, the
// pie names at most 14 slices and gathers the rest in "Other", and a 16-entry folder whose texts
// never collided draws exactly as it always did. Pictures of every case are left in
// build/pictures (readable-*.png) for a person to look at.

#include "ChartWindow.h"
#include "TestPictures.h"
#include "legend/ChartLegend.h"
#include "panel/ChartPanelTestSupport.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    // Names as real folders have them, short and long.
    constexpr std::array<const char*, 12> kNames { "share", "lib", "x86_64-linux-gnu", "bin", "include", "src",
        "locale", "doc", "fonts", "icons", "python3", "games" };

    struct Entries {
        std::vector<std::string> paths;
        std::vector<std::string> megabytes;
    };

    // count entries under C:\Many with folder-like sizes: spread over five orders of magnitude
    // in a fixed shuffle, as real folders' are.
    Entries FolderLikeEntries(int count)
    {
        Entries entries;
        for (int i = 0; i < count; ++i) {
            const int spread = (i * 7919) % 1000;
            const double megabytes = std::pow(10.0, -2.0 + 5.0 * spread / 1000.0);
            entries.paths.push_back("C:\\Many\\" + std::string(kNames[static_cast<std::size_t>(i) % kNames.size()])
                + (i < static_cast<int>(kNames.size()) ? "" : "-" + std::to_string(i)));
            char text[32];
            std::snprintf(text, sizeof text, "%.2f", megabytes);
            entries.megabytes.emplace_back(text);
        }
        return entries;
    }

    // Sixteen folders whose marks, labels and legend rows have room enough never to meet.
    Entries SixteenRoomyEntries()
    {
        constexpr std::array<const char*, 16> names { "bin", "boot", "dev", "etc", "home", "lib", "lib64", "media",
            "mnt", "opt", "root", "run", "sbin", "srv", "usr", "var" };
        constexpr std::array<int, 16> sizes { 760, 900, 820, 260, 700, 150, 640, 120, 580, 100, 520, 90, 460, 220, 300,
            180 };
        Entries entries;
        for (std::size_t i = 0; i < names.size(); ++i) {
            entries.paths.push_back(std::string("C:\\Roomy\\") + names[i]);
            entries.megabytes.push_back(std::to_string(sizes[i]));
        }
        return entries;
    }

    QString Checksum(const QImage& image)
    {
        const QByteArray pixels(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
        return QString::fromLatin1(QCryptographicHash::hash(pixels, QCryptographicHash::Sha1).toHex().left(16));
    }

    // Pairs of drawn texts whose rectangles overlap, described.
    std::vector<std::string> Overlaps(const std::vector<TChartCanvas::TDrawnText>& texts)
    {
        std::vector<std::string> found;
        for (std::size_t a = 0; a < texts.size(); ++a)
            for (std::size_t b = a + 1; b < texts.size(); ++b)
                if (texts[a].Rect.intersects(texts[b].Rect))
                    found.push_back(
                        "\"" + texts[a].Text.toStdString() + "\" and \"" + texts[b].Text.toStdString() + "\"");
        return found;
    }

    class ChartReadability : public test::ChartWindow
    {
    protected:
        // The window at the given size with the entries analysed (filled as an analysis fills the
        // charts), both charts in 3D or flat.
        std::unique_ptr<TForm1> Show(const Entries& entries, QSize size, bool view3D)
        {
            auto form = Open();
            form->resize(size);
            QCoreApplication::processEvents();
            if (form->Bars->View3D() != view3D)
                form->actToggle3D->trigger();
            form->FillCharts(entries.paths, entries.megabytes, entries.paths.size());
            return form;
        }
    };

    struct ReadableCase {
        int count;
        QSize window;
    };

    class ChartTextsApart : public ChartReadability, public ::testing::WithParamInterface<ReadableCase>
    {
    };

    TEST_P(ChartTextsApart, NoTwoDrawnTextsOverlapAndThePieNamesAtMostFifteenSlices)
    {
        const ReadableCase& c = GetParam();
        const Entries entries = FolderLikeEntries(c.count);
        for (const bool view3D : { true, false }) {
            auto form = Show(entries, c.window, view3D);
            for (TChart* chart : { form->Pies, form->Bars }) {
                const bool pie = chart == form->Pies;
                PickPage(*form, pie ? 2 : 1);
                QCoreApplication::processEvents();
                const QImage image = test::Render(*chart);
                const std::string what = std::string(pie ? "pie" : "bars") + (view3D ? " 3D " : " flat ")
                    + std::to_string(c.count) + " entries, " + std::to_string(chart->width()) + "x"
                    + std::to_string(chart->height());
                const auto& texts = chart->Canvas().DrawnTexts();
                for (const std::string& overlap : Overlaps(texts))
                    ADD_FAILURE() << what << ": " << overlap;
                int marks = 0;
                TChartSeries& series
                    = pie ? static_cast<TChartSeries&>(*form->DiscoSerie) : static_cast<TChartSeries&>(*form->BarSerie);
                for (int i = 0; i < series.PointCount(); ++i)
                    marks += series.MarkPositions().Has(i) ? 1 : 0;
                std::printf("[ readable ] %s: %zu texts, %d marks\n", what.c_str(), texts.size(), marks);
                if (c.window.width() >= 1000)
                    test::SavePicture(image,
                        QStringLiteral("readable-%1-%2-%3.png")
                            .arg(pie ? "pie" : "bars", view3D ? "3d" : "flat")
                            .arg(c.count));
                if (pie) {
                    // Up to 16 entries each has its slice; beyond, at most 14 named ones, each at
                    // least 1 % of the pie and each in a colour of its own, and "Other".
                    const TPieSeries& disco = *form->DiscoSerie;
                    const int slices = disco.LegendItemCount();
                    EXPECT_EQ(form->Pies->ChartLegend()->ItemCount(), slices) << what;
                    if (c.count <= 16) {
                        EXPECT_EQ(slices, c.count) << what;
                    } else {
                        EXPECT_LE(slices, 15) << what;
                        EXPECT_TRUE(disco.IsOtherSlice(disco.PointCount() - 1)) << what;
                        std::set<TColor> colors;
                        for (int i = 0; i < disco.PointCount(); ++i) {
                            if (!disco.IsFolded(i)) {
                                EXPECT_TRUE(colors.insert(disco.PointColor(i)).second) << what << ": slice " << i;
                                if (!disco.IsOtherSlice(i)) {
                                    EXPECT_GE(disco.PieValues().Value(i), disco.PieValues().AbsSum() * 0.01) << what;
                                }
                            }
                        }
                    }
                } else {
                    EXPECT_EQ(series.PointCount(), c.count) << "every entry keeps its bar";
                    // A legend too short for every entry ends in a row that says so.
                    const auto more
                        = std::find_if(texts.begin(), texts.end(), [](const TChartCanvas::TDrawnText& text) {
                              return text.Text.endsWith(QStringLiteral(" more"));
                          });
                    EXPECT_EQ(more != texts.end(), form->Bars->ChartLegend()->RowCount() < c.count) << what;
                }
            }
        }
    }

    INSTANTIATE_TEST_SUITE_P(EntryCounts, ChartTextsApart,
        ::testing::Values(ReadableCase { 3, { 700, 480 } }, ReadableCase { 3, { 1300, 860 } },
            ReadableCase { 16, { 700, 480 } }, ReadableCase { 16, { 1300, 860 } }, ReadableCase { 17, { 700, 480 } },
            ReadableCase { 17, { 1300, 860 } }, ReadableCase { 120, { 700, 480 } }, ReadableCase { 120, { 1300, 860 } },
            ReadableCase { 5000, { 700, 480 } }, ReadableCase { 5000, { 1300, 860 } }),
        [](const ::testing::TestParamInfo<ReadableCase>& info) {
            return std::to_string(info.param.count) + "Entries" + std::to_string(info.param.window.width());
        });

    // Drawn by the code before marks, the pie and the legend learned to keep their texts apart
    // (main at e4b6547), pixel for pixel: the first 16 hexadecimal digits of the SHA-1 of the
    // chart's picture.
    struct RoomyPicture {
        QSize window;
        bool view3D;
        bool pie;
        const char* checksum;
    };

    using SixteenEntries = ChartReadability;

    TEST_F(SixteenEntries, AFolderWhoseTextsNeverCollidedDrawsExactlyAsBefore)
    {
        const std::vector<RoomyPicture> pictures {
            { { 1100, 700 }, true, true, "edd2a59da03fb023" },
            { { 1100, 700 }, false, true, "f00dd385c99a0df1" },
            { { 1100, 700 }, true, false, "e57e4b69b09b0b5d" },
            { { 1100, 700 }, false, false, "7e9464bd72404bec" },
            { { 800, 560 }, true, true, "42fb4ea1beb98558" },
            { { 800, 560 }, false, true, "b00565ad02fa97bd" },
            { { 800, 560 }, true, false, "d3036c3f0307f51f" },
            { { 800, 560 }, false, false, "88dde8eff7a7d2d4" },
        };
        for (const RoomyPicture& p : pictures) {
            auto form = Show(SixteenRoomyEntries(), p.window, p.view3D);
            TChart& chart = p.pie ? *form->Pies : *form->Bars;
            PickPage(*form, p.pie ? 2 : 1);
            QCoreApplication::processEvents();
            const QImage image = test::Render(chart);
            const QString checksum = Checksum(image);
            test::SavePicture(image,
                QStringLiteral("readable-16-roomy-%1-%2-%3.png")
                    .arg(p.pie ? "pie" : "bars", p.view3D ? "3d" : "flat")
                    .arg(p.window.width()));
            // What makes the case: every entry has its mark, and no two texts meet.
            const TChartSeries& series = *chart.Series(0);
            for (int i = 0; i < 16; ++i)
                EXPECT_TRUE(series.MarkPositions().Has(i)) << "mark " << i;
            EXPECT_EQ(Overlaps(chart.Canvas().DrawnTexts()), std::vector<std::string> {});
            EXPECT_EQ(checksum.toStdString(), p.checksum) << p.window.width() << "x" << p.window.height()
                                                          << (p.pie ? " pie" : " bars") << (p.view3D ? " 3D" : " flat");
        }
    }

} // namespace
} // namespace tarvo
