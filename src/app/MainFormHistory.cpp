// The history of analyses in the window: each completed analysis is recorded, the size list's
// "Change" column compares it with an earlier one of the same folder, and "Tools" >
// "Compare with" picks which.

#include "FormHistory.h"
#include "HistoryChanges.h"
#include "MainForm.h"
#include "PathText.h"
#include "SizeListColumns.h"
#include "TarvoApplication.h"

#include <QActionGroup>
#include <QDateTime>
#include <QLocale>
#include <QMenu>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <algorithm>
#include <limits>
#include <type_traits>
#include <unordered_map>

namespace tarvo
{

namespace
{

    void SetChange(QTreeWidgetItem& item, const EntryChange& change, const FormatSettings& settings)
    {
        const bool none = change.kind == ChangeKind::ckNone;
        SetCell(item, slcChange, ChangeText(change, settings), none ? std::string() : std::to_string(change.bytes));
    }

    // Date and time in the user's locale, with seconds: a folder is often analysed more than
    // once in a minute.
    QString AnalysisTime(std::int64_t timeMs)
    {
        const QLocale locale;
        const QDateTime when = QDateTime::fromMSecsSinceEpoch(timeMs);
        QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
        if (!timeFormat.contains(QLatin1Char('s')))
            timeFormat.replace(QStringLiteral("mm"), QStringLiteral("mm:ss"));
        return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
            + locale.toString(when.time(), timeFormat);
    }

} // namespace

HistoryRecorder* TForm1::History() const { return m_history ? m_history->recorder.get() : nullptr; }

void TForm1::CreateHistory(QMenu& tools)
{
    m_history = std::make_unique<TFormHistory>();
    if (!m_env.historyFileName.empty()) {
        m_history->recorder = std::make_unique<HistoryRecorder>(
            m_env.historyFileName, HistoryLimits {}, [this](const HistoryProblem& problem) {
                // Told from the recorder's thread; the message box opens on the window's.
                const QString message = PathToDisplay(problem.message);
                QMetaObject::invokeMethod(
                    this, [message] { TarvoApplication::ShowException(message); }, Qt::QueuedConnection);
            });
    }
    tools.addSeparator();
    CompareWith = tools.addMenu(QStringLiteral("Compare with"));
    CompareWith->setObjectName(QStringLiteral("CompareWith"));
    FillCompareWithMenu(std::nullopt);
}

void TForm1::AnalysisCompleted(const TDirSize& scan) { CompareWithHistory(scan, true); }

void TForm1::CompareWithHistory(const TDirSize& scan, bool record)
{
    try {
        TFormHistory& h = *m_history;
        const PathStyle& style = m_env.fileSystem->Style();
        const std::string folder = HistoryFolderKey(scan.Folder, style);
        if (!h.shown || folder != h.folder)
            h.choice = TFormHistory::hcDefault; // a choice lasts until another folder is analysed
        h.shown = true;
        h.folder = folder;
        h.analysedPath = scan.Folder;
        h.shownTimeMs = HistoryTimeMs(std::chrono::system_clock::now());
        h.shownEntries = HistoryEntriesOf(
            scan.PathList, SaturatedBytes(scan.ByteList), scan.SubfolderCount, TDirSize::kFreeSpaceEntry, style);
        h.choices.clear();
        if (h.recorder) {
            h.choices = h.recorder->Analyses(folder, HistoryLimits::kChoices);
            // Recording this one drops the folder's oldest when it is at its bound: that one
            // is not offered.
            const auto bound = static_cast<std::size_t>(HistoryLimits {}.analysesPerFolder);
            if (record && h.choices.size() >= bound)
                h.choices.resize(bound - 1);
        }
        // Compared first, recorded after: the comparison's entries are read before anything
        // this record drops.
        ApplyComparison();
        if (record && h.recorder)
            h.recorder->Record({ folder, h.shownTimeMs, h.shownEntries });
    } catch (const std::exception& error) {
        TarvoApplication::ShowException(QString::fromUtf8(error.what()));
    }
}

void TForm1::RecordShownAgain()
{
    TFormHistory& h = *m_history;
    if (!h.shown || !h.recorder)
        return;
    try {
        h.shownTimeMs = HistoryTimeMs(std::chrono::system_clock::now());
        h.recorder->Record({ h.folder, h.shownTimeMs, h.shownEntries });
    } catch (const std::exception& error) {
        TarvoApplication::ShowException(QString::fromUtf8(error.what()));
    }
}

void TForm1::CompareWithClick(std::optional<std::int64_t> analysisId)
{
    TFormHistory& h = *m_history;
    h.choice = analysisId ? TFormHistory::hcAnalysis : TFormHistory::hcNothing;
    h.chosenId = analysisId.value_or(0);
    if (h.shown)
        ApplyComparison();
    else
        FillCompareWithMenu(std::nullopt);
}

void TForm1::ApplyComparison()
{
    TFormHistory& h = *m_history;
    std::optional<std::size_t> compared;
    if (h.choice == TFormHistory::hcAnalysis) {
        const auto chosen = std::find_if(h.choices.begin(), h.choices.end(),
            [&h](const HistorySummary& summary) { return summary.id == h.chosenId; });
        if (chosen != h.choices.end())
            compared = static_cast<std::size_t>(chosen - h.choices.begin());
        else
            h.choice = TFormHistory::hcDefault; // no longer kept
    }
    if (h.choice == TFormHistory::hcDefault)
        compared = DefaultComparison(h.choices, h.shownTimeMs);
    std::optional<std::vector<HistoryEntry>> earlier;
    if (compared && h.recorder)
        earlier = h.recorder->Entries(h.choices[*compared].id);
    EntryChanges changes;
    if (earlier) {
        changes = CompareEntries(h.shownEntries, *earlier);
    } else {
        compared.reset();
        changes.entries.assign(h.shownEntries.size(), EntryChange {});
    }
    ShowChanges(changes);
    FillCompareWithMenu(compared);
    ListView1->headerItem()->setToolTip(slcChange,
        compared
            ? QStringLiteral("Change in MB since the analysis of %1").arg(AnalysisTime(h.choices[*compared].timeMs))
            : QString());
}

void TForm1::ShowChanges(const EntryChanges& changes)
{
    // The rows of gone entries belong to the comparison shown before.
    for (int row = ListView1->topLevelItemCount(); row-- > 0;) {
        if (ListView1->topLevelItem(row)->data(slcName, kEntryIndexRole) == QVariant(kGoneRow))
            delete ListView1->takeTopLevelItem(row);
    }
    for (int row = 0; row < ListView1->topLevelItemCount(); ++row) {
        QTreeWidgetItem& item = *ListView1->topLevelItem(row);
        bool tagged = false;
        const int entry = item.data(slcName, kEntryIndexRole).toInt(&tagged);
        const bool known = tagged && entry >= 0 && static_cast<std::size_t>(entry) < changes.entries.size();
        SetChange(
            item, known ? changes.entries[static_cast<std::size_t>(entry)] : EntryChange {}, m_env.formatSettings);
    }
    // An entry that is gone has a row of its own, with nothing today.
    const PathStyle& style = m_env.fileSystem->Style();
    const std::string zero = FloatToText(0.0, m_env.formatSettings);
    QList<QTreeWidgetItem*> gone;
    for (const HistoryEntry& entry : changes.gone) {
        auto* item = new QTreeWidgetItem;
        const std::string path = style.Join(m_history->analysedPath, entry.name);
        SetCell(*item, slcName, entry.name, entry.name);
        SetCell(*item, slcMB, zero, zero);
        SetCell(*item, slcKB, zero, zero);
        SetCell(*item, slcFullPath, path, path);
        SetChange(*item, { ChangeKind::ckGone, -entry.bytes }, m_env.formatSettings);
        item->setData(slcName, kEntryIndexRole, kGoneRow);
        gone.append(item);
    }
    ListView1->addTopLevelItems(gone);
    SortRows(); // the rows of gone entries take their place in the user's order
}

void TForm1::FillCompareWithMenu(std::optional<std::size_t> compared)
{
    // The action being triggered may be among these: they go once its handler has returned.
    for (QAction* action : CompareWith->actions()) {
        CompareWith->removeAction(action);
        action->deleteLater();
    }
    for (QActionGroup* old : CompareWith->findChildren<QActionGroup*>(Qt::FindDirectChildrenOnly))
        old->deleteLater();
    auto* group = new QActionGroup(CompareWith);
    const auto add = [this, group](const QString& text, bool checked, std::optional<std::int64_t> id) {
        QAction* action = CompareWith->addAction(text);
        action->setCheckable(true);
        action->setChecked(checked);
        group->addAction(action);
        connect(action, &QAction::triggered, this, TarvoApplication::Guarded([this, id] { CompareWithClick(id); }));
    };
    const std::vector<HistorySummary>& choices = m_history->choices;
    for (std::size_t i = 0; i < choices.size(); ++i)
        add(AnalysisTime(choices[i].timeMs), compared == i, choices[i].id);
    if (!choices.empty())
        CompareWith->addSeparator();
    add(QStringLiteral("Nothing"), !compared, std::nullopt);
}

} // namespace tarvo
