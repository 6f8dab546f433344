#pragma once

#include <cstdint>

namespace tarvo
{

// Which folder the tree shows as its root: the shell's special folders by their old numbers
// (CSIDL), which stored forms keep; rCustom takes a path instead.
enum TRootFolder : std::uint8_t {
    rDesktop = 0x00,
    rPrograms = 0x02,
    rControlPanel = 0x03,
    rPrinters = 0x04,
    rPersonal = 0x05,
    rFavorites = 0x06,
    rStartup = 0x07,
    rRecent = 0x08,
    rSendTo = 0x09,
    rBitBucket = 0x0A,
    rStartMenu = 0x0B,
    rDesktopDirectory = 0x10,
    rDrives = 0x11,
    rNetwork = 0x12,
    rNetworkNeighborhood = 0x13,
    rFonts = 0x14,
    rTemplates = 0x15,
    rCommonStartMenu = 0x16,
    rCommonPrograms = 0x17,
    rCommonStartup = 0x18,
    rCommonDesktopDirectory = 0x19,
    rAppData = 0x1A,
    rPrinterNeighborhood = 0x1B,
    rHistory = 0x22,
    rCustom = 0xFF,
};

} // namespace tarvo
