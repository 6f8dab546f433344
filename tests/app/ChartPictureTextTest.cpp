// A folder name holding control characters (every byte 1-31 and 127) or bytes that are not
// UTF-8: every text the charts draw shows them as visible replacements, the same on screen, in
// print and in the four picture formats, and the SVG drawing stays well-formed XML.

#include "ChartPicture.h"
#include "ChartSetup.h"
#include "ExternalTools.h"
#include "GuiTestSupport.h"
#include "TestPictures.h"
#include "bar/BarSeries.h"
#include "panel/ChartPanelTestSupport.h"
#include "pie/PieSeries.h"

#include <QFile>
#include <QPrinter>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>

namespace tarvo
{
namespace
{

    std::string ControlName()
    {
        std::string name = "ctl";
        for (char c = 1; c < 32; ++c)
            name.push_back(c);
        name.push_back('\x7F');
        return name;
    }

    const std::string kNotUtf8 = "caf\xE9-\xFF\xFE-\xC3";

    bool HasControl(const QString& text)
    {
        return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
    }

    // The carriage return breaks titles, marks and axis labels into lines and is a blank in the
    // legend, as it always did; every other control character has its caret form.
    std::vector<QString> ExpectedReplacements()
    {
        std::vector<QString> shown;
        for (int c = 1; c < 32; ++c)
            if (c != '\r')
                shown.push_back(QStringLiteral("^") + QChar(c ^ 0x40));
        shown.push_back(QStringLiteral("^?"));
        return shown;
    }

    void ExpectReplacementsIn(const QString& text, const char* where)
    {
        for (const QString& replacement : ExpectedReplacements())
            EXPECT_TRUE(text.contains(replacement)) << where << " lacks " << replacement.toStdString();
    }

    // The strings of the metafile's ExtTextOut records, as bytes.
    std::vector<QByteArray> MetafileTexts(const QByteArray& bytes)
    {
        std::vector<QByteArray> texts;
        const auto word = [&bytes](qsizetype at) {
            return static_cast<std::uint16_t>(
                static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8));
        };
        qsizetype at = 22 + 18; // placeable and standard headers
        while (at + 6 <= bytes.size()) {
            const qsizetype size = 2 * (word(at) | (qsizetype(word(at + 2)) << 16));
            if (size < 6)
                break;
            if (word(at + 4) == 0x0A32 && at + 14 <= bytes.size()) {
                const qsizetype count = word(at + 10);
                const qsizetype text = at + 14 + ((word(at + 12) & 0x0004) != 0 ? 8 : 0);
                texts.push_back(bytes.mid(text, count));
            }
            at += size;
        }
        return texts;
    }

    QString TextOf(const std::vector<TChartCanvas::TDrawnText>& drawn)
    {
        QString all;
        for (const auto& text : drawn)
            all += text.Text + QLatin1Char('\n');
        return all;
    }

    std::multiset<QString> TextSet(const std::vector<TChartCanvas::TDrawnText>& drawn)
    {
        std::multiset<QString> texts;
        for (const auto& text : drawn)
            texts.insert(text.Text);
        return texts;
    }

    class ChartPictureText : public ::testing::TestWithParam<bool>
    {
    protected:
        void SetUp() override { test::EnsureApp(); }
    };

    TEST_P(ChartPictureText, ControlCharactersShowAsReplacementsInEveryOutput)
    {
        TARVO_REQUIRE_TOOL(test::Tool::tlXmllint);
        TARVO_REQUIRE_TOOL(test::Tool::tlPdftotext);
        const bool pie = GetParam();
        TChart chart;
        TPieSeries pieSeries;
        TBarSeries barSeries;
        if (pie)
            SetUpPieChart(chart, pieSeries);
        else
            SetUpBarChart(chart, barSeries);
        chart.resize(900, 520);
        const std::string folder = "/home/" + ControlName();
        chart.Title().SetText(
            { QStringLiteral("Folder Size in:"), QString::fromUtf8(folder.data(), qsizetype(folder.size())) });
        const std::vector<std::pair<std::string, double>> points { { ControlName(), 900 }, { kNotUtf8, 700 },
            { "usr", 500 } };
        for (const auto& [label, size] : points) {
            if (pie)
                pieSeries.AddPie(size, label, clRed);
            else
                barSeries.AddBar(size, label, clRed);
        }

        static_cast<void>(test::Render(chart));
        const std::vector<TChartCanvas::TDrawnText> screen = chart.Canvas().DrawnTexts();
        const QString shown = TextOf(screen);
        for (const auto& text : screen)
            EXPECT_FALSE(HasControl(text.Text)) << text.Text.toStdString();
        ExpectReplacementsIn(shown, "the screen");
        EXPECT_TRUE(shown.contains(QChar::ReplacementCharacter)) << "the bytes that are not UTF-8";

        const QString base = test::PicturesFolder() + QStringLiteral("/control-names-") + (pie ? "pie" : "bars");
        for (const TPictureFilter& filter : kPictureFilters) {
            const QString file = base + QLatin1Char('.') + QLatin1String(filter.suffix);
            SaveChartPicture(chart, file, filter.format);
            EXPECT_EQ(TextSet(chart.Canvas().DrawnTexts()), TextSet(screen)) << filter.suffix;
            QFile saved(file);
            ASSERT_TRUE(saved.open(QIODevice::ReadOnly)) << file.toStdString();
            const QByteArray bytes = saved.readAll();
            switch (filter.format) {
            case pfWmf: {
                QString texts;
                for (const QByteArray& text : MetafileTexts(bytes)) {
                    EXPECT_FALSE(std::any_of(text.begin(), text.end(), [](char c) { return c >= 0 && c < 0x20; }))
                        << text.toHex().toStdString();
                    texts += QString::fromLatin1(text) + QLatin1Char('\n');
                }
                ExpectReplacementsIn(texts, "the metafile");
                break;
            }
            case pfPng:
                EXPECT_TRUE(bytes.startsWith("\x89PNG"));
                break;
            case pfSvg: {
                const test::ToolResult lint = test::RunTool(test::Tool::tlXmllint, { "--noout", file.toStdString() });
                EXPECT_EQ(lint.exitCode, 0) << lint.output;
                QXmlStreamReader reader(bytes);
                QString texts;
                while (!reader.atEnd())
                    if (reader.readNext() == QXmlStreamReader::Characters)
                        texts += reader.text();
                EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
                ExpectReplacementsIn(texts, "the SVG drawing");
                break;
            }
            case pfPdf: {
                const test::ToolResult text = test::RunTool(test::Tool::tlPdftotext, { file.toStdString(), "-" });
                ExpectReplacementsIn(QString::fromStdString(text.output), "the PDF page");
                break;
            }
            }
        }

        const QString printed = base + QStringLiteral("-printed.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        chart.PrintOn(printer);
        EXPECT_EQ(TextSet(chart.Canvas().DrawnTexts()), TextSet(screen)) << "print";
        const test::ToolResult text = test::RunTool(test::Tool::tlPdftotext, { printed.toStdString(), "-" });
        ExpectReplacementsIn(QString::fromStdString(text.output), "the printed page");

        pieSeries.SetParentChart(nullptr);
        barSeries.SetParentChart(nullptr);
    }

    INSTANTIATE_TEST_SUITE_P(WindowCharts, ChartPictureText, ::testing::Bool(),
        [](const ::testing::TestParamInfo<bool>& info) { return std::string(info.param ? "Pie" : "Bars"); });

} // namespace
} // namespace tarvo
