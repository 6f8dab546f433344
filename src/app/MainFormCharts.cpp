// The window's two charts: filling them from an analysis, clicks on slices and bars, rotation
// and the chart switches of the tool bar and the "Tools" menu.

#include "Chart.h"
#include "ChartSetup.h"
#include "MainForm.h"
#include "PageControl.h"
#include "PathText.h"
#include "TarvoApplication.h"
#include "bar/BarSeries.h"
#include "pie/PieGeometry.h"
#include "pie/PieSeries.h"

#include <QAction>
#include <QFrame>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

namespace tarvo
{

namespace
{

    const char* const kPieHint
        = "Left click on Pie to visualize that folder\nRight click on Pie to open explorer in that folder";

    QVBoxLayout* PageLayout(QWidget* page)
    {
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        return layout;
    }

    // Every text parsed before a chart changes: a bad text or lists of unequal length raise.
    std::vector<double> ChartSizes(const std::vector<std::string>& paths, const std::vector<std::string>& values,
        const std::vector<bool>& folders, const FormatSettings& settings)
    {
        if (paths.size() != values.size() || folders.size() != paths.size())
            throw std::invalid_argument("The chart's paths and values do not match");
        std::vector<double> sizes;
        sizes.reserve(values.size());
        for (const std::string& text : values) {
            const std::optional<double> value = TextToFloat(text, settings);
            if (!value)
                throw std::invalid_argument("'" + text + "' is not a valid floating point value");
            sizes.push_back(*value);
        }
        return sizes;
    }

    // Each colour once, in the palette's order.
    std::vector<TColor> DistinctColors(const std::array<std::uint32_t, 16>& palette)
    {
        std::vector<TColor> colors;
        for (const TColor color : palette)
            if (std::find(colors.begin(), colors.end(), color) == colors.end())
                colors.push_back(color);
        return colors;
    }

    // Zooming, panning and the wheel fix the axes; a new analysis must be shown on its own scale.
    void ShowUnzoomed(TChart& chart)
    {
        if (chart.Zoomed())
            chart.UndoZoom();
        for (const TChartAxisRole role : { carBottom, carTop, carLeft, carRight, carDepth }) {
            if (TChartLayoutAxis* axis = chart.Axis(role)) {
                TAxisRangeSettings automatic = axis->RangeSettings();
                automatic.Automatic = automatic.AutomaticMinimum = automatic.AutomaticMaximum = true;
                axis->SetRangeSettings(automatic);
            }
        }
    }

} // namespace

void TForm1::CreateCharts()
{
    // The bar chart has a single border of its own around its client area.
    auto* border = new QFrame(TabSheet2);
    border->setObjectName(QStringLiteral("BarsBorder"));
    border->setFrameStyle(QFrame::Box | QFrame::Plain);
    border->setLineWidth(1);
    PageLayout(TabSheet2)->addWidget(border);
    Bars = new TChart(border);
    Bars->setObjectName(QStringLiteral("Bars"));
    PageLayout(border)->addWidget(Bars);
    m_barSerie = std::make_unique<TBarSeries>();
    BarSerie = m_barSerie.get();
    SetUpBarChart(*Bars, *BarSerie);
    Bars->OnClickSeries = [this](TCustomChart& sender, TChartSeries& series, int valueIndex, TMouseButton button,
                              TShiftState shift, int x, int y) {
        TarvoApplication::Guard([&] { BarsClickSeries(sender, series, valueIndex, button, shift, x, y); });
    };

    Pies = new TChart(TabSheet3);
    Pies->setObjectName(QStringLiteral("Pies"));
    Pies->setToolTip(QString::fromLatin1(kPieHint));
    PageLayout(TabSheet3)->addWidget(Pies);
    m_discoSerie = std::make_unique<TPieSeries>();
    DiscoSerie = m_discoSerie.get();
    SetUpPieChart(*Pies, *DiscoSerie);
    Pies->OnClickSeries = [this](TCustomChart& sender, TChartSeries& series, int valueIndex, TMouseButton button,
                              TShiftState shift, int x, int y) {
        TarvoApplication::Guard([&] { PiesClickSeries(sender, series, valueIndex, button, shift, x, y); });
    };

    // The mouse's back button leads out of a folder that a click led into.
    Bars->installEventFilter(this);
    Pies->installEventFilter(this);
}

void TForm1::FillCharts(
    const std::vector<std::string>& paths, const std::vector<std::string>& values, std::size_t folderCount)
{
    if (folderCount > paths.size())
        throw std::invalid_argument("The chart's paths and values do not match");
    std::vector<bool> folders(paths.size(), false);
    std::fill_n(folders.begin(), folderCount, true);
    FillCharts(paths, values, folders, false);
}

void TForm1::FillCharts(const std::vector<std::string>& paths, const std::vector<std::string>& values,
    const std::vector<bool>& folders, bool inPlace)
{
    const std::vector<double> sizes = ChartSizes(paths, values, folders, m_env.formatSettings);
    if (!inPlace) {
        ShowUnzoomed(*Bars);
        ShowUnzoomed(*Pies);
        const QStringList title { QStringLiteral("Folder Size in:"), PathToDisplay(m_currentDir) };
        Bars->Title().SetText(title);
        Pies->Title().SetText(title);
    }
    FillChartPoints(paths, sizes, folders);
}

void TForm1::FillChartPoints(
    const std::vector<std::string>& paths, const std::vector<double>& sizes, const std::vector<bool>& folders)
{
    BarSerie->ClearPoints();
    DiscoSerie->ClearPoints();

    const PathStyle& style = m_env.fileSystem->Style();
    m_chartEntries.clear();
    m_chartEntries.reserve(paths.size());
    // The pie names only its largest entries and gathers the rest in "Other" (kPieNamedSlices):
    // its named slices take the palette's colours in their order, each once. Without folding
    // each entry keeps its own slot, as in the bar chart.
    TPieOtherSlice& other = DiscoSerie->OtherSlice();
    other.SetValue(sizes.size() > kPieUnfoldedEntries ? kPieNamedSlices : kPieUnfoldedEntries);
    const std::vector<bool> folded = DiscoSerie->SlicesToFold(sizes);
    const bool folding = std::find(folded.begin(), folded.end(), true) != folded.end();
    const std::vector<TColor> namedColors
        = folding ? DistinctColors(m_palette) : std::vector<TColor>(m_palette.begin(), m_palette.end());
    std::size_t named = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string label = style.FileName(paths[i]);
        const TColor color = m_palette[i % m_palette.size()];
        DiscoSerie->AddPie(sizes[i], label, folded[i] ? color : namedColors[named++ % namedColors.size()]);
        BarSerie->AddBar(sizes[i], label, color);
        m_chartEntries.push_back({ paths[i], folders[i] });
    }
}

std::optional<std::string> TForm1::ClickedFolder(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_chartEntries.size())
        return std::nullopt;
    const PathStyle& style = m_env.fileSystem->Style();
    const ChartEntry& entry = m_chartEntries[static_cast<std::size_t>(index)];
    // The entry's own bytes, not the label shown: a name that is not UTF-8, or holds a line
    // break, still leads to its folder. A pseudo-entry stands for the analysed folder itself.
    return style.IncludeTrailingSeparator(entry.folder ? entry.path : m_analysedDir);
}

void TForm1::ChartClicked(const TChartSeries& series, TMouseButton button, TShiftState shift, int x, int y)
{
    // The second press of a double click would drill again, into whatever the first one showed.
    if (shift.testFlag(ssDouble))
        return;
    const int index = series.PointAt(x, y);
    // "Other" is told by what it is, not by its text (a subfolder may be named so): it is no
    // folder, and every entry it gathers is on the size list, which a left click shows.
    if (&series == DiscoSerie && index >= 0 && DiscoSerie->IsOtherSlice(index)) {
        if (button == mbLeft) {
            PageControl1->SetActivePageIndex(0);
            PageControl1Change(0);
        }
        return;
    }
    if (const std::optional<std::string> folder = ClickedFolder(index))
        OpenClickedDir(*folder, button);
}

void TForm1::BarsClickSeries(
    TCustomChart&, TChartSeries& series, int, TMouseButton button, TShiftState shift, int x, int y)
{
    ChartClicked(series, button, shift, x, y);
}

void TForm1::PiesClickSeries(
    TCustomChart&, TChartSeries& series, int, TMouseButton button, TShiftState shift, int x, int y)
{
    ChartClicked(series, button, shift, x, y);
}

void TForm1::OpenClickedDir(const std::string& path, TMouseButton button)
{
    switch (button) {
    case mbLeft:
        AnalyseNavigated(ChangeDir(path));
        break;
    case mbRight:
        m_env.openFolder(path);
        break;
    case mbMiddle:
        break;
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && !m_showHints && SwallowsToolTip(watched))
        return true;
    if ((watched == Bars || watched == Pies) && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(event)->button() == Qt::BackButton) {
        TarvoApplication::Guard([this] { actUpOneDirExecute(); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::Timer1Timer() { DiscoSerie->Rotate(Move->isChecked() ? 1 : 0); }

void TForm1::PageControl1Change(int page)
{
    if (page == 2) {
        Move->setEnabled(true);
    } else {
        Move->setChecked(false);
        Move->setEnabled(false);
    }
}

void TForm1::actToggle3DExecute()
{
    const bool view3D = !Bars->View3D();
    Bars->SetView3D(view3D);
    Pies->SetView3D(view3D);
}

void TForm1::actShowLegendExecute()
{
    const bool visible = !Pies->Legend()->Visible();
    Pies->Legend()->SetVisible(visible);
    Bars->Legend()->SetVisible(visible);
    actShowLegend->setChecked(visible);
}

void TForm1::actShowLabelsExecute()
{
    const bool visible = !Bars->Series(0)->Marks().Visible();
    BarSerie->Marks().SetVisible(visible);
    DiscoSerie->Marks().SetVisible(visible);
    actShowLabels->setChecked(visible);
}

} // namespace tarvo
