#pragma once

#include <string>

namespace tarvo
{

// Asks the desktop to open a folder in its file manager (xdg-open here), passing the path's
// bytes unchanged so names that are not UTF-8 still open. Returns at once; the result is not
// awaited and no child is left behind as a zombie. false only when nothing could be started.
bool ShellOpenFolder(const std::string& path);
// The same for an address ("mailto:...", "https://..."): the desktop's mail program or browser.
// The address goes to the opener as given, so it must already be encoded.
bool ShellOpenUrl(const std::string& url);

} // namespace tarvo
