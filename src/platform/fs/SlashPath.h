#pragma once

// Folder texts with "/" separators, for the host's own places (the settings file, the
// configuration and state folders) where a path is a plain text and an empty one stays empty;
// the paths the user moves through go by PathStyle instead.

#include <string>

namespace tarvo
{

// "/a/b" → "/a/b/"; "" stays "" (PathStyle's makes it the root).
[[nodiscard]] inline std::string WithTrailingSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

// "/a/b//" → "/a/b"; "/" stays "/".
[[nodiscard]] inline std::string WithoutTrailingSlash(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

// The folder part of a file name with its trailing "/"; empty for a bare name.
[[nodiscard]] inline std::string FolderOf(const std::string& fileName)
{
    const auto slash = fileName.rfind('/');
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

} // namespace tarvo
