#include "SystemImageList.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

namespace tarvo
{

namespace
{

    QIcon Themed(const char* name, const QIcon& fallback)
    {
        QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
        return icon.isNull() ? fallback : icon;
    }

    // The link emblem when the theme has none: a small curved arrow on white.
    QIcon DrawnLinkEmblem()
    {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::white);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(QRectF(0.5, 0.5, 15, 15));
        QPainterPath arrow;
        arrow.moveTo(3, 13);
        arrow.quadTo(3, 5, 11, 5);
        painter.drawPath(arrow);
        painter.setBrush(Qt::black);
        painter.drawPolygon(QPolygonF({ QPointF(10, 2), QPointF(14, 5), QPointF(10, 8) }));
        return QIcon(pixmap);
    }

} // namespace

TSystemImageList& TSystemImageList::Instance()
{
    // Never destroyed: icons must not outlive the application object's last statics in a
    // destructor that runs after them.
    static TSystemImageList* list = new TSystemImageList();
    return *list;
}

TSystemImageList::TSystemImageList()
    : m_icons(siCount)
{
    const QFileIconProvider provider;
    QStyle* style = QApplication::style();
    const QIcon drive = provider.icon(QFileIconProvider::Drive);
    const QIcon folder = provider.icon(QFileIconProvider::Folder);
    m_icons[siDesktop] = Themed("user-desktop", provider.icon(QFileIconProvider::Desktop));
    m_icons[siHome] = Themed("user-home", style->standardIcon(QStyle::SP_DirHomeIcon));
    m_icons[siComputer] = Themed("computer", provider.icon(QFileIconProvider::Computer));
    m_icons[siDriveFixed] = Themed("drive-harddisk", drive);
    m_icons[siDriveRemovable] = Themed("drive-removable-media", drive);
    m_icons[siDriveRemote] = Themed("folder-remote", provider.icon(QFileIconProvider::Network));
    m_icons[siDriveCdrom] = Themed("media-optical", style->standardIcon(QStyle::SP_DriveCDIcon));
    m_icons[siDriveRam] = Themed("media-flash", drive);
    m_icons[siFolder] = Themed("folder", folder);
    m_icons[siFolderOpen] = Themed("folder-open", style->standardIcon(QStyle::SP_DirOpenIcon));
    m_icons[siFile] = Themed("text-x-generic", provider.icon(QFileIconProvider::File));
    m_linkEmblem = Themed("emblem-symbolic-link", DrawnLinkEmblem());
}

QIcon TSystemImageList::Icon(int index, int overlay)
{
    if (index < 0 || index >= Count())
        return {};
    if (overlay != kLinkOverlay)
        return m_icons[static_cast<std::size_t>(index)];
    QIcon& cached = m_overlaid[{ index, overlay }];
    if (cached.isNull()) {
        for (const int size : { 16, 22, 32 }) {
            QPixmap pixmap = m_icons[static_cast<std::size_t>(index)].pixmap(size, size);
            QPainter painter(&pixmap);
            const int emblem = size / 2;
            painter.drawPixmap(0, size - emblem, m_linkEmblem.pixmap(emblem, emblem));
            painter.end();
            cached.addPixmap(pixmap);
        }
    }
    return cached;
}

int TSystemImageList::IndexOf(ItemKind kind, VolumeKind volumeKind, bool open)
{
    switch (kind) {
    case ItemKind::ikHome:
        return siHome;
    case ItemKind::ikComputer:
        return siComputer;
    case ItemKind::ikVolume:
        switch (volumeKind) {
        case VolumeKind::vkFixed:
            return siDriveFixed;
        case VolumeKind::vkRemovable:
            return siDriveRemovable;
        case VolumeKind::vkRemote:
            return siDriveRemote;
        case VolumeKind::vkCdrom:
            return siDriveCdrom;
        case VolumeKind::vkRam:
            return siDriveRam;
        }
        return siDriveFixed;
    case ItemKind::ikFolder:
        return open ? siFolderOpen : siFolder;
    case ItemKind::ikNonFolder:
        return siFile;
    }
    return siFile;
}

} // namespace tarvo
