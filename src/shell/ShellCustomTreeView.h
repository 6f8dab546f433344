#pragma once

#include <QTreeView>

namespace tarvo
{

// The tree control the folder tree builds on: a one-column tree without header whose scroll
// bars can be switched off, and whose node collection can be updated in a bracket that
// repaints once. A background picture is not offered.
class TShellCustomTreeView : public QTreeView
{
    Q_OBJECT

public:
    explicit TShellCustomTreeView(QWidget* parent = nullptr);

    [[nodiscard]] bool ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(bool scrollBars);

    // Nested brackets: the control repaints when the outermost ends.
    void BeginUpdate();
    void EndUpdate();
    [[nodiscard]] bool Updating() const { return m_updateCount > 0; }

private:
    bool m_scrollBars = true;
    int m_updateCount = 0;
};

} // namespace tarvo
