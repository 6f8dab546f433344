#include "ShellFolder.h"

namespace tarvo
{

TShellFolder::TShellFolder(TShellNamespace& shell, TItemIdList absolute)
    : m_shell(shell)
    , m_absolute(std::move(absolute))
{
}

std::shared_ptr<TPendingListing> TShellFolder::EnumObjects(std::uint32_t flags) const
{
    return m_shell.StartListing(m_absolute, flags);
}

std::optional<std::uint32_t> TShellFolder::GetAttributesOf(
    const TItemIdList& relative, std::chrono::milliseconds limit) const
{
    return m_shell.AttributesOf(m_absolute.Combined(relative), limit);
}

std::string TShellFolder::GetDisplayNameOf(const TItemIdList& relative) const
{
    return m_shell.DisplayNameOf(m_absolute.Combined(relative));
}

int TShellFolder::CompareIDs(const TItemIdList& a, const TItemIdList& b) const { return m_shell.CompareIDs(a, b); }

std::shared_ptr<TShellFolder> TShellFolder::BindToObject(const TItemIdList& relative) const
{
    TItemIdList absolute = m_absolute.Combined(relative);
    if (!m_shell.IsValidAbsolute(absolute) || (!absolute.IsEmpty() && absolute.Last().kind == ItemKind::ikNonFolder))
        return nullptr;
    return std::make_shared<TShellFolder>(m_shell, std::move(absolute));
}

} // namespace tarvo
