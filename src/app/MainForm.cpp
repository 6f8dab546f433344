#include "MainForm.h"

#include "AnalysisStatus.h"
#include "ExplorerTreeView.h"
#include "FolderCheck.h"
#include "FormHistory.h"
#include "IniStuff.h"
#include "KeptTotals.h"
#include "PageControl.h"
#include "PathDialog.h"
#include "PathText.h"
#include "ScanRunner.h"
#include "ShellOpen.h"
#include "TarvoApplication.h"
#include "WaitCursor.h"
#include "bar/BarSeries.h"
#include "pie/PieSeries.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace tarvo
{

namespace
{

    // The slice palette: entry i of an analysis gets colour i mod 16 (0x00BBGGRR).
    constexpr std::array<std::uint32_t, 16> kPalette = {
        0xFFFFFF,
        0x800000,
        0xFF0000,
        0x800080,
        0x000080,
        0x0000FF,
        0xFF00FF,
        0x808080,
        0x808000,
        0x008000,
        0x00FF00,
        0x008080,
        0x00FFFF,
        0xC0C0C0,
        0xC0C0C0,
        0x808080,
    };

    const char* const kBounds = "Bounds";
    const char* const kPage = "Page";
    const char* const kLastDir = "LastDir";
    const char* const kStartWith = "Start with";
    const char* const kSizeList = "SizeList";
    const char* const kSortColumn = "SortColumn";
    const char* const kSortAscending = "SortAscending";

    [[nodiscard]] ProfileFileIo& SettingsIo(const MainFormEnvironment& env)
    {
        return env.settingsIo ? *env.settingsIo : HostProfileFileIo();
    }

    [[nodiscard]] SettingsPlace ChooseSettings(const MainFormEnvironment& env)
    {
        ProfileFileIo& io = SettingsIo(env);
        if (!env.settingsFileName.empty())
            return CheckSettingsPlace(env.settingsFileName, io);
        if (env.executableFolder.empty() && env.userConfigFolder.empty())
            return ChooseSettingsPlace(io);
        return ChooseSettingsPlace(env.executableFolder, env.userConfigFolder, {}, io);
    }

} // namespace

TForm1::TForm1(MainFormEnvironment environment, QWidget* parent)
    : QMainWindow(parent)
    , m_env(std::move(environment))
{
    if (!m_env.fileSystem)
        throw std::invalid_argument("TForm1 needs a file system");
    if (!m_env.openFolder)
        m_env.openFolder = [](const std::string& path) { ShellOpenFolder(path); };
    m_probe = std::make_unique<FolderProbe>(*m_env.fileSystem, m_env.probeLimit);
    CreateComponents();
    FormCreate();
}

TForm1::~TForm1()
{
    if (m_destroyed)
        return;
    // A window destroyed without being closed still keeps its settings; a destructor must not
    // throw, so a refused write is shown instead.
    try {
        FormDestroy();
    } catch (const std::exception& error) {
        TarvoApplication::ShowException(QString::fromStdString(error.what()));
    }
}

void TForm1::FormCreate()
{
    // Chosen once per run: a place that cannot be used is said once, in the window, and a run
    // without any place starts with the defaults and writes nothing.
    const SettingsPlace place = ChooseSettings(m_env);
    m_settingsFile = place.fileName;
    if (!place.message.empty())
        TarvoApplication::ShowException(QString::fromStdString(place.message));
    m_dirSize = std::make_unique<TDirSize>(*m_env.fileSystem, m_env.formatSettings);
    m_runner = std::make_unique<ScanRunner>(this);
    CreateFolderCheck();

    m_currentDir = DefaultFolder();
    ShowCurrentDir();
    DirTree->SetSelectedPath(DefaultFolder());
    m_palette = kPalette;

    // Applied as read, each value at once: left, width, top, height.
    const std::string file = SettingsFile();
    ProfileFileIo& io = SettingsIo(m_env);
    move(ReadIniInteger(file, kBounds, "left", 0, io), y());
    resize(ReadIniInteger(file, kBounds, "width", 600, io), height());
    move(x(), ReadIniInteger(file, kBounds, "top", 0, io));
    resize(width(), ReadIniInteger(file, kBounds, "height", 500, io));

    // The size list's order, which the charts follow too; none (scan order) unless remembered.
    const int sortColumn = ReadIniInteger(file, kSizeList, kSortColumn, -1, io);
    m_sortColumn = sortColumn >= 0 && sortColumn < ListView1->columnCount() ? sortColumn : -1;
    m_sortAscending = ReadIniInteger(file, kSizeList, kSortAscending, 1, io) != 0;

    const int page = ReadIniInteger(file, kPage, "TabSheet", 0, io);
    PageControl1->SetActivePageIndex(page);
    if (page != 2)
        Move->setEnabled(false);

    std::string startFolder;
    ReadIniString(file, kLastDir, kStartWith, startFolder, DefaultFolder(), io);
    // The system reads a name only up to a NUL, so a value holding one would stand for another
    // folder than it shows: it names no folder, and the fallback applies.
    if (startFolder.find('\0') != std::string::npos)
        startFolder = FallbackFolder();
    try {
        ChangeDir(startFolder);
    } catch (const std::runtime_error& error) {
        // The last folder's volume is offline: the program still starts, in its default folder.
        TarvoApplication::ShowException(QString::fromUtf8(error.what()));
    }
}

void TForm1::FormDestroy()
{
    m_destroyed = true;
    if (SettingsFile().empty())
        return; // the start-up said why nothing can be kept
    // One batch: a kill during the write leaves the old file or the new one, never a part.
    IniWriteBatch batch;
    batch.WriteInteger(kBounds, "left", x());
    batch.WriteInteger(kBounds, "width", width());
    batch.WriteInteger(kBounds, "top", y());
    batch.WriteInteger(kBounds, "height", height());
    batch.WriteInteger(kPage, "TabSheet", PageControl1->ActivePageIndex());
    batch.WriteString(kLastDir, kStartWith, m_currentDir);
    // Only a chosen order is kept: the file of a user who never sorts stays as it always was.
    if (m_sortColumn >= 0) {
        batch.WriteInteger(kSizeList, kSortColumn, m_sortColumn);
        batch.WriteInteger(kSizeList, kSortAscending, m_sortAscending ? 1 : 0);
    }
    batch.Commit(SettingsFile(), SettingsIo(m_env));
}

void TForm1::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (!m_destroyed)
        FormDestroy(); // a refused write reaches the application's handler; the window still closes
}

std::string TForm1::DefaultFolder() const
{
    return m_env.fileSystem->Style().GetKind() == PathStyle::pkWindows ? "C:\\" : "/";
}

std::string TForm1::FallbackFolder() const
{
    return m_env.fileSystem->Style().GetKind() == PathStyle::pkWindows ? "c:\\" : "/";
}

std::string TForm1::ChangeDir(const std::string& path)
{
    if (IsFolder(path)) {
        m_currentDir = path; // exactly as given: no separator is added or removed
        ShowCurrentDir();
        SyncNavigationControls(m_currentDir);
    } else if (path.empty() || IsFolder(m_env.fileSystem->Style().IncludeTrailingSeparator(path))) {
        // An empty path (a lone separator: the current volume's root) or "C:" changes nothing.
    } else {
        m_currentDir = FallbackFolder();
        ShowCurrentDir();
        SyncNavigationControls(m_currentDir);
    }
    return m_currentDir;
}

bool TForm1::IsFolder(const std::string& path)
{
    switch (m_probe->IsFolder(path)) {
    case paFolder:
        return true;
    case paNoFolder:
        return false;
    case paNoAnswer:
        break;
    }
    throw std::runtime_error("The folder \"" + path + "\" does not answer; its volume may be offline.");
}

std::string TForm1::ParentDir(const std::string& path) const
{
    const PathStyle& style = m_env.fileSystem->Style();
    // Under drive letters anything up to "C:\" is a root; elsewhere only the top of the tree
    // is, so that "Up one dir" climbs out of a mount point such as /home.
    const bool windows = style.GetKind() == PathStyle::pkWindows;
    if (path.empty() || (windows ? path.size() <= 3 : style.IsRoot(path)))
        return path;
    std::string parent = path;
    if (style.IsSeparator(parent.back()))
        parent.pop_back();
    std::size_t cut = std::string::npos;
    for (std::size_t i = parent.size(); i-- > 0;) {
        if (style.IsSeparator(parent[i]) || (windows && parent[i] == ':')) {
            cut = i;
            break;
        }
    }
    parent.resize(cut == std::string::npos ? 0 : cut + 1);
    return style.IncludeTrailingSeparator(parent);
}

bool TForm1::Analyse(const std::string& path)
{
    WaitCursor hourglass;
    StopCheck();
    m_dirSize->Folder = path;
    m_dirSize->IncludeFreeSpace = FreeSpaceButt->isChecked();
    if (!m_runner->Run(*m_dirSize))
        return false; // cancelled: the previous analysis stays on screen
    ShowScanned();
    AnalysisCompleted(*m_dirSize);
    return true;
}

void TForm1::ShowScanned(bool inPlace)
{
    FillSizeList(m_dirSize->PathList, m_dirSize->MBList, m_dirSize->KBList);
    m_shown.folderCount = m_dirSize->SubfolderCount;
    FillChartsInListOrder(inPlace);
    AnalysisStatus->ShowUnread(m_dirSize->UnreadCount, m_dirSize->UnreadFolders);
    if (!inPlace)
        m_analysedDir = m_currentDir;
}

void TForm1::ShowCurrentDir() { Label1->setText(PathToDisplay(m_currentDir)); }

void TForm1::actRunExecute() { Analyse(m_currentDir); }

void TForm1::actUpOneDirExecute() { AnalyseNavigated(ChangeDir(ParentDir(m_currentDir))); }

void TForm1::Exit1Click() { close(); }

} // namespace tarvo
