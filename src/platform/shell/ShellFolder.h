#pragma once

#include "ItemIdList.h"
#include "ShellNamespace.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tarvo
{

// A folder of the namespace as an object, the shape in which the folder tree holds its nodes'
// folders: what the folder contains is asked through it with lists relative to it. Binding is
// free (a folder is its namespace and its absolute list), so nodes share these by pointer.
class TShellFolder
{
public:
    TShellFolder(TShellNamespace& shell, TItemIdList absolute);

    [[nodiscard]] TShellNamespace& Namespace() const { return m_shell; }
    [[nodiscard]] const TItemIdList& AbsoluteList() const { return m_absolute; }

    // The folder's items (SHCONTF_ flags), listed on its volume's worker.
    [[nodiscard]] std::shared_ptr<TPendingListing> EnumObjects(std::uint32_t flags) const;
    // Every attribute of one item of the folder; nullopt when it is gone or does not answer.
    [[nodiscard]] std::optional<std::uint32_t> GetAttributesOf(
        const TItemIdList& relative, std::chrono::milliseconds limit) const;
    [[nodiscard]] std::string GetDisplayNameOf(const TItemIdList& relative) const;
    [[nodiscard]] int CompareIDs(const TItemIdList& a, const TItemIdList& b) const;
    // The item as a folder; nullptr when it is not one or the combined list is no address.
    [[nodiscard]] std::shared_ptr<TShellFolder> BindToObject(const TItemIdList& relative) const;

private:
    TShellNamespace& m_shell;
    TItemIdList m_absolute;
};

using TShellFolderPtr = std::shared_ptr<TShellFolder>;

} // namespace tarvo
