#pragma once

// How a listing that finished on a worker thread reaches the folder tree.

#include "ExplorerTreeView.h"

#include <QCoreApplication>
#include <QEvent>

#include <memory>
#include <mutex>

namespace tarvo
{

// Posted to the tree when a listing that outlasted the placeholder delay is done.
class ExpansionDoneEvent final : public QEvent
{
public:
    ExpansionDoneEvent(TItemIdList folder, std::shared_ptr<TPendingListing> pending)
        : QEvent(Type())
        , list(std::move(folder))
        , call(std::move(pending))
    {
    }
    [[nodiscard]] static QEvent::Type Type()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

    TItemIdList list;
    std::shared_ptr<TPendingListing> call;
};

// The tree's address for worker threads: the tree closes it before it goes, and a post either
// happens before that or not at all, so no thread ever posts to a tree being destroyed.
class TExplorerTreeView::Mailbox
{
public:
    explicit Mailbox(QObject* target)
        : m_target(target)
    {
    }
    void Post(std::unique_ptr<QEvent> event)
    {
        const std::lock_guard lock(m_mutex);
        if (m_target)
            QCoreApplication::postEvent(m_target, event.release());
    }
    void Close()
    {
        const std::lock_guard lock(m_mutex);
        m_target = nullptr;
    }

private:
    std::mutex m_mutex;
    QObject* m_target;
};

} // namespace tarvo
