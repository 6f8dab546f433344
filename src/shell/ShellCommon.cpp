#include "ShellCommon.h"

#include "ShellTypes.h"
#include "SystemPaths.h"

namespace tarvo
{

std::string PathFromPIDL(const TShellNamespace& shell, const TItemIdList& absolute) { return shell.PathOf(absolute); }

bool IsDriveRoot(const TShellNamespace& shell, const TItemIdList& absolute)
{
    return shell.IsVolumeRootPath(shell.PathOf(absolute));
}

std::string DriveKeyOf(const TShellNamespace& shell, const TItemIdList& absolute)
{
    const std::string path = shell.PathOf(absolute);
    if (shell.Style().GetKind() == PathStyle::pkWindows)
        return path.substr(0, 1);
    return shell.VolumeKeyOfPath(path);
}

bool IsDriveReady(TShellNamespace& shell, const std::string& volumeKey)
{
    return shell.IsVolumeReady(volumeKey, kDriveReadyLimit);
}

QString NotReadyMessage(const TShellNamespace& shell, const TItemIdList& absolute)
{
    const VolumeInfo* volume = shell.VolumeOfPath(shell.PathOf(absolute));
    const bool media = volume && (volume->kind == VolumeKind::vkRemovable || volume->kind == VolumeKind::vkCdrom);
    return media ? QStringLiteral("No disk in drive") : QStringLiteral("Volume not responding");
}

bool HasAttribute(std::uint32_t mask, const TShellFolder* folder, const TItemIdList* relative)
{
    if (!folder || !relative)
        return false;
    const std::optional<std::uint32_t> attributes = folder->GetAttributesOf(*relative, kSearchLimit);
    return attributes && (*attributes & mask) != 0;
}

bool isValidPIDL(TShellNamespace& shell, const TItemIdList& absolute) { return shell.Exists(absolute, kSearchLimit); }

void FlushCache(TShellNamespace& shell) { shell.RefreshVolumeDetails(); }

std::optional<TItemIdList> GetItemIDFromPath(TShellNamespace& shell, const std::string& path)
{
    return shell.ParsePath(path, kSearchLimit);
}

TItemIdList SpecialFolderLocation(TShellNamespace& shell, TRootFolder folder)
{
    std::optional<XdgFolder> xdg;
    switch (folder) {
    case rDrives:
        return TShellNamespace::ComputerList();
    case rPersonal:
        return TShellNamespace::HomeList();
    case rDesktopDirectory:
        xdg = XdgFolder::xfDesktop;
        break;
    case rTemplates:
        xdg = XdgFolder::xfTemplates;
        break;
    case rAppData:
        xdg = XdgFolder::xfConfig;
        break;
    case rFonts:
        xdg = XdgFolder::xfFonts;
        break;
    case rBitBucket:
        xdg = XdgFolder::xfTrash;
        break;
    case rStartup:
        xdg = XdgFolder::xfAutostart;
        break;
    case rCommonStartup:
        xdg = XdgFolder::xfSystemAutostart;
        break;
    case rPrograms:
    case rStartMenu:
        xdg = XdgFolder::xfApplications;
        break;
    case rCommonPrograms:
    case rCommonStartMenu:
        xdg = XdgFolder::xfSystemApplications;
        break;
    case rDesktop:
    case rControlPanel:
    case rPrinters:
    case rFavorites:
    case rRecent:
    case rSendTo:
    case rNetwork:
    case rNetworkNeighborhood:
    case rCommonDesktopDirectory:
    case rPrinterNeighborhood:
    case rHistory:
    case rCustom:
        break;
    }
    if (!xdg)
        return {};
    return GetItemIDFromPath(shell, XdgFolderPath(*xdg)).value_or(TItemIdList());
}

int GetPIDLIconIndex(const TShellNamespace& shell, const TItemIdList& absolute, bool open)
{
    if (absolute.IsEmpty())
        return TSystemImageList::siDesktop;
    const VolumeInfo* volume = shell.VolumeOfItem(absolute);
    return TSystemImageList::IndexOf(absolute.Last().kind, volume ? volume->kind : VolumeKind::vkFixed, open);
}

int GetShellIconIndex(const TShellFolder* folder, const TItemIdList& relative, bool open)
{
    if (!folder)
        return -1;
    return GetPIDLIconIndex(folder->Namespace(), folder->AbsoluteList().Combined(relative), open);
}

int GetPathIconIndex(TShellNamespace& shell, const std::string& path, bool open)
{
    const std::optional<TItemIdList> list = GetItemIDFromPath(shell, path);
    return list ? GetPIDLIconIndex(shell, *list, open) : -1;
}

QString DisplayText(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString GetPIDLDisplayName(const TShellNamespace& shell, const TItemIdList& absolute)
{
    return DisplayText(shell.DisplayNameOf(absolute));
}

QString GetDisplayName(const TShellFolder& folder, const TItemIdList& relative)
{
    return DisplayText(folder.GetDisplayNameOf(relative));
}

} // namespace tarvo
