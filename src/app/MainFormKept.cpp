// Moving through an analysed tree at once: a folder inside a kept analysis is shown from the
// kept totals without reading the disk, then checked against the disk in the background; the
// check's answer replaces what was kept and, when anything differs, updates list and charts
// where they stand.

#include "AnalysisStatus.h"
#include "FolderCheck.h"
#include "KeptTotals.h"
#include "MainForm.h"
#include "SizeListColumns.h"
#include "TarvoApplication.h"

#include <QToolButton>
#include <QTreeWidget>

namespace tarvo
{

void TForm1::CreateFolderCheck()
{
    m_kept = std::make_unique<TKeptTotals>(m_env.fileSystem->Style());
    m_dirSize->SetKeptTotals(m_kept.get());
    m_check = std::make_unique<TFolderCheck>(*m_env.fileSystem, m_env.formatSettings, *m_kept);
    m_check->OnChecked = [this](const TDirSize& fresh) { TarvoApplication::Guard([&] { FolderChecked(fresh); }); };
    m_check->OnGone
        = [this](const std::string& folder) { TarvoApplication::Guard([&] { CheckedFolderGone(folder); }); };
}

bool TForm1::AnalyseNavigated(const std::string& path)
{
    StopCheck();
    m_dirSize->Folder = path;
    m_dirSize->IncludeFreeSpace = FreeSpaceButt->isChecked();
    if (!m_dirSize->CalculateFromKept())
        return Analyse(path);
    ShowScanned();
    CompareWithHistory(*m_dirSize, false);
    m_check->Start(path, m_dirSize->IncludeFreeSpace);
    AnalysisStatus->SetChecking(true);
    return true;
}

bool TForm1::Checking() const { return m_check->Running(); }

void TForm1::StopCheck()
{
    m_check->Cancel();
    AnalysisStatus->SetChecking(false);
}

void TForm1::FolderChecked(const TDirSize& fresh)
{
    AnalysisStatus->SetChecking(false);
    TDirSize& shown = *m_dirSize;
    if (fresh.PathList == shown.PathList && fresh.ByteList == shown.ByteList && fresh.UnreadCount == shown.UnreadCount
        && fresh.UnreadFolders == shown.UnreadFolders) {
        RecordShownAgain();
        return; // what is on screen is what the disk holds: nothing is drawn again
    }
    shown.PathList = fresh.PathList;
    shown.MBList = fresh.MBList;
    shown.KBList = fresh.KBList;
    shown.ByteList = fresh.ByteList;
    shown.SubfolderCount = fresh.SubfolderCount;
    shown.UnreadCount = fresh.UnreadCount;
    shown.UnreadFolders = fresh.UnreadFolders;

    // In place: the same rows stay selected, the order stays the user's, the charts keep their
    // titles, zoom and turn.
    const QTreeWidgetItem* selected = ListView1->selectedItems().value(0);
    const QString selectedPath = selected ? selected->text(slcFullPath) : QString();
    ShowScanned(true);
    AnalysisCompleted(shown);
    for (int i = 0; !selectedPath.isEmpty() && i < ListView1->topLevelItemCount(); ++i) {
        if (ListView1->topLevelItem(i)->text(slcFullPath) == selectedPath)
            ListView1->setCurrentItem(ListView1->topLevelItem(i));
    }
}

void TForm1::CheckedFolderGone(const std::string& folder)
{
    AnalysisStatus->SetChecking(false);
    // As a click on a folder deleted since the analysis: the fallback folder, analysed.
    AnalyseNavigated(ChangeDir(folder));
}

} // namespace tarvo
