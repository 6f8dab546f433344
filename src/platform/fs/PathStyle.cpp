#include "PathStyle.h"

#include <algorithm>

namespace tarvo
{

namespace
{

    bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

    // "X:" at the front: under the Windows style the colon ends a drive-relative prefix, so
    // "C:Data" has the name "Data" and the folder "C:" even without a separator.
    bool HasDrivePrefix(const PathStyle& style, std::string_view path)
    {
        return style.GetKind() == PathStyle::pkWindows && path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
    }

    // Length of the root at the front of the path, its first separator included; 0 when the path
    // is relative. Separators that follow the first one are not part of the root.
    std::size_t RootLength(const PathStyle& style, std::string_view path)
    {
        if (style.GetKind() == PathStyle::pkWindows)
            return HasDrivePrefix(style, path) && path.size() >= 3 && style.IsSeparator(path[2]) ? 3 : 0;
        return !path.empty() && path[0] == '/' ? 1 : 0;
    }

    std::size_t FindLastSeparator(const PathStyle& style, std::string_view path)
    {
        for (std::size_t i = path.size(); i > 0; --i) {
            if (style.IsSeparator(path[i - 1]))
                return i - 1;
        }
        return std::string_view::npos;
    }

    bool SameName(const PathStyle& style, std::string_view a, std::string_view b)
    {
        if (style.GetKind() != PathStyle::pkWindows)
            return a == b;
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return std::equal(
            a.begin(), a.end(), b.begin(), b.end(), [&lower](char x, char y) { return lower(x) == lower(y); });
    }

} // namespace

const PathStyle& PathStyle::Posix()
{
    static const PathStyle style(pkPosix);
    return style;
}

const PathStyle& PathStyle::Windows()
{
    static const PathStyle style(pkWindows);
    return style;
}

// Only POSIX systems are built; a Windows port would pick its style in its own platform file.
const PathStyle& PathStyle::Host() { return Posix(); }

bool PathStyle::IsSeparator(char c) const
{
    // Windows APIs accept the forward slash as well, so paths typed either way split alike.
    return c == '/' || (m_kind == pkWindows && c == '\\');
}

bool PathStyle::EndsWithSeparator(std::string_view path) const { return !path.empty() && IsSeparator(path.back()); }

std::string PathStyle::IncludeTrailingSeparator(std::string_view path) const
{
    std::string result(path);
    // An empty path becomes a lone separator, which names the root of the current volume:
    // callers rely on that to treat "" like "\" when they test whether a folder exists.
    if (!EndsWithSeparator(path))
        result += Separator();
    return result;
}

std::string PathStyle::ExcludeTrailingSeparator(std::string_view path) const
{
    const std::size_t rootLength = RootLength(*this, path);
    std::size_t end = path.size();
    while (end > rootLength && IsSeparator(path[end - 1]))
        --end;
    return std::string(path.substr(0, end));
}

bool PathStyle::IsRoot(std::string_view path) const
{
    const std::size_t rootLength = RootLength(*this, path);
    if (rootLength == 0)
        return false;
    for (std::size_t i = rootLength; i < path.size(); ++i) {
        if (!IsSeparator(path[i]))
            return false;
    }
    return true;
}

std::string PathStyle::RootOf(std::string_view path) const
{
    return std::string(path.substr(0, RootLength(*this, path)));
}

std::string PathStyle::FileName(std::string_view path) const
{
    const std::string trimmed = ExcludeTrailingSeparator(path);
    const std::size_t rootLength = RootLength(*this, trimmed);
    if (rootLength > 0 && trimmed.size() == rootLength)
        return {};
    const std::size_t separator = FindLastSeparator(*this, trimmed);
    if (separator != std::string_view::npos)
        return trimmed.substr(separator + 1);
    return HasDrivePrefix(*this, trimmed) ? trimmed.substr(2) : trimmed;
}

std::string PathStyle::Parent(std::string_view path) const
{
    const std::string trimmed = ExcludeTrailingSeparator(path);
    const std::size_t rootLength = RootLength(*this, trimmed);
    if (rootLength > 0 && trimmed.size() == rootLength)
        return trimmed;
    const std::size_t separator = FindLastSeparator(*this, trimmed);
    if (separator == std::string_view::npos)
        return HasDrivePrefix(*this, trimmed) ? trimmed.substr(0, 2) : std::string();
    // Cutting at the separator may leave a run of them ("//usr" or "/a//b"); trim it, which
    // keeps a root whole.
    return ExcludeTrailingSeparator(std::string_view(trimmed).substr(0, separator + 1));
}

std::string PathStyle::Join(std::string_view folder, std::string_view name) const
{
    std::string result = IncludeTrailingSeparator(folder);
    result += name;
    return result;
}

std::vector<std::string_view> PathStyle::Components(std::string_view path) const
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (i > start)
                parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

bool PathStyle::Holds(std::string_view folder, std::string_view path) const
{
    const std::size_t folderRoot = RootLength(*this, folder);
    const std::size_t pathRoot = RootLength(*this, path);
    // The roots without their separator: "" for "/", the drive letter and colon for "C:\".
    if (folderRoot == 0 || pathRoot == 0
        || !SameName(*this, folder.substr(0, folderRoot - 1), path.substr(0, pathRoot - 1)))
        return false;
    const std::vector<std::string_view> within = Components(folder.substr(folderRoot));
    const std::vector<std::string_view> names = Components(path.substr(pathRoot));
    return within.size() <= names.size()
        && std::equal(within.begin(), within.end(), names.begin(),
            [this](std::string_view a, std::string_view b) { return SameName(*this, a, b); });
}

} // namespace tarvo
