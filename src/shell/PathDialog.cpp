#include "PathDialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QStandardPaths>
#include <QUrl>

#include <exception>

namespace tarvo
{

namespace
{

    QString Decoded(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
    std::string Encoded(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace

TPathDialog::TPathDialog(QWidget* owner, const PathStyle& style)
    : m_owner(owner)
    , m_style(style)
{
}

TPathDialog::~TPathDialog() = default;

void TPathDialog::SetDirectory(const std::string& value)
{
    if (value.empty())
        m_directory = Encoded(QDir::currentPath());
    else if (m_style.EndsWithSeparator(value) && !(m_style.GetKind() == PathStyle::pkPosix && m_style.IsRoot(value)))
        m_directory = value.substr(0, value.size() - 1);
    else
        m_directory = value; // a lone "/" names the root and must keep its separator
    ShowDirectory();
}

void TPathDialog::ShowDirectory()
{
    if (m_dialog == nullptr || m_directory.empty())
        return;
    const QString folder = Decoded(m_directory);
    const QFileInfo info(folder);
    // Highlighted in the folder above it, where the user sees it among its neighbours.
    m_dialog->setDirectory(info.isRoot() ? folder : info.absolutePath());
    m_dialog->selectFile(folder);
}

void TPathDialog::SetStatusText(std::string value)
{
    m_statusText = std::move(value);
    if (m_statusLine != nullptr && m_showStatus)
        m_statusLine->setText(QString::fromStdString(m_statusText));
}

void TPathDialog::Raise(const std::function<void()>& event)
{
    try {
        event();
    } catch (const std::exception& error) {
        QMessageBox::warning(m_dialog, m_dialog ? m_dialog->windowTitle() : QString(), QString::fromUtf8(error.what()));
    } catch (...) {
        // Nothing else may leave a dialog's event: the dialog goes on.
    }
}

bool TPathDialog::Execute()
{
    QFileDialog dialog(m_owner, QString::fromStdString(m_title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QString home = QDir::homePath();
    const QString second = m_rootItem == riMyComputer
        ? QDir::rootPath()
        : QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    dialog.setSidebarUrls(m_rootItem == riMyComputer
            ? QList<QUrl> { QUrl::fromLocalFile(second), QUrl::fromLocalFile(home) }
            : QList<QUrl> { QUrl::fromLocalFile(home), QUrl::fromLocalFile(second) });
    if (m_showStatus) {
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            m_statusLine = new QLabel(QString::fromStdString(m_statusText), &dialog);
            m_statusLine->setObjectName(QStringLiteral("statusLine"));
            grid->addWidget(m_statusLine, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }
    QObject::connect(&dialog, &QFileDialog::currentChanged, &dialog, [this](const QString& path) {
        if (OnSelect)
            Raise([&] { OnSelect(*this, Encoded(path)); });
    });

    m_dialog = &dialog;
    ShowDirectory();
    // Once the dialog's own loop runs, it is on screen.
    QMetaObject::invokeMethod(
        &dialog,
        [this] {
            if (OnShow)
                Raise([&] { OnShow(*this); });
        },
        Qt::QueuedConnection);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    m_dialog = nullptr;
    m_statusLine = nullptr;
    if (!accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString chosen = dialog.selectedFiles().constFirst();
    if (!QFileInfo(chosen).isDir())
        return false;
    const QString clean = QDir::cleanPath(chosen); // "/" stays, others lose a trailing separator
    m_directory = Encoded(clean);
    return true;
}

} // namespace tarvo
