#pragma once

#include "ShellTreeNode.h"

#include <QAbstractItemModel>

#include <functional>
#include <memory>
#include <vector>

namespace tarvo
{

// The item model behind the folder tree: the nodes themselves, one column. Children are
// inserted and removed only through it, so that the view hears of every change.
class TShellTreeModel final : public QAbstractItemModel
{
    Q_OBJECT

public:
    // Roles beyond Qt's: the icon of a selected node, and the node's compressed flag.
    static constexpr int kSelectedIconRole = Qt::UserRole + 1;
    static constexpr int kCompressedRole = Qt::UserRole + 2;

    struct Presentation {
        std::function<QIcon(TShellTreeNode&, bool selected)> icon;
        std::function<QString(const TShellTreeNode&)> toolTip; // empty text: none
        bool checkmarks = false;
    };

    explicit TShellTreeModel(QObject* parent = nullptr);
    ~TShellTreeModel() override;

    void SetPresentation(Presentation presentation) { m_presentation = std::move(presentation); }
    Presentation& GetPresentation() { return m_presentation; }

    [[nodiscard]] TShellTreeNode* Root() const { return m_root.get(); }
    void SetRoot(std::unique_ptr<TShellTreeNode> root);
    // Removes every node; the callback sees each loaded node before it goes.
    void Clear(const std::function<void(TShellTreeNode&)>& forEach = {});

    [[nodiscard]] TShellTreeNode* NodeOf(const QModelIndex& index) const;
    [[nodiscard]] QModelIndex IndexOf(const TShellTreeNode* node) const;

    // Inserts children at a position among the parent's children (-1: at the end).
    void InsertChildren(TShellTreeNode& parent, int position, std::vector<std::unique_ptr<TShellTreeNode>> children);
    void InsertChild(TShellTreeNode& parent, int position, std::unique_ptr<TShellTreeNode> child);
    // Removes the node with its subtree; forEach sees every node of it first.
    void Remove(TShellTreeNode& node, const std::function<void(TShellTreeNode&)>& forEach = {});
    void RemoveChildren(TShellTreeNode& parent, const std::function<void(TShellTreeNode&)>& forEach = {});
    // The view must look at the node again (text, icon, button).
    void Changed(TShellTreeNode& node);
    // Buttons changed somewhere: the view lays its items out again.
    void ButtonsChanged();

    [[nodiscard]] QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    [[nodiscard]] QModelIndex parent(const QModelIndex& child) const override;
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] bool hasChildren(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    static void Visit(TShellTreeNode& node, const std::function<void(TShellTreeNode&)>& forEach);
    static void Renumber(TShellTreeNode& parent, int from);

    std::unique_ptr<TShellTreeNode> m_root;
    Presentation m_presentation;
};

} // namespace tarvo
