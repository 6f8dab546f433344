#pragma once

#include "DirSize.h"
#include "FileSystem.h"
#include "FormatSettings.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
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

class TExplorerTreeView;
class TPageControl;
class TShellNamespace;
class ScanRunner;

// What the main window needs from its surroundings; tests replace each piece.
struct MainFormEnvironment {
    FileSystem* fileSystem = nullptr; // required; the window never owns it
    std::string settingsFileName; // the settings file; empty: SettingsFileName()
    FormatSettings formatSettings = FormatSettings::FromUserLocale();
    // Opens a folder in the desktop's file manager (raw path bytes). Default: ShellOpenFolder.
    std::function<void(const std::string& path)> openFolder;
    // The folder the tree shows as Home. Default: HomeFolder().
    std::string homeFolder;
};

// The main window: tool bar, pages "Size List" / "Bar Chart" / "Pie Chart", the current folder
// above the list, the folder tree slot and the edge strip. Navigation changes the current
// folder; only an analysis runs the scanner and changes the analysed folder.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
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
    // Moves the navigation controls that exist to the current folder.
    void SyncNavigationControls(const std::string& path);

    // The folder tree (MainFormNavigation.cpp).
    void DirTreeClick();
    void DirTreeDblClick();

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

    // Called every 20 ms by Timer1; turns the pie while "Rotate" is down (once a pie exists).
    void Timer1Timer();
    void PageControl1Change(int page);

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

    // Hooked by the pie chart when it arrives: one call per tick, argument the degrees.
    std::function<void(int degrees)> RotatePie;

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
    QFrame* Panel5 = nullptr;
    QToolButton* EdgeButton1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* OneUp = nullptr;
    QToolButton* RunBut = nullptr;
    QWidget* drive = nullptr; // the drive selector's place
    QToolButton* Move = nullptr;
    QToolButton* FreeSpaceButt = nullptr;
    QToolButton* Butt3D = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QTimer* Timer1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void CreateComponents(); // MainFormLayout.cpp
    void CreateActions(); // MainFormLayout.cpp
    void CreateMenus(); // MainFormLayout.cpp
    void CreateToolBar(); // MainFormLayout.cpp
    void CreateSizeList(); // MainFormSizeList.cpp
    void CreateDirTree(); // MainFormNavigation.cpp
    [[nodiscard]] std::string SettingsFile() const;
    void ShowCurrentDir();
    [[nodiscard]] std::string SelectedRowFolder() const; // MainFormSizeList.cpp

    MainFormEnvironment m_env;
    std::unique_ptr<TDirSize> m_dirSize;
    std::unique_ptr<ScanRunner> m_runner;
    std::shared_ptr<TShellNamespace> m_shell; // the folder tree's namespace
    std::array<std::uint32_t, 16> m_palette {};
    std::string m_currentDir;
    std::string m_analysedDir;
    int m_treeWidth = 0;
    int m_sortColumn = -1;
    bool m_sortAscending = true;
    bool m_destroyed = false; // FormDestroy ran (settings written)
};

} // namespace tarvo
