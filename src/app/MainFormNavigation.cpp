// The window's navigation controls: the folder tree, the drive selector and the browse dialog,
// each following the current folder and turning the user's choices into navigation.

#include "DriveComboBox.h"
#include "ExplorerTreeView.h"
#include "MainForm.h"
#include "PathDialog.h"

#include "SystemPaths.h"
#include "TarvoApplication.h"
#include <QToolBar>

#include <QSplitter>

namespace tarvo
{

void TForm1::CreateDirTree()
{
    m_shell = std::make_shared<TShellNamespace>(
        *m_env.fileSystem, m_env.homeFolder.empty() ? HomeFolder() : m_env.homeFolder);
    DirTree = new TExplorerTreeView(m_shell, Splitter1);
    DirTree->setObjectName(QStringLiteral("DirTree"));
    // The splitter alone decides its width, down to nothing: closed is 0 pixels, not the tree
    // view's own minimum.
    DirTree->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    DirTree->SetRootFolder(rDesktop);
    DirTree->SetFolderTypes(FolderTypes({ ftFolders, ftIncludeSystem }));
    DirTree->SetShowRoot(false);
    DirTree->SetHideSelection(false);
    DirTree->SetIndent(19);
    DirTree->SetAutoRefresh(true);
    DirTree->OnClick = [this](TExplorerTreeView&) { TarvoApplication::Guard([this] { DirTreeClick(); }); };
    DirTree->OnDblClick = [this](TExplorerTreeView&) { TarvoApplication::Guard([this] { DirTreeDblClick(); }); };
}

void TForm1::CreateDriveSelector()
{
    drive = new TDriveComboBox(*m_env.fileSystem, ToolBar1);
    drive->setObjectName(QStringLiteral("drive"));
    drive->setFixedWidth(145);
    drive->setToolTip(QStringLiteral("Chose Drive"));
    drive->OnChange = [this](TDriveComboBox&) { TarvoApplication::Guard([this] { driveChange(); }); };
    // Volumes come and go while the program runs; the tree's notifier hears of them first.
    DirTree->OnVolumesChanged = [this](TExplorerTreeView&) { drive->RefreshVolumes(); };
    m_pathDialog = std::make_unique<TPathDialog>(this, m_env.fileSystem->Style());
    PD = m_pathDialog.get();
}

void TForm1::SyncNavigationControls(const std::string& path)
{
    // The label is moved by ChangeDir itself. The selector's OnChange comes from this write
    // too, and must not count as the user's pick.
    m_syncingDrive = true;
    drive->SetDrive(drive->KeyOfPath(path));
    m_syncingDrive = false;

    // The tree is given roots as they are and every other folder without its trailing
    // separator, and only when it shows another one, so that a click in it does not select
    // again. Under drive letters anything up to three characters ("C:") counts as a root.
    const PathStyle& style = m_env.fileSystem->Style();
    const bool root = style.GetKind() == PathStyle::pkWindows ? path.size() <= 3 : style.IsRoot(path);
    const std::string folder = root ? path : style.ExcludeTrailingSeparator(path);
    if (DirTree->SelectedPath() != folder)
        DirTree->SetSelectedPath(folder);
}

void TForm1::driveChange()
{
    if (m_syncingDrive)
        return;
    const std::string key = drive->Drive();
    const PathStyle& style = m_env.fileSystem->Style();
    const std::string root
        = style.GetKind() == PathStyle::pkWindows ? key + ":\\" : style.IncludeTrailingSeparator(key);
    const std::string before = m_currentDir;
    try {
        ChangeDir(root);
    } catch (...) {
        SyncNavigationControls(m_currentDir); // the selector goes back to where the window is
        throw;
    }
    if (m_currentDir == before)
        SyncNavigationControls(m_currentDir);
}

void TForm1::actBrowseDirExecute()
{
    // A dialog opened on a folder that does not answer would hang as the window would.
    const bool answers = m_probe->IsFolder(m_currentDir) != paNoAnswer;
    PD->SetDirectory(answers ? m_currentDir : HomeFolder());
    PD->SetTitle("Browse for directory");
    if (PD->Execute())
        ChangeDir(PD->Directory());
}

void TForm1::DirTreeClick() { ChangeDir(DirTree->SelectedPath()); }

void TForm1::DirTreeDblClick()
{
    DirTree->BeginUpdate();
    struct EndUpdate {
        TExplorerTreeView& tree;
        ~EndUpdate() { tree.EndUpdate(); }
    } endUpdate { *DirTree };
    ChangeDir(m_env.fileSystem->Style().IncludeTrailingSeparator(DirTree->SelectedPath()));
    AnalyseNavigated(m_currentDir);
}

} // namespace tarvo
