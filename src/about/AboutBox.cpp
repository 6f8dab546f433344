#include "AboutBox.h"
#include "AboutPictures.h"
#include "AboutTexts.h"
#include "ShellOpen.h"

#include <QApplication>
#include <QBrush>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QUrl>

#include <stdexcept>
#include <utility>

namespace tarvo
{

TAboutBox::TAboutBox(AboutEnvironment environment, QWidget* parent)
    : QDialog(parent)
    , m_env(std::move(environment))
{
    if (!m_env.systemInfo)
        throw std::invalid_argument("The about window needs a source of system information");
    if (!m_env.openUrl)
        m_env.openUrl = ShellOpenUrl;
    CreateComponents();
    connect(BtnMail, &QToolButton::clicked, this, &TAboutBox::BtnMailClick);
    connect(BtnHome, &QToolButton::clicked, this, &TAboutBox::BtnHomeClick);
    connect(BtnHome2, &QToolButton::clicked, this, &TAboutBox::BtnHome2Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TAboutBox::SpeedButton2Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TAboutBox::SpeedButton1Click);
    FormCreate();
}

TAboutBox::~TAboutBox()
{
    // A window closed in the middle of a drag still gives the cursor back.
    if (m_cursorOverridden)
        QGuiApplication::restoreOverrideCursor();
}

void TAboutBox::FormCreate()
{
    m_programFileName = m_env.systemInfo->ProgramFileName();
    SetText(ProductName, QString::fromUtf8(m_programFileName));
    const ProgramVersion version = m_env.systemInfo->Version();
    SetText(Release, QString::number(version.release));
    SetText(Build, QString::number(version.build));
    Comments->resize(Panel2->width(), Comments->height());
}

void TAboutBox::SetText(QLabel* label, const QString& text)
{
    label->setText(text);
    label->adjustSize();
}

void TAboutBox::LoadBackground()
{
    m_background = AboutBackground();
    update();
}

void TAboutBox::paintEvent(QPaintEvent* /*event*/)
{
    if (m_background.isNull())
        return;
    // A texture brush repeats from the widget's origin, so every repaint lays the same tiles.
    QPainter painter(this);
    painter.fillRect(rect(), QBrush(m_background));
}

void TAboutBox::FitComments()
{
    Comments->resize(Panel2->width() - 5, Comments->height());
    Panel1->resize(Panel2->width(), Panel1->height());
}

void TAboutBox::ShowSystem()
{
    const std::string name = m_env.systemInfo->OSName();
    if (!name.empty())
        SetText(OSName, QString::fromUtf8(name));
    SetText(OSVersion, OSVersionLine(m_env.systemInfo->OSVersion()));
    SetText(Memory, MemoryLine(m_env.systemInfo->Memory()));
}

void TAboutBox::ShowDisks()
{
    const QFontMetrics metrics(DiskFree->font());
    const int available = kDiskLineRight - DiskFree->x();
    const DiskLines lines = SplitDiskLines(
        m_env.systemInfo->DiskFree(), [&metrics](const QString& text) { return metrics.horizontalAdvance(text); },
        available);
    SetText(DiskFree, metrics.elidedText(lines.first, Qt::ElideRight, available));
    SetText(DiskFree1, metrics.elidedText(lines.second, Qt::ElideRight, available));
    DiskFree->setToolTip(lines.all);
    DiskFree1->setToolTip(lines.all);
}

void TAboutBox::ShowProduct(const QString& productName, const QString& copyright, const QString& comments)
{
    SetText(ProductName, productName);
    const ProgramVersion version = m_env.systemInfo->Version();
    SetText(VersNo, QStringLiteral("%1.%2").arg(version.major).arg(version.minor));
    SetText(Copyright, copyright);
    Comments->setText(comments);
    ProgramIcon2->setPixmap(QApplication::windowIcon().pixmap(ProgramIcon2->size()));
}

void TAboutBox::ShowCaption() { setWindowTitle(QStringLiteral("About ") + QString::fromUtf8(m_programFileName)); }

std::string TAboutBox::MailUrl() const
{
    // The program's name may hold anything a file name can; encoded, it cannot end the subject
    // or add header fields of its own.
    return std::string("mailto:") + AboutAddresses::kMail
        + "?subject=" + QUrl::toPercentEncoding(QString::fromUtf8(m_programFileName)).toStdString();
}

void TAboutBox::BtnMailClick()
{
    if (!m_env.openUrl(MailUrl()))
        QMessageBox::critical(this, windowTitle(), QStringLiteral("An Error occurred with Mail!"), QMessageBox::Ok);
}

void TAboutBox::BtnHomeClick() { static_cast<void>(m_env.openUrl(AboutAddresses::kSoftware)); }

void TAboutBox::BtnHome2Click() { static_cast<void>(m_env.openUrl(AboutAddresses::kMainPages)); }

void TAboutBox::SpeedButton2Click() { static_cast<void>(m_env.openUrl(AboutAddresses::kUpdates)); }

void TAboutBox::SpeedButton1Click() { reject(); }

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Comments)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        CommentsMouseDown(*static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseMove:
        CommentsMouseMove(*static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease:
        CommentsMouseUp();
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void TAboutBox::CommentsMouseDown(const QMouseEvent& event)
{
    if (!m_cursorOverridden) {
        QGuiApplication::setOverrideCursor(Qt::PointingHandCursor);
        m_cursorOverridden = true;
    }
    m_dragStartY = qRound(event.position().y());
}

void TAboutBox::CommentsMouseMove(const QMouseEvent& event)
{
    if (!(event.buttons() & Qt::LeftButton))
        return;
    // The pointer is in Comments' coordinates, which move with it: the text follows the pointer.
    const int top = qRound(event.position().y()) + Comments->y() - m_dragStartY;
    if (top < 0 && top > Panel1->height() - Comments->height())
        Comments->move(Comments->x(), top);
}

void TAboutBox::CommentsMouseUp()
{
    if (m_cursorOverridden) {
        QGuiApplication::restoreOverrideCursor();
        m_cursorOverridden = false;
    }
}

} // namespace tarvo
