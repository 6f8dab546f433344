#pragma once

#include "FileSystem.h"

#include <QPixmap>

#include <string_view>

namespace tarvo
{

// The drive selector's pictures, 16 × 11 pixels, drawn by the program on a transparent
// background at the device-pixel ratio asked for, so they stay sharp on any screen.
inline constexpr int kDriveBitmapWidth = 16;
inline constexpr int kDriveBitmapHeight = 11;

// "FLOPPY", "HARD", "NETWORK", "CDROM" or "RAM"; a null pixmap for any other name.
[[nodiscard]] QPixmap DriveBitmap(std::string_view name, qreal devicePixelRatio = 1.0);
// The picture's name for a kind of volume.
[[nodiscard]] const char* DriveBitmapName(VolumeKind kind);

} // namespace tarvo
