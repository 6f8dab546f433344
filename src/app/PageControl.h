#pragma once

#include <QWidget>

class QStackedWidget;
class QTabBar;

namespace tarvo
{

// Tabs over pages, like QTabWidget, but with the classic page control's "no active page"
// state: ActivePageIndex() may be -1, with no tab shown as selected and an empty area below.
// PageChanged is raised only when the user picks a tab, never by SetActivePageIndex.
class TPageControl : public QWidget
{
    Q_OBJECT

public:
    explicit TPageControl(QWidget* parent = nullptr);

    int AddPage(QWidget* page, const QString& caption);
    [[nodiscard]] int PageCount() const;
    [[nodiscard]] QWidget* Page(int index) const;
    [[nodiscard]] int ActivePageIndex() const { return m_active; }
    // An index outside 0..PageCount()-1 leaves no page active.
    void SetActivePageIndex(int index);
    [[nodiscard]] QTabBar* TabBar() const { return m_tabs; }

Q_SIGNALS:
    void PageChanged(int index);

private:
    QTabBar* m_tabs = nullptr;
    QStackedWidget* m_stack = nullptr;
    QWidget* m_empty = nullptr;
    int m_active = -1;
};

} // namespace tarvo
