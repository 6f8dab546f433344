#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo
{

// Path syntax as a value. Paths are byte strings in the file system's own encoding; a
// PathStyle never decodes them. The running program uses Host(); the Windows style exists so
// that drive-letter paths ("C:\Data") can be exercised against an in-memory file system.
class PathStyle
{
public:
    enum Kind { pkPosix, pkWindows };

    [[nodiscard]] static const PathStyle& Posix();
    [[nodiscard]] static const PathStyle& Windows();
    [[nodiscard]] static const PathStyle& Host();

    [[nodiscard]] Kind GetKind() const { return m_kind; }
    [[nodiscard]] char Separator() const { return m_kind == pkWindows ? '\\' : '/'; }
    [[nodiscard]] bool IsSeparator(char c) const;

    [[nodiscard]] bool EndsWithSeparator(std::string_view path) const;
    // "C:\Data" -> "C:\Data\"; a path that already ends in a separator is returned as it is.
    [[nodiscard]] std::string IncludeTrailingSeparator(std::string_view path) const;
    // Removes trailing separators but never shortens a root: "/" and "C:\" stay.
    [[nodiscard]] std::string ExcludeTrailingSeparator(std::string_view path) const;

    // "/" (POSIX) or a drive letter, colon and separator such as "C:\" or "c:\" (Windows).
    // Trailing separators beyond the first are tolerated ("//", "C:\\").
    [[nodiscard]] bool IsRoot(std::string_view path) const;
    // The root that starts an absolute path ("/" or "C:\"), or empty when the path has none.
    [[nodiscard]] std::string RootOf(std::string_view path) const;
    [[nodiscard]] bool IsAbsolute(std::string_view path) const { return !RootOf(path).empty(); }

    // The last component, trailing separators ignored: "C:\Data\Sub\" -> "Sub"; a root -> "".
    [[nodiscard]] std::string FileName(std::string_view path) const;
    // The folder above, without a trailing separator unless it is a root:
    // "C:\Data\Sub" -> "C:\Data", "C:\Data" -> "C:\", "/usr" -> "/"; a root -> itself.
    [[nodiscard]] std::string Parent(std::string_view path) const;
    // The names between separators, empty ones skipped: "a//b\\" -> "a", "b" under Windows.
    [[nodiscard]] std::vector<std::string_view> Components(std::string_view path) const;
    // True when path is folder itself or lies below it, compared name by name: "/mnt/usb" holds
    // "/mnt/usb/a" and "/mnt//usb/" but not "/mnt/usbkey". Names match ASCII case-insensitively
    // under the Windows style. Relative paths hold and lie in nothing.
    [[nodiscard]] bool Holds(std::string_view folder, std::string_view path) const;
    // folder + separator (when missing) + name.
    [[nodiscard]] std::string Join(std::string_view folder, std::string_view name) const;

private:
    explicit PathStyle(Kind kind)
        : m_kind(kind)
    {
    }
    Kind m_kind;
};

} // namespace tarvo
