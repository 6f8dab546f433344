// The window's component tree, actions, menus and tool bar.

#include "AboutBoxDlg.h"
#include "ActionIcons.h"
#include "AnalysisStatus.h"
#include "Chart.h"
#include "DriveComboBox.h"
#include "ExplorerTreeView.h"
#include "HotEdgeButton.h"
#include "MainForm.h"
#include "PageControl.h"
#include "SystemInfo.h"
#include "TarvoApplication.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvo
{

namespace
{

    const char* const kCaption = "Tarvo from Oskavel https://oskavel.example/tarvo";

    QToolButton* ToolButton(QToolBar* bar, const char* name)
    {
        auto* button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoRaise(true);
        bar->addWidget(button);
        return button;
    }

} // namespace

void TForm1::CreateComponents()
{
    setWindowTitle(QString::fromLatin1(kCaption));
    setGeometry(225, 146, 783, 540); // the designed bounds; the settings replace them

    CreateActions();
    CreateSplitter();
    auto* panelLayout = new QHBoxLayout(Panel1);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(CreateEdgeStrip());
    panelLayout->addWidget(CreatePages(), 1);
    About = new TAboutBoxDlg(this, AboutEnvironment { MakeHostSystemInfo(*m_env.fileSystem), {} });
    CreateToolBar();
    CreateMenus();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(20);
    connect(Timer1, &QTimer::timeout, this, TarvoApplication::Guarded([this] { Timer1Timer(); }));
    Timer1->start();
}

void TForm1::CreateSplitter()
{
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(true);
    CreateDirTree();
    Panel1 = new QFrame(Splitter1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Splitter1->addWidget(DirTree);
    Splitter1->addWidget(Panel1);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({ 0, 1 }); // the folder tree starts closed
    setCentralWidget(Splitter1);
}

QWidget* TForm1::CreateEdgeStrip()
{
    Panel5 = new QFrame(Panel1);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Panel5->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel5->setFixedWidth(9);
    auto* edgeLayout = new QVBoxLayout(Panel5);
    edgeLayout->setContentsMargins(0, 0, 0, 0);
    Panel5->setAutoFillBackground(true); // the strip lights up behind the edge button
    EdgeButton1 = new THotEdgeButton(Panel5);
    EdgeButton1->setObjectName(QStringLiteral("EdgeButton1"));
    EdgeButton1->setFixedWidth(9);
    EdgeButton1->setToolTip(QStringLiteral("Click to display directory tree."));
    EdgeButton1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    EdgeButton1->OnEnter = [this](THotEdgeButton&) { EdgeButton1Enter(); };
    EdgeButton1->OnExit = [this](THotEdgeButton&) { EdgeButton1Exit(); };
    connect(EdgeButton1, &QToolButton::clicked, this, TarvoApplication::Guarded([this] { EdgeButton1Click(); }));
    edgeLayout->addWidget(EdgeButton1);
    return Panel5;
}

QWidget* TForm1::CreatePages()
{
    PageControl1 = new TPageControl(Panel1);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setToolTip(QStringLiteral(
        "Left click on Pie to visualize that folder\nRight click on Pie to open explorer in that folder"));

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    auto* listLayout = new QVBoxLayout(TabSheet1);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(0);
    ToolBar2 = new QToolBar(TabSheet1);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setFixedHeight(29);
    Label1 = new QLabel(QStringLiteral("Label1"), ToolBar2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ToolBar2->addWidget(Label1);
    listLayout->addWidget(ToolBar2);
    CreateSizeList();

    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    CreateCharts();
    const std::pair<QWidget*, int> helpContexts[] = { { DirTree, 2 }, { ListView1, 3 }, { Pies, 4 }, { Bars, 5 } };
    for (const auto& [control, context] : helpContexts)
        control->setProperty(kHelpContextProperty, context);
    PageControl1->AddPage(TabSheet1, QStringLiteral("Size List"));
    PageControl1->AddPage(TabSheet2, QStringLiteral("Bar Chart"));
    PageControl1->AddPage(TabSheet3, QStringLiteral("Pie Chart"));
    PageControl1->SetActivePageIndex(2);
    connect(PageControl1, &TPageControl::PageChanged, this,
        [this](int page) { TarvoApplication::Guard([this, page] { PageControl1Change(page); }); });
    return PageControl1;
}

void TForm1::CreateActions()
{
    const auto make
        = [this](const char* name, const char* caption, QKeySequence shortcut, int image, const char* hint) {
              auto* action = new QAction(QString::fromLatin1(caption), this);
              action->setObjectName(QString::fromLatin1(name));
              action->setShortcut(shortcut);
              if (image >= 0)
                  action->setIcon(ActionIcon(static_cast<ActionImage>(image)));
              if (hint) {
                  action->setToolTip(QString::fromLatin1(hint));
                  action->setStatusTip(QString::fromLatin1(hint));
              }
              addAction(action); // shortcuts work wherever the focus is in the window
              return action;
          };
    actBrowseDir = make("actBrowseDir", "Browse directory", Qt::Key_F7, -1, nullptr);
    actRun = make("actRun", "Run", Qt::Key_F9, aiRun, "Calclulate Size of selected directory incl. all sub dirs ");
    actPrint = make("actPrint", "Print", QKeySequence(Qt::CTRL | Qt::Key_P), aiPrint, "Print active document");
    actUpOneDir = make("actUpOneDir", "Up one dir", Qt::Key_F10, aiUp, "Up to Parent Directory");
    actO_C_DirTree = make("actO_C_DirTree", "Toggle Explorer View", Qt::Key_F11, -1, nullptr);
    actToggle3D = make("actToggle3D", "Toggle 3D", Qt::Key_F8, ai3D, nullptr);
    actSavePicture = make("actSavePicture", "Save Picture", QKeySequence(), aiSave, nullptr);
    actAbout = make("actAbout", "About Tarvo", QKeySequence(), aiAbout, nullptr);
    actHelp = make("actHelp", "Help me !", QKeySequence(), aiHelp, nullptr);
    actHint = make("actHint", "Show Hints", QKeySequence(Qt::CTRL | Qt::Key_H), -1, "Toggle Hints");
    actShowLegend = make("actShowLegend", "Show Legend", QKeySequence(), -1, nullptr);
    actShowLabels = make("actShowLabels", "Show Labels", QKeySequence(), -1, nullptr);
    Exit1 = make("Exit1", "Exit", QKeySequence(Qt::CTRL | Qt::Key_Q), -1, nullptr);
    for (QAction* checkable : { actHint, actShowLegend, actShowLabels }) {
        checkable->setCheckable(true);
        checkable->setChecked(true);
    }

    // F1 anywhere in the window: the help of the control that has the focus.
    actContextHelp = make("actContextHelp", "Help", Qt::Key_F1, -1, nullptr);

    connect(actRun, &QAction::triggered, this, TarvoApplication::Guarded([this] { actRunExecute(); }));
    connect(actToggle3D, &QAction::triggered, this, TarvoApplication::Guarded([this] { actToggle3DExecute(); }));
    connect(actPrint, &QAction::triggered, this, TarvoApplication::Guarded([this] { actPrintExecute(); }));
    connect(actSavePicture, &QAction::triggered, this, TarvoApplication::Guarded([this] { actSavePictureExecute(); }));
    connect(actHint, &QAction::triggered, this, TarvoApplication::Guarded([this] { actHintExecute(); }));
    connect(actO_C_DirTree, &QAction::triggered, this, TarvoApplication::Guarded([this] { actO_C_DirTreeExecute(); }));
    connect(actBrowseDir, &QAction::triggered, this, TarvoApplication::Guarded([this] { actBrowseDirExecute(); }));
    connect(actAbout, &QAction::triggered, this, TarvoApplication::Guarded([this] { actAboutExecute(); }));
    connect(actHelp, &QAction::triggered, this, TarvoApplication::Guarded([this] { actHelpExecute(); }));
    connect(actContextHelp, &QAction::triggered, this, TarvoApplication::Guarded([this] { ShowContextHelp(); }));
    connect(actShowLegend, &QAction::triggered, this, TarvoApplication::Guarded([this] { actShowLegendExecute(); }));
    connect(actShowLabels, &QAction::triggered, this, TarvoApplication::Guarded([this] { actShowLabelsExecute(); }));
    connect(actUpOneDir, &QAction::triggered, this, TarvoApplication::Guarded([this] { actUpOneDirExecute(); }));
    connect(Exit1, &QAction::triggered, this, TarvoApplication::Guarded([this] { Exit1Click(); }));
}

void TForm1::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->addAction(actBrowseDir);
    file->addAction(actO_C_DirTree);
    file->addAction(actUpOneDir);
    file->addSeparator();
    file->addAction(actRun);
    file->addSeparator();
    file->addAction(actPrint);
    file->addSeparator();
    file->addAction(Exit1);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("Tools"));
    tools->addAction(actToggle3D);
    tools->addAction(actHint);
    tools->addAction(actShowLegend);
    tools->addAction(actShowLabels);
    tools->addSeparator();
    tools->addAction(actSavePicture);
    CreateHistory(*tools);

    QMenu* about = menuBar()->addMenu(QStringLiteral("About"));
    about->addAction(actAbout);
    about->addSeparator();
    about->addAction(actHelp);
}

void TForm1::CreateToolBar()
{
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);

    OneUp = ToolButton(ToolBar1, "OneUp");
    OneUp->setDefaultAction(actUpOneDir);
    RunBut = ToolButton(ToolBar1, "RunBut");
    RunBut->setDefaultAction(actRun);
    ToolBar1->addSeparator();

    CreateDriveSelector();
    ToolBar1->addWidget(drive);
    ToolBar1->addSeparator();

    Move = ToolButton(ToolBar1, "Move");
    Move->setCheckable(true);
    Move->setToolTip(QStringLiteral("Rotate"));
    Move->setIcon(ActionIcon(aiRotate));
    FreeSpaceButt = ToolButton(ToolBar1, "FreeSpaceButt");
    FreeSpaceButt->setCheckable(true);
    FreeSpaceButt->setToolTip(QStringLiteral("Including Free Space"));
    FreeSpaceButt->setIcon(ActionIcon(aiFreeSpace));
    // A check button with a down state of its own: a click flips it and runs "Toggle 3D", which
    // from the menu or F8 leaves the button as it is.
    Butt3D = ToolButton(ToolBar1, "Butt3D");
    Butt3D->setCheckable(true);
    Butt3D->setIcon(actToggle3D->icon());
    Butt3D->setToolTip(actToggle3D->text());
    connect(Butt3D, &QToolButton::clicked, actToggle3D, &QAction::trigger);
    connect(actToggle3D, &QAction::changed, Butt3D, [this] { Butt3D->setEnabled(actToggle3D->isEnabled()); });
    ToolBar1->addSeparator();
    ToolButton5 = ToolButton(ToolBar1, "ToolButton5");
    ToolButton5->setDefaultAction(actSavePicture);
    ToolBar1->addSeparator();
    // Beyond the design's buttons, where every page sees it without a click.
    AnalysisStatus = new TAnalysisStatus(m_env.formatSettings, ToolBar1);
    ToolBar1->addWidget(AnalysisStatus);
}

} // namespace tarvo
