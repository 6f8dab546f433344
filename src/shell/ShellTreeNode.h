#pragma once

#include "ItemIdList.h"
#include "ShellFolder.h"

#include <QString>

#include <memory>
#include <vector>

namespace tarvo
{

// One node of the folder tree: a namespace item with the folders it is asked through. Nodes
// own their children; the tree's model owns the top-level node.
class TShellTreeNode
{
public:
    TShellTreeNode() = default;
    TShellTreeNode(const TShellTreeNode&) = delete;
    TShellTreeNode& operator=(const TShellTreeNode&) = delete;

    bool compressed = false; // drawn in the tree's CompressedColor while not selected
    TShellFolderPtr parentFolder; // the folder that holds the item
    TShellFolderPtr ownFolder; // the item as a folder, bound on first use (NodeFolder)
    TItemIdList relativeList; // the item inside its parent folder
    TItemIdList absoluteList; // the item from the Desktop

    QString text;
    int imageIndex = -1; // computed on first display
    int selectedIndex = -1;
    int overlayIndex = -1;
    bool hasChildren = false; // shows an expand button
    bool childrenLoaded = false; // enumerated at least once
    bool placeholder = false; // the one "…" child of an expansion that is still running
    bool watched = false; // its folder's changes are followed
    bool checked = false;

    [[nodiscard]] TShellTreeNode* Parent() const { return m_parent; }
    [[nodiscard]] int Index() const { return m_row; } // among its siblings
    [[nodiscard]] int Count() const { return static_cast<int>(m_children.size()); }
    [[nodiscard]] TShellTreeNode* Item(int index) const { return m_children[static_cast<std::size_t>(index)].get(); }
    [[nodiscard]] bool HasAsParent(const TShellTreeNode* ancestor) const
    {
        for (const TShellTreeNode* up = m_parent; up; up = up->m_parent) {
            if (up == ancestor)
                return true;
        }
        return false;
    }

private:
    friend class TShellTreeModel;
    TShellTreeNode* m_parent = nullptr;
    int m_row = 0;
    std::vector<std::unique_ptr<TShellTreeNode>> m_children;
};

} // namespace tarvo
