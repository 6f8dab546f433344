#pragma once

#include <QIcon>

namespace tarvo
{

// The pictures of the window's actions, menus and tool buttons (the image list), drawn by the
// program itself so they look the same on every desktop. Indices as the actions use them:
// 0 up, 1 run, 2 about, 3 help, 4 rotate, 5 3D, 6 print, 7 save, 8 free space.
enum ActionImage { aiUp = 0, aiRun, aiAbout, aiHelp, aiRotate, ai3D, aiPrint, aiSave, aiFreeSpace, aiCount };

[[nodiscard]] QIcon ActionIcon(ActionImage image);
// The application's own icon (window and desktop entry).
[[nodiscard]] QIcon ApplicationIcon();

} // namespace tarvo
