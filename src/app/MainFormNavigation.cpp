// The folder tree in the window: made in its slot, following the current folder, and turning
// clicks into navigation and double clicks into an analysis.

#include "ExplorerTreeView.h"
#include "MainForm.h"
#include "SystemPaths.h"

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
    DirTree->OnClick = [this](TExplorerTreeView&) { DirTreeClick(); };
    DirTree->OnDblClick = [this](TExplorerTreeView&) { DirTreeDblClick(); };
}

void TForm1::SyncNavigationControls(const std::string& path)
{
    // The drive selector follows once it exists; the label is moved by ChangeDir itself. The
    // tree is given roots as they are and every other folder without its trailing separator,
    // and only when it shows another one, so that a click in it does not select again.
    const PathStyle& style = m_env.fileSystem->Style();
    const std::string folder = style.IsRoot(path) ? path : style.ExcludeTrailingSeparator(path);
    if (DirTree->SelectedPath() != folder)
        DirTree->SetSelectedPath(folder);
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
    Analyse(m_currentDir);
}

} // namespace tarvo
