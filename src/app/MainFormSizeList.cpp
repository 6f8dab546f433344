// The size list page: one row per entry of the last analysis, sorted by header clicks, with a
// double click and a context menu that lead into a row's folder.

#include "MainForm.h"
#include "PathText.h"
#include "SizeListColumns.h"
#include "SizeListSort.h"
#include "TarvoApplication.h"

#include <QAction>
#include <QHeaderView>
#include <QLayout>
#include <QMenu>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace tarvo
{

namespace
{

    std::string RawText(const QTreeWidgetItem& item, int column)
    {
        return BytesToPath(item.data(column, kRawTextRole).toByteArray());
    }

    // The row's name: the path with the current folder taken off its front, and the separator
    // after it when the current folder has none of its own ("C:\Data" and "C:\Data\" both give
    // "Sub" for "C:\Data\Sub"). A path outside the current folder keeps its last component.
    std::string RowName(const std::string& path, const std::string& currentDir, const PathStyle& style)
    {
        if (currentDir.empty() || path.compare(0, currentDir.size(), currentDir) != 0) {
            return style.FileName(path);
        }
        std::string name = path.substr(currentDir.size());
        if (!style.EndsWithSeparator(currentDir) && !name.empty() && style.IsSeparator(name.front())) {
            name.erase(0, 1);
        }
        return name;
    }

    // The cell a sort by this column compares: column 0 holds the name, the others the
    // sub-items in column order. Before any header click the names.
    int SortTextColumn(int sortColumn) { return sortColumn >= 0 && sortColumn < slcCount ? sortColumn : slcName; }

    int Directed(int comparison, bool ascending) { return ascending ? comparison : -comparison; }

    // The design's widths in pixels, made for an 8-point font whose average character is 5
    // pixels wide, grown with the font in use; the size columns at least as wide as the values
    // of a 10 TB volume (10,485,760 MB, 10,737,418,240 KB) plus the cell's margins.
    std::array<int, slcCount> ColumnWidths(const QFontMetrics& metrics, const FormatSettings& settings)
    {
        constexpr std::array<int, slcCount> kDesignWidths = { 200, 60, 90, 300, 80 };
        constexpr double kDesignCharWidth = 5.0;
        const double scale = std::max(1.0, metrics.averageCharWidth() / kDesignCharWidth);
        const QString decimals = QString::fromStdString(settings.decimalSeparator) + QStringLiteral("99");
        const int margins = 2 * metrics.horizontalAdvance(QLatin1Char('0'));
        std::array<int, slcCount> widths {};
        for (std::size_t column = 0; column < widths.size(); ++column) {
            widths[column] = static_cast<int>(std::lround(kDesignWidths[column] * scale));
        }
        widths[slcMB]
            = std::max(widths[slcMB], metrics.horizontalAdvance(QStringLiteral("10485760") + decimals) + margins);
        widths[slcKB]
            = std::max(widths[slcKB], metrics.horizontalAdvance(QStringLiteral("10737418240") + decimals) + margins);
        return widths;
    }

    int CompareCells(int column, const std::string& a, const std::string& b, const FormatSettings& settings)
    {
        return column == slcChange ? CompareChangeTexts(a, b) : CompareTexts(a, b, settings);
    }

} // namespace

void TForm1::CreateSizeList()
{
    ListView1 = new QTreeWidget(TabSheet1);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setColumnCount(slcCount);
    ListView1->setHeaderLabels({ QStringLiteral("Names"), QStringLiteral("Size MB"), QStringLiteral("Size KB"),
        QStringLiteral("Full Path"), QStringLiteral("Change") });
    const std::array<int, slcCount> widths = ColumnWidths(ListView1->fontMetrics(), m_env.formatSettings);
    for (int column = 0; column < slcCount; ++column) {
        ListView1->setColumnWidth(column, widths[static_cast<std::size_t>(column)]);
    }
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSortingEnabled(false); // rows stay in scan order until a header is clicked
    QPalette silver = ListView1->palette();
    silver.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    ListView1->setPalette(silver);
    ListView1->setToolTip(QStringLiteral(
        "Left click on Pie to calc size of that folder\nRight click on Pie to open explorer in that folder"));

    QHeaderView* header = ListView1->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this,
        [this](int column) { TarvoApplication::Guard([this, column] { ListView1ColumnClick(column); }); });
    connect(
        ListView1, &QTreeWidget::itemDoubleClicked, this, TarvoApplication::Guarded([this] { ListView1DblClick(); }));

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    OpenwithExplorer1 = PopupMenu1->addAction(QStringLiteral("Open with Explorer"));
    OpenwithExplorer1->setObjectName(QStringLiteral("OpenwithExplorer1"));
    connect(
        OpenwithExplorer1, &QAction::triggered, this, TarvoApplication::Guarded([this] { OpenwithExplorer1Click(); }));
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& where) { PopupMenu1->popup(ListView1->viewport()->mapToGlobal(where)); });

    if (TabSheet1->layout() == nullptr) {
        throw std::logic_error("CreateSizeList: TabSheet1 needs its layout, with ToolBar2 in it, first");
    }
    TabSheet1->layout()->addWidget(ListView1);
}

void TForm1::FillSizeList(
    const std::vector<std::string>& paths, const std::vector<std::string>& mbs, const std::vector<std::string>& kbs)
{
    if (mbs.size() != paths.size() || kbs.size() != paths.size()) {
        throw std::invalid_argument("FillSizeList: " + std::to_string(paths.size()) + " paths but "
            + std::to_string(mbs.size()) + " MB and " + std::to_string(kbs.size()) + " KB texts");
    }
    const PathStyle& style = m_env.fileSystem->Style();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(paths.size()));
    try {
        for (std::size_t i = 0; i < paths.size(); ++i) {
            rows.append(new QTreeWidgetItem);
            QTreeWidgetItem& row = *rows.back();
            SetCell(row, slcName, RowName(paths[i], m_currentDir, style));
            SetCell(row, slcMB, mbs[i]);
            SetCell(row, slcKB, kbs[i]);
            SetCell(row, slcFullPath, paths[i]);
            row.setData(slcName, kEntryIndexRole, static_cast<qlonglong>(i));
        }
    } catch (...) {
        qDeleteAll(rows); // the rows on screen stay as they were
        throw;
    }
    ListView1->clear();
    ListView1->addTopLevelItems(rows);
    m_shown = { paths, mbs, paths.size() };
    SortRows();
}

void TForm1::ListView1ColumnClick(int column)
{
    if (column < 0 || column >= slcCount) {
        return;
    }
    m_sortAscending = column == m_sortColumn ? !m_sortAscending : true;
    m_sortColumn = column;
    SortRows();
    FillChartsInListOrder();
}

void TForm1::SortRows()
{
    if (m_sortColumn < 0 || m_sortColumn >= ListView1->columnCount()) {
        return; // no header clicked yet: scan order
    }
    QTreeWidgetItem* const selected = ListView1->selectedItems().value(0); // taking the rows out drops it
    // The sort asks for each row's text many times; read them from the items once. The order is
    // the one SortCompare gives.
    const int textColumn = SortTextColumn(m_sortColumn);
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(ListView1->topLevelItemCount()));
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        texts.push_back(RawText(*ListView1->topLevelItem(i), textColumn));
    }
    const std::vector<int> order
        = SortedOrder(static_cast<int>(texts.size()), [&texts, textColumn, this](int a, int b) {
              return Directed(CompareCells(textColumn, texts[static_cast<std::size_t>(a)],
                                  texts[static_cast<std::size_t>(b)], m_env.formatSettings),
                  m_sortAscending);
          });
    // Only now, with nothing left that could fail, are the rows taken out and put back in order.
    const QList<QTreeWidgetItem*> rows = ListView1->invisibleRootItem()->takeChildren();
    QList<QTreeWidgetItem*> sorted;
    sorted.reserve(rows.size());
    for (const int index : order) {
        sorted.append(rows[index]);
    }
    ListView1->addTopLevelItems(sorted);
    if (selected != nullptr) {
        ListView1->setCurrentItem(selected);
        ListView1->scrollToItem(selected);
    }
}

void TForm1::FillChartsInListOrder(bool inPlace)
{
    std::vector<std::string> paths;
    std::vector<std::string> values;
    std::vector<bool> folders;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        bool tagged = false;
        const qlonglong index = ListView1->topLevelItem(i)->data(slcName, kEntryIndexRole).toLongLong(&tagged);
        if (!tagged || index < 0 || static_cast<std::size_t>(index) >= m_shown.paths.size()) {
            continue; // a row of no entry of this analysis: a gone entry has no bar
        }
        const auto entry = static_cast<std::size_t>(index);
        paths.push_back(m_shown.paths[entry]);
        values.push_back(m_shown.mbs[entry]);
        folders.push_back(entry < m_shown.folderCount);
    }
    FillCharts(paths, values, folders, inPlace);
}

int TForm1::SortCompare(const QTreeWidgetItem& item1, const QTreeWidgetItem& item2) const
{
    const int column = SortTextColumn(m_sortColumn);
    return Directed(
        CompareCells(column, RawText(item1, column), RawText(item2, column), m_env.formatSettings), m_sortAscending);
}

std::string TForm1::SelectedRowFolder() const
{
    const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
    if (selected.isEmpty()) {
        return {};
    }
    const std::string name = RawText(*selected.front(), slcName);
    if (name.empty()) {
        return {}; // would name the current folder itself, which is no row's folder
    }
    const PathStyle& style = m_env.fileSystem->Style();
    // From the current folder, not the analysed one: after moving elsewhere without a new
    // analysis the row's name is looked for in the new current folder.
    const std::string folder = style.IncludeTrailingSeparator(m_currentDir) + name + style.Separator();
    return m_env.fileSystem->FolderExists(folder) ? folder : std::string();
}

void TForm1::ListView1DblClick()
{
    const std::string folder = SelectedRowFolder();
    if (!folder.empty()) {
        AnalyseNavigated(ChangeDir(folder));
    }
}

void TForm1::OpenwithExplorer1Click()
{
    const std::string folder = SelectedRowFolder();
    if (!folder.empty() && m_env.openFolder) {
        m_env.openFolder(folder); // the desktop's answer is not awaited
    }
}

} // namespace tarvo
