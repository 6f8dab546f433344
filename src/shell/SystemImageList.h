#pragma once

#include "FileSystem.h"
#include "ItemIdList.h"

#include <QIcon>

#include <map>
#include <utility>
#include <vector>

namespace tarvo
{

// The icons the namespace's items show, one process-wide list addressed by index like the
// shell's system image list: from the desktop's icon theme where it has them, else Qt's own.
// Needs a QGuiApplication; made on first use and never destroyed by its users.
class TSystemImageList
{
public:
    enum Slot : int {
        siDesktop,
        siHome,
        siComputer,
        siDriveFixed,
        siDriveRemovable,
        siDriveRemote,
        siDriveCdrom,
        siDriveRam,
        siFolder,
        siFolderOpen,
        siFile,
        siCount
    };
    // Overlays drawn over an icon's lower left corner; the shell's numbers.
    static constexpr int kShareOverlay = 0; // never shown: nothing here is a network share
    static constexpr int kLinkOverlay = 1;

    [[nodiscard]] static TSystemImageList& Instance();

    [[nodiscard]] int Count() const { return static_cast<int>(m_icons.size()); }
    // An invalid index gives the null icon; overlay -1 (none) or kLinkOverlay.
    [[nodiscard]] QIcon Icon(int index, int overlay = -1);
    [[nodiscard]] static int IndexOf(ItemKind kind, VolumeKind volumeKind, bool open);

private:
    TSystemImageList();

    std::vector<QIcon> m_icons;
    QIcon m_linkEmblem;
    std::map<std::pair<int, int>, QIcon> m_overlaid;
};

} // namespace tarvo
