#include "ShellCustomTreeView.h"

#include <QHeaderView>

namespace tarvo
{

TShellCustomTreeView::TShellCustomTreeView(QWidget* parent)
    : QTreeView(parent)
{
    setHeaderHidden(true);
    // Every row is one line of text beside a small icon: the view may lay out 10,000 rows
    // without measuring each one.
    setUniformRowHeights(true);
    setAnimated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void TShellCustomTreeView::SetScrollBars(bool scrollBars)
{
    if (scrollBars == m_scrollBars)
        return;
    m_scrollBars = scrollBars;
    const Qt::ScrollBarPolicy policy = scrollBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
}

void TShellCustomTreeView::BeginUpdate()
{
    if (m_updateCount++ == 0)
        setUpdatesEnabled(false);
}

void TShellCustomTreeView::EndUpdate()
{
    if (m_updateCount > 0 && --m_updateCount == 0)
        setUpdatesEnabled(true);
}

} // namespace tarvo
