#pragma once

#include <Qt>

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

} // namespace tarvo
