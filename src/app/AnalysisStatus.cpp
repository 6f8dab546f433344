#include "AnalysisStatus.h"

#include "PathText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStyle>

#include <system_error>

namespace tarvo
{

TAnalysisStatus::TAnalysisStatus(FormatSettings settings, QWidget* parent)
    : QWidget(parent)
    , m_settings(std::move(settings))
{
    setObjectName(QStringLiteral("AnalysisStatus"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    m_busy = new QProgressBar(this);
    m_busy->setObjectName(QStringLiteral("CheckingSign"));
    m_busy->setRange(0, 0); // no end known: the style's busy animation
    m_busy->setTextVisible(false);
    m_busy->setFixedSize(48, 10);
    m_busy->setToolTip(QStringLiteral("Checking the folder against the disk"));
    m_unread = new QLabel(this);
    m_unread->setObjectName(QStringLiteral("UnreadFolders"));
    m_unread->setTextFormat(Qt::PlainText);
    layout->addWidget(m_busy);
    layout->addWidget(m_unread);
    m_busy->hide();
    m_unread->hide();
}

void TAnalysisStatus::ShowUnread(std::size_t count, const std::vector<UnreadFolder>& first)
{
    m_unread->setText(count == 0 ? QString() : UnreadFoldersText(count, m_settings));
    m_unread->setToolTip(count == 0 ? QString() : UnreadFoldersTip(count, first));
    m_unread->setVisible(count != 0);
}

void TAnalysisStatus::SetChecking(bool checking) { m_busy->setVisible(checking); }

bool TAnalysisStatus::Checking() const { return !m_busy->isHidden(); }

QString TAnalysisStatus::UnreadText() const { return m_unread->isHidden() ? QString() : m_unread->text(); }

QString UnreadFoldersText(std::size_t count, const FormatSettings& settings)
{
    const std::string number = GroupThousands(std::to_string(count), settings.thousandSeparator);
    return QString::fromStdString(number)
        + (count == 1 ? QStringLiteral(" folder could not be read") : QStringLiteral(" folders could not be read"));
}

QString UnreadFoldersTip(std::size_t count, const std::vector<UnreadFolder>& first)
{
    QStringList lines;
    for (const UnreadFolder& folder : first)
        lines << PathToDisplay(folder.path) + QStringLiteral(": ")
                + QString::fromStdString(std::generic_category().message(folder.error));
    if (count > first.size())
        lines << QStringLiteral("and %1 more").arg(count - first.size());
    return lines.join(QLatin1Char('\n'));
}

} // namespace tarvo
