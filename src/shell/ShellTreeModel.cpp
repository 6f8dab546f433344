#include "ShellTreeModel.h"

#include <QIcon>

namespace tarvo
{

TShellTreeModel::TShellTreeModel(QObject* parent)
    : QAbstractItemModel(parent)
{
}

TShellTreeModel::~TShellTreeModel() = default;

void TShellTreeModel::SetRoot(std::unique_ptr<TShellTreeNode> root)
{
    beginResetModel();
    m_root = std::move(root);
    if (m_root) {
        m_root->m_parent = nullptr;
        m_root->m_row = 0;
    }
    endResetModel();
}

void TShellTreeModel::Clear(const std::function<void(TShellTreeNode&)>& forEach)
{
    if (m_root && forEach)
        Visit(*m_root, forEach);
    beginResetModel();
    m_root.reset();
    endResetModel();
}

void TShellTreeModel::Visit(TShellTreeNode& node, const std::function<void(TShellTreeNode&)>& forEach)
{
    // Children first: a folder's subtree goes before the folder.
    for (const auto& child : node.m_children)
        Visit(*child, forEach);
    forEach(node);
}

void TShellTreeModel::Renumber(TShellTreeNode& parent, int from)
{
    for (std::size_t i = static_cast<std::size_t>(from); i < parent.m_children.size(); ++i)
        parent.m_children[i]->m_row = static_cast<int>(i);
}

TShellTreeNode* TShellTreeModel::NodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<TShellTreeNode*>(index.internalPointer()) : nullptr;
}

QModelIndex TShellTreeModel::IndexOf(const TShellTreeNode* node) const
{
    return node ? createIndex(node->m_row, 0, const_cast<TShellTreeNode*>(node)) : QModelIndex();
}

void TShellTreeModel::InsertChildren(
    TShellTreeNode& parent, int position, std::vector<std::unique_ptr<TShellTreeNode>> children)
{
    if (children.empty())
        return;
    const int at = position < 0 || position > parent.Count() ? parent.Count() : position;
    beginInsertRows(IndexOf(&parent), at, at + static_cast<int>(children.size()) - 1);
    for (auto& child : children)
        child->m_parent = &parent;
    parent.m_children.insert(parent.m_children.begin() + at, std::make_move_iterator(children.begin()),
        std::make_move_iterator(children.end()));
    Renumber(parent, at);
    endInsertRows();
}

void TShellTreeModel::InsertChild(TShellTreeNode& parent, int position, std::unique_ptr<TShellTreeNode> child)
{
    std::vector<std::unique_ptr<TShellTreeNode>> one;
    one.push_back(std::move(child));
    InsertChildren(parent, position, std::move(one));
}

void TShellTreeModel::Remove(TShellTreeNode& node, const std::function<void(TShellTreeNode&)>& forEach)
{
    if (forEach)
        Visit(node, forEach);
    TShellTreeNode* parent = node.m_parent;
    if (!parent) {
        Clear();
        return;
    }
    const int row = node.m_row;
    beginRemoveRows(IndexOf(parent), row, row);
    parent->m_children.erase(parent->m_children.begin() + row);
    Renumber(*parent, row);
    endRemoveRows();
}

void TShellTreeModel::RemoveChildren(TShellTreeNode& parent, const std::function<void(TShellTreeNode&)>& forEach)
{
    if (parent.m_children.empty())
        return;
    if (forEach) {
        for (const auto& child : parent.m_children)
            Visit(*child, forEach);
    }
    beginRemoveRows(IndexOf(&parent), 0, parent.Count() - 1);
    parent.m_children.clear();
    endRemoveRows();
}

void TShellTreeModel::Changed(TShellTreeNode& node)
{
    const QModelIndex index = IndexOf(&node);
    Q_EMIT dataChanged(index, index);
}

void TShellTreeModel::ButtonsChanged()
{
    // The view keeps whether an item has children from its last layout.
    Q_EMIT layoutAboutToBeChanged();
    Q_EMIT layoutChanged();
}

QModelIndex TShellTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 && m_root ? IndexOf(m_root.get()) : QModelIndex();
    const TShellTreeNode* node = NodeOf(parent);
    return row < node->Count() ? IndexOf(node->Item(row)) : QModelIndex();
}

QModelIndex TShellTreeModel::parent(const QModelIndex& child) const
{
    const TShellTreeNode* node = NodeOf(child);
    return node ? IndexOf(node->m_parent) : QModelIndex();
}

int TShellTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_root ? 1 : 0;
    return parent.column() == 0 ? NodeOf(parent)->Count() : 0;
}

int TShellTreeModel::columnCount(const QModelIndex& /*parent*/) const { return 1; }

bool TShellTreeModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_root != nullptr;
    const TShellTreeNode* node = NodeOf(parent);
    return node->Count() > 0 || node->hasChildren;
}

QVariant TShellTreeModel::data(const QModelIndex& index, int role) const
{
    TShellTreeNode* node = NodeOf(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return node->text;
    case Qt::DecorationRole:
    case kSelectedIconRole:
        if (node->placeholder || !m_presentation.icon)
            return {};
        return m_presentation.icon(*node, role == kSelectedIconRole);
    case Qt::ToolTipRole:
        if (m_presentation.toolTip && !node->placeholder) {
            const QString tip = m_presentation.toolTip(*node);
            if (!tip.isEmpty())
                return tip;
        }
        return {};
    case Qt::CheckStateRole:
        if (!m_presentation.checkmarks || node->placeholder)
            return {};
        return node->checked ? Qt::Checked : Qt::Unchecked;
    case kCompressedRole:
        return node->compressed;
    default:
        return {};
    }
}

bool TShellTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    TShellTreeNode* node = NodeOf(index);
    if (!node || role != Qt::CheckStateRole || !m_presentation.checkmarks)
        return false;
    node->checked = value.toInt() == Qt::Checked;
    Q_EMIT dataChanged(index, index, { Qt::CheckStateRole });
    return true;
}

Qt::ItemFlags TShellTreeModel::flags(const QModelIndex& index) const
{
    const TShellTreeNode* node = NodeOf(index);
    if (!node)
        return Qt::NoItemFlags;
    if (node->placeholder)
        return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_presentation.checkmarks)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

} // namespace tarvo
