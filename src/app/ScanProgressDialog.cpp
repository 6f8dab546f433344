#include "ScanProgressDialog.h"

#include "DirSize.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace tarvo
{

namespace
{

    constexpr std::int64_t kBytesPerMegabyte = 1024 * 1024;

    std::string Grouped(std::uint64_t value, const std::string& separator)
    {
        return GroupThousands(std::to_string(value), separator);
    }

} // namespace

QString ScanProgressText(std::uint64_t folders, std::int64_t bytes, const FormatSettings& settings)
{
    // Whole megabytes and the rounded tenth are computed apart so that no byte count, however
    // large, overflows on the way.
    const std::int64_t counted = std::max<std::int64_t>(bytes, 0);
    auto wholeMegabytes = static_cast<std::uint64_t>(counted / kBytesPerMegabyte);
    auto tenths = (counted % kBytesPerMegabyte * 10 + kBytesPerMegabyte / 2) / kBytesPerMegabyte;
    if (tenths == 10) {
        ++wholeMegabytes;
        tenths = 0;
    }
    const std::string text = Grouped(folders, settings.thousandSeparator) + (folders == 1 ? " folder, " : " folders, ")
        + Grouped(wholeMegabytes, settings.thousandSeparator) + settings.decimalSeparator + std::to_string(tenths)
        + " MB";
    return QString::fromStdString(text);
}

ScanProgressDialog::ScanProgressDialog(FormatSettings settings, QWidget* parent)
    : QDialog(parent)
    , m_settings(std::move(settings))
{
    setWindowTitle(QStringLiteral("Tarvo"));
    setWindowModality(Qt::ApplicationModal);
    // No help button, no resizing worth offering: the dialog lives for the length of one scan.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* heading = new QLabel(QStringLiteral("Scanning"), this);
    m_folderLabel = new QLabel(this);
    // The full path would widen the dialog without end; the label takes the width it is given
    // and shows the path elided in the middle, where the least telling part of a path is.
    m_folderLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_folderLabel->setTextFormat(Qt::PlainText);
    m_countLabel = new QLabel(ScanProgressText(0, 0, m_settings), this);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setAutoDefault(false);
    connect(m_cancelButton, &QPushButton::clicked, this, &ScanProgressDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_folderLabel);
    layout->addWidget(m_countLabel);
    layout->addLayout(buttons);
    setMinimumWidth(420);
}

void ScanProgressDialog::SetProgress(const ScanProgress& progress)
{
    if (!progress.currentPath.empty()) {
        const QString folder = QString::fromStdString(progress.currentPath);
        if (folder != m_folder) {
            m_folder = folder;
            ShowFolder();
        }
    }
    const QString count = ScanProgressText(progress.folders, progress.bytes, m_settings);
    if (count != m_countLabel->text())
        m_countLabel->setText(count);
}

QString ScanProgressDialog::FolderText() const { return m_folderLabel->text(); }

QString ScanProgressDialog::CountText() const { return m_countLabel->text(); }

void ScanProgressDialog::reject()
{
    // The dialog stays up until the scan has really stopped, so that it never looks as if the
    // window were free again while the worker still runs; a second request changes nothing.
    if (m_cancelRequested)
        return;
    m_cancelRequested = true;
    m_cancelButton->setEnabled(false);
    m_cancelButton->setText(QStringLiteral("Cancelling..."));
    if (OnCancel)
        OnCancel();
}

void ScanProgressDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    ShowFolder();
}

void ScanProgressDialog::ShowFolder()
{
    const int width = std::max(m_folderLabel->contentsRect().width(), 1);
    m_folderLabel->setText(m_folderLabel->fontMetrics().elidedText(m_folder, Qt::ElideMiddle, width));
    m_folderLabel->setToolTip(m_folder);
}

} // namespace tarvo
