#pragma once

#include "DirSize.h"
#include "FileSystem.h"
#include "FolderProbe.h"
#include "FormatSettings.h"
#include "series/ChartSeriesTypes.h"

#include <QMainWindow>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QSplitter;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace tarvo
{

class TAboutBoxDlg;
class TFolderCheck;
class TKeptTotals;
class TAnalysisStatus;
class TBarSeries;
class THelpWindow;
class THotEdgeButton;
class TChart;
class TChartSeries;
class TDriveComboBox;
class TPathDialog;
class TCustomChart;
class TExplorerTreeView;
class TPageControl;
class TPieSeries;
class TShellNamespace;
class ProfileFileIo;
class ScanRunner;
class HistoryRecorder;
struct TFormHistory;
struct EntryChanges;

// What the main window needs from its surroundings; tests replace each piece.
struct MainFormEnvironment {
    FileSystem* fileSystem = nullptr; // required; the window never owns it
    std::string settingsFileName; // the settings file; empty: ChooseSettingsPlace() chooses
    // The folders ChooseSettingsPlace chooses between; empty: the executable's and the user's.
    std::string executableFolder;
    std::string userConfigFolder;
    ProfileFileIo* settingsIo = nullptr; // the settings file's system calls; nullptr: the host's
    FormatSettings formatSettings = FormatSettings::FromUserLocale();
    // Where the help file is looked for; empty: beside the executable, then the data folders.
    std::vector<std::string> helpFilePlaces;
    // Opens a folder in the desktop's file manager (raw path bytes). Default: ShellOpenFolder.
    std::function<void(const std::string& path)> openFolder;
    // The folder the tree shows as Home. Default: HomeFolder().
    std::string homeFolder;
    // How long a folder test may take before its volume counts as not answering.
    std::chrono::milliseconds probeLimit = FolderProbe::kDefaultLimit;
    // Where the history of analyses is kept (DefaultHistoryFileName() for the program); empty:
    // nothing is recorded and the "Change" column stays empty.
    std::string historyFileName;
};

// The main window: tool bar, pages "Size List" / "Bar Chart" / "Pie Chart", the current folder
// above the list, the folder tree slot and the edge strip. Navigation changes the current
// folder; only an analysis runs the scanner and changes the analysed folder.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    // The widget property that holds a control's help context (its section of the help file).
    static constexpr const char* kHelpContextProperty = "helpContext";

    explicit TForm1(MainFormEnvironment environment, QWidget* parent = nullptr);
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Makes path the current folder when it names one, else falls back; never analyses.
    std::string ChangeDir(const std::string& path);
    // The parent folder with a trailing separator; a root is returned unchanged.
    [[nodiscard]] std::string ParentDir(const std::string& path) const;
    // Runs one analysis of path and shows it. Returns false when the user cancelled it (the
    // previous analysis then stays on screen).
    bool Analyse(const std::string& path);
    // The analysis a click, a double click or Up one dir asks for: a folder inside a kept
    // analysis is shown from memory at once and then checked against the disk in the background
    // (MainFormKept.cpp); any other folder is analysed as Run does.
    bool AnalyseNavigated(const std::string& path);
    // A check of the shown folder against the disk is running.
    [[nodiscard]] bool Checking() const;
    [[nodiscard]] TKeptTotals& KeptTotals() { return *m_kept; }
    // Moves the navigation controls that exist to the current folder.
    void SyncNavigationControls(const std::string& path);

    // The folder tree (MainFormNavigation.cpp).
    void DirTreeClick();
    void DirTreeDblClick();
    // The user picked a volume: its root becomes the current folder (no analysis).
    void driveChange();
    // F7: the browse dialog at the current folder; a confirmed folder becomes current.
    void actBrowseDirExecute();

    void actRunExecute();
    void actUpOneDirExecute();
    void Exit1Click();

    // Size list.
    void FillSizeList(const std::vector<std::string>& paths, const std::vector<std::string>& mbs,
        const std::vector<std::string>& kbs);
    void ListView1ColumnClick(int column);
    void ListView1DblClick();
    void OpenwithExplorer1Click();
    [[nodiscard]] int SortCompare(const QTreeWidgetItem& item1, const QTreeWidgetItem& item2) const;

    // History (MainFormHistory.cpp). An analysis of scan.Folder completed and its lists are in
    // the size list: it is recorded and the "Change" column compares it with an earlier one.
    // Every completed analysis calls this once, after FillSizeList with the same lists. Never
    // raises: a history that cannot be kept costs the analysis nothing.
    void AnalysisCompleted(const TDirSize& scan);
    // "Tools" > "Compare with": an earlier analysis by its id, or nothing (nullopt).
    void CompareWithClick(std::optional<std::int64_t> analysisId);
    // The history's thread; null when the environment names no history file.
    [[nodiscard]] HistoryRecorder* History() const;

    // Charts (MainFormCharts.cpp). FillCharts takes the scanner's paths and MB texts; the first
    // folderCount entries are subfolders, the rest pseudo-entries. Every text is parsed before
    // a chart changes: a bad text or lists of unequal length raise and leave both charts alone.
    void FillCharts(
        const std::vector<std::string>& paths, const std::vector<std::string>& values, std::size_t folderCount);
    void BarsClickSeries(TCustomChart& sender, TChartSeries& series, int valueIndex, TMouseButton button,
        TShiftState shift, int x, int y);
    void PiesClickSeries(TCustomChart& sender, TChartSeries& series, int valueIndex, TMouseButton button,
        TShiftState shift, int x, int y);
    // Left: analyse the folder; right: open it in the file manager; other buttons: nothing.
    void OpenClickedDir(const std::string& path, TMouseButton button);
    // Called every 20 ms by Timer1; turns the pie while "Rotate" is down.
    void Timer1Timer();
    void PageControl1Change(int page);
    void actToggle3DExecute();
    void actShowLegendExecute();
    void actShowLabelsExecute();

    // Commands (MainFormCommands.cpp). Print and Save Picture act on the visible chart and do
    // nothing on the size list; their failures raise, with a message for the user.
    void actPrintExecute();
    void actSavePictureExecute();
    void SavePicture();
    void actHintExecute();
    // Opens the folder tree (170 pixels the first time, later as wide as it was) or closes it.
    void ToggleDirTree();
    void actO_C_DirTreeExecute();
    void EdgeButton1Click();
    void EdgeButton1Enter();
    void EdgeButton1Exit();
    // Help opens at its contents; F1 at the section of the focused control's help context.
    void actHelpExecute();
    void ShowContextHelp();
    void actAboutExecute();
    [[nodiscard]] int TreeWidth() const { return m_treeWidth; }

    [[nodiscard]] const std::string& CurrentDir() const { return m_currentDir; }
    [[nodiscard]] const std::string& AnalysedDir() const { return m_analysedDir; }
    [[nodiscard]] TDirSize& DirSize() { return *m_dirSize; }
    [[nodiscard]] ScanRunner& Runner() { return *m_runner; }
    [[nodiscard]] const std::array<std::uint32_t, 16>& Palette() const { return m_palette; }
    [[nodiscard]] int SortColumn() const { return m_sortColumn; }
    [[nodiscard]] bool SortAscending() const { return m_sortAscending; }
    // The folder the program starts in and falls back to: "C:\" / "c:\" under drive letters,
    // the system volume's root ("/") here.
    [[nodiscard]] std::string DefaultFolder() const;
    [[nodiscard]] std::string FallbackFolder() const;

    // Components, under their design names.
    QSplitter* Splitter1 = nullptr;
    TExplorerTreeView* DirTree = nullptr; // closed (width 0) at start; the splitter drags it open
    QFrame* Panel1 = nullptr;
    TPageControl* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QLabel* Label1 = nullptr;
    TChart* Bars = nullptr;
    TBarSeries* BarSerie = nullptr;
    TChart* Pies = nullptr;
    TPieSeries* DiscoSerie = nullptr;
    QFrame* Panel5 = nullptr;
    THotEdgeButton* EdgeButton1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* OneUp = nullptr;
    QToolButton* RunBut = nullptr;
    TDriveComboBox* drive = nullptr;
    TPathDialog* PD = nullptr;
    QToolButton* Move = nullptr;
    QToolButton* FreeSpaceButt = nullptr;
    QToolButton* Butt3D = nullptr;
    QToolButton* ToolButton5 = nullptr;
    TAnalysisStatus* AnalysisStatus = nullptr; // unread folders and the check in progress
    QTimer* Timer1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* CompareWith = nullptr; // "Tools" > "Compare with"
    QAction* OpenwithExplorer1 = nullptr;

    QAction* actBrowseDir = nullptr;
    QAction* actRun = nullptr;
    QAction* actPrint = nullptr;
    QAction* actUpOneDir = nullptr;
    QAction* actO_C_DirTree = nullptr;
    QAction* actToggle3D = nullptr;
    QAction* actSavePicture = nullptr;
    QAction* actAbout = nullptr;
    QAction* actHelp = nullptr;
    QAction* actHint = nullptr;
    QAction* actShowLegend = nullptr;
    QAction* actShowLabels = nullptr;
    QAction* Exit1 = nullptr;
    QAction* actContextHelp = nullptr;
    TAboutBoxDlg* About = nullptr;
    THelpWindow* HelpWindow = nullptr; // made at the first request for help

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void CreateComponents(); // MainFormLayout.cpp
    void CreateSplitter(); // MainFormLayout.cpp: the folder tree beside Panel1
    QWidget* CreateEdgeStrip(); // MainFormLayout.cpp: the strip that opens the tree
    QWidget* CreatePages(); // MainFormLayout.cpp: the size list's and the charts' pages
    void CreateActions(); // MainFormLayout.cpp
    void CreateMenus(); // MainFormLayout.cpp
    void CreateToolBar(); // MainFormLayout.cpp
    void CreateSizeList(); // MainFormSizeList.cpp
    void CreateCharts(); // MainFormCharts.cpp
    void CreateDirTree(); // MainFormNavigation.cpp
    void CreateDriveSelector(); // MainFormNavigation.cpp
    // The probe's answer; a volume that does not answer raises, with a message for the user.
    [[nodiscard]] bool IsFolder(const std::string& path);
    // The folder a click on point index of a chart means, or nothing for a point without an entry.
    [[nodiscard]] std::optional<std::string> ClickedFolder(int index) const;
    void ChartClicked(const TChartSeries& series, TMouseButton button, TShiftState shift, int x, int y);
    // The chart of the active page; none on the size list.
    [[nodiscard]] TChart* VisibleChart() const;
    // While tips are off: a tool tip of this window outside the pie chart.
    [[nodiscard]] bool SwallowsToolTip(QObject* watched) const;
    [[nodiscard]] const std::string& SettingsFile() const { return m_settingsFile; }
    void ShowCurrentDir();
    void ShowHelp(const QString& anchor);
    [[nodiscard]] std::string SelectedRowFolder() const; // MainFormSizeList.cpp
    // Puts the rows in the order of the active sort; none before the first header click.
    void SortRows(); // MainFormSizeList.cpp
    // Fills both charts with the shown analysis in the size list's order (MainFormSizeList.cpp);
    // in place keeps the titles, the zoom and the turn of the pie.
    void FillChartsInListOrder(bool inPlace = false);
    // FillCharts that, in place, keeps the titles and the zoom (MainFormCharts.cpp).
    void FillCharts(const std::vector<std::string>& paths, const std::vector<std::string>& values,
        const std::vector<bool>& folders, bool inPlace);
    // Puts the points in the charts (MainFormCharts.cpp).
    void FillChartPoints(
        const std::vector<std::string>& paths, const std::vector<double>& sizes, const std::vector<bool>& folders);
    // Shows the scanner's lists as the analysis of the current folder; in place, as a newer
    // reading of the analysis on screen (FillChartsInListOrder).
    void ShowScanned(bool inPlace = false);
    // MainFormKept.cpp.
    void CreateFolderCheck();
    void StopCheck();
    void FolderChecked(const TDirSize& fresh);
    void CheckedFolderGone(const std::string& folder);
    void CreateHistory(QMenu& tools); // MainFormHistory.cpp, as the rest below
    // The Change column for the analysis shown, and its record in the history unless it came
    // from the kept totals (their check records it).
    void CompareWithHistory(const TDirSize& scan, bool record);
    // Records the analysis shown once more: a check found the disk as shown.
    void RecordShownAgain();
    void ApplyComparison();
    void ShowChanges(const EntryChanges& changes);
    void FillCompareWithMenu(std::optional<std::size_t> compared);

    // What each chart point stands for: the entry's path bytes (the charts show only its name)
    // and whether it is a subfolder or a pseudo-entry.
    struct ChartEntry {
        std::string path;
        bool folder = false;
    };

    MainFormEnvironment m_env;
    std::unique_ptr<TDirSize> m_dirSize;
    // Folder totals of recent analyses, and the check of a folder shown from them; the check
    // goes first, as its thread may still use the totals.
    std::unique_ptr<TKeptTotals> m_kept;
    std::unique_ptr<TFolderCheck> m_check;
    // The series leave their charts before the charts go (members go before child widgets).
    std::unique_ptr<TBarSeries> m_barSerie;
    std::unique_ptr<TPieSeries> m_discoSerie;
    std::vector<ChartEntry> m_chartEntries;
    // The analysis on screen as the scanner gave it, in scan order; each row of the size list
    // keeps the index of its entry here, so the charts can follow the list's order.
    struct ShownAnalysis {
        std::vector<std::string> paths;
        std::vector<std::string> mbs;
        std::size_t folderCount = 0;
    };
    ShownAnalysis m_shown;
    std::unique_ptr<ScanRunner> m_runner;
    std::unique_ptr<TFormHistory> m_history;
    std::shared_ptr<TShellNamespace> m_shell; // the folder tree's namespace
    std::unique_ptr<TPathDialog> m_pathDialog;
    std::unique_ptr<FolderProbe> m_probe; // folder tests that a dead volume cannot stall
    bool m_syncingDrive = false; // the window itself moves the drive selector
    std::array<std::uint32_t, 16> m_palette {};
    std::string m_settingsFile; // chosen once (a place that cannot be used is said once); empty: none
    std::string m_currentDir;
    std::string m_analysedDir;
    int m_treeWidth = 0;
    QString m_pictureFolder; // where the last picture of this run was saved
    bool m_showHints = true;
    int m_sortColumn = -1;
    bool m_sortAscending = true;
    bool m_destroyed = false; // FormDestroy ran (settings written)
};

} // namespace tarvo
