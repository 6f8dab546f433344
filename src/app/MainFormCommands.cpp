// The window's remaining commands: printing and saving the visible chart, tool tips on and
// off, and opening and closing the folder tree.

#include "AboutBoxDlg.h"
#include "Chart.h"
#include "ChartPicture.h"
#include "HelpWindow.h"
#include "HotEdgeButton.h"
#include "MainForm.h"
#include "PageControl.h"
#include "SystemPaths.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPalette>
#include <QSplitter>
#include <QStringList>

namespace tarvo
{

namespace
{

    // Narrower than this the tree counts as closed; the first opening of a run gives it the
    // default width.
    constexpr int kClosedTreeWidth = 9;
    constexpr int kFirstTreeWidth = 170;
    constexpr int kOpenSplitterWidth = 4;

} // namespace

TChart* TForm1::VisibleChart() const
{
    switch (PageControl1->ActivePageIndex()) {
    case 1:
        return Bars;
    case 2:
        return Pies;
    default:
        return nullptr;
    }
}

void TForm1::actPrintExecute()
{
    if (TChart* chart = VisibleChart())
        chart->PrintChart();
}

void TForm1::actSavePictureExecute() { SavePicture(); }

void TForm1::SavePicture()
{
    TChart* chart = VisibleChart();
    if (chart == nullptr)
        return;
    QFileDialog dialog(this, QStringLiteral("Save Picture"));
    // Qt's own dialog: the same on every desktop, and one that asks before replacing a file,
    // also when the name was completed with the extension.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Pictures of one session usually go to one place: where the last one went, else home.
    dialog.setDirectory(m_pictureFolder.isEmpty() ? QString::fromStdString(HomeFolder()) : m_pictureFolder);
    QStringList filters;
    for (const TPictureFilter& filter : kPictureFilters)
        filters << QString::fromLatin1(filter.filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QString::fromLatin1(kPictureFilters.front().suffix));
    const auto chosenFilter = [&dialog] {
        for (const TPictureFilter& filter : kPictureFilters)
            if (dialog.selectedNameFilter() == QLatin1String(filter.filter))
                return filter;
        return kPictureFilters.front();
    };
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
        [&] { dialog.setDefaultSuffix(QString::fromLatin1(chosenFilter().suffix)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString fileName = dialog.selectedFiles().constFirst();
    SaveChartPicture(*chart, fileName, PictureFormatFor(fileName, chosenFilter().format));
    m_pictureFolder = QFileInfo(fileName).absolutePath();
}

void TForm1::actHintExecute()
{
    const bool show = !m_showHints;
    m_showHints = show;
    actHint->setChecked(show);
    // Only while tips are off does every tool tip of the application pass by the window.
    if (show)
        qApp->removeEventFilter(this);
    else
        qApp->installEventFilter(this);
}

bool TForm1::SwallowsToolTip(QObject* watched) const
{
    const auto* widget = qobject_cast<const QWidget*>(watched);
    // The pie chart keeps its own two-line hint whatever the window says; other windows keep
    // theirs too.
    return widget != nullptr && widget->window() == this && widget != Pies && !Pies->isAncestorOf(widget);
}

void TForm1::ToggleDirTree()
{
    QList<int> sizes = Splitter1->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (sizes.value(0) < kClosedTreeWidth) {
        if (m_treeWidth < kClosedTreeWidth)
            m_treeWidth = kFirstTreeWidth;
        Splitter1->setHandleWidth(kOpenSplitterWidth);
        Splitter1->setSizes({ m_treeWidth, std::max(0, total - m_treeWidth) });
    } else {
        m_treeWidth = sizes.value(0); // as wide as the user dragged it
        Splitter1->setSizes({ 0, total });
        Splitter1->setHandleWidth(0);
    }
}

void TForm1::actO_C_DirTreeExecute() { ToggleDirTree(); }

void TForm1::EdgeButton1Enter()
{
    Panel5->setPalette(QPalette(QPalette::Window, palette().color(QPalette::Highlight)));
}

void TForm1::EdgeButton1Exit() { Panel5->setPalette(QPalette(QPalette::Window, palette().color(QPalette::Button))); }

void TForm1::ShowHelp(const QString& anchor)
{
    if (HelpWindow == nullptr)
        HelpWindow
            = new THelpWindow(this, m_env.helpFilePlaces.empty() ? DefaultHelpFilePlaces() : m_env.helpFilePlaces);
    HelpWindow->ShowTopic(anchor);
}

void TForm1::actHelpExecute() { ShowHelp(THelpWindow::ContextAnchor(0)); }

void TForm1::ShowContextHelp()
{
    int context = 0;
    for (const QWidget* widget = QApplication::focusWidget(); widget != nullptr && context == 0;
         widget = widget->parentWidget())
        context = widget->property(kHelpContextProperty).toInt();
    ShowHelp(THelpWindow::ContextAnchor(context));
}

void TForm1::actAboutExecute()
{
    About->SetComments(
        QStringLiteral("Tarvo shows where the space on a disk goes: pick a folder or a volume, press Run, and "
                       "every subfolder's total appears in the size list, the bar chart and the pie.\n\n"
                       "In Tarvo a left click on a bar or a slice analyses that folder and a right click opens "
                       "it in the file manager; the folder tree, the volume list and Up one dir move around.\n\n"
                       "Tarvo only reads your disks. The one file it writes is its settings file, and a picture "
                       "or a print when you ask for one."));
    About->Execute();
}

void TForm1::EdgeButton1Click() { ToggleDirTree(); }

} // namespace tarvo
