#pragma once

#include "PathText.h"

#include <QTreeWidgetItem>
#include <Qt>

#include <string>

namespace tarvo
{

// The size list's columns, left to right; "Change" (the difference from an earlier analysis)
// comes after the four of the scanner's lists.
enum SizeListColumn { slcName, slcMB, slcKB, slcFullPath, slcChange, slcCount };

// Every cell keeps the bytes it was made from: names and paths that are not UTF-8 show
// replacement characters, but sorting and drilling in work on the real bytes. A "Change" cell
// keeps its difference in bytes as a decimal number ("-1048576"), empty when there is none.
constexpr int kRawTextRole = Qt::UserRole;
// On the name cell: the index of the row's entry in the analysis shown (scan order), or
// kGoneRow for the row of an earlier entry that is no longer there.
constexpr int kEntryIndexRole = Qt::UserRole + 1;
constexpr int kGoneRow = -1;

// Fills a cell: text as shown, raw as kept for sorting and drilling in.
inline void SetCell(QTreeWidgetItem& item, int column, const std::string& text, const std::string& raw)
{
    item.setText(column, PathToDisplay(text));
    item.setData(column, kRawTextRole, PathToBytes(raw));
}
inline void SetCell(QTreeWidgetItem& item, int column, const std::string& text) { SetCell(item, column, text, text); }

} // namespace tarvo
