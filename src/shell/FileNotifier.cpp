#include "FileNotifier.h"

#include "ShellCommon.h"
#include "ShellTypes.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>

namespace tarvo
{

namespace
{

    // The shell event value of each kind, by bit.
    constexpr std::array<std::uint32_t, sekCount> kKindValues = {
        SHCNE_RENAMEITEM,
        SHCNE_CREATE,
        SHCNE_DELETE,
        SHCNE_MKDIR,
        SHCNE_RMDIR,
        SHCNE_MEDIAINSERTED,
        SHCNE_MEDIAREMOVED,
        SHCNE_DRIVEREMOVED,
        SHCNE_DRIVEADD,
        SHCNE_NETSHARE,
        SHCNE_NETUNSHARE,
        SHCNE_ATTRIBUTES,
        SHCNE_UPDATEDIR,
        SHCNE_UPDATEITEM,
        SHCNE_SERVERDISCONNECT,
        SHCNE_UPDATEIMAGE,
        SHCNE_DRIVEADDGUI,
        SHCNE_RENAMEFOLDER,
        SHCNE_FREESPACE,
        SHCNE_EXTENDED_EVENT,
        SHCNE_ASSOCCHANGED,
        SHCNE_DISKEVENTS,
        SHCNE_GLOBALEVENTS,
        SHCNE_ALLEVENTS,
        SHCNE_INTERRUPT,
    };

    // Kinds about the entries of one folder, which an update of that folder covers.
    TShellEventSet MergeableKinds()
    {
        TShellEventSet kinds;
        for (const TShellEventKind kind :
            { sekRenameItem, sekCreate, sekDelete, sekMkDir, sekRmDir, sekUpdateDir, sekUpdateItem, sekRenameFolder })
            kinds.set(kind);
        return kinds;
    }

    bool IsMergeable(const TBufferedEvent& event)
    {
        static const TShellEventSet mergeable = MergeableKinds();
        if (event.dispatched || event.events.none() || (event.events & ~mergeable).any())
            return false;
        // A move concerns two folders: merged into an update of the old one, the new one would
        // never show what arrived.
        const bool rename = event.events.test(sekRenameItem) || event.events.test(sekRenameFolder);
        return !rename || event.first.WithoutLast() == event.second.WithoutLast();
    }

    // The folder an event is about: its item's container, or the folder itself for an update.
    TItemIdList KeyOf(const TBufferedEvent& event)
    {
        return event.events.test(sekUpdateDir) ? event.first : event.first.WithoutLast();
    }

    // The notifier's two messages and the wake-up of sources that have no descriptor.
    const QEvent::Type kNotificationEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
    const QEvent::Type kDispatchEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
    const QEvent::Type kSourceReadyEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

    class NotificationEvent final : public QEvent
    {
    public:
        NotificationEvent(std::uint32_t eventId, TShellEventPair items)
            : QEvent(kNotificationEvent)
            , eventId(eventId)
            , items(std::move(items))
        {
        }
        std::uint32_t eventId;
        TShellEventPair items;
    };

} // namespace

TShellEventSet EventSetOf(std::uint32_t eventId)
{
    TShellEventSet events;
    for (std::size_t kind = 0; kind < kKindValues.size(); ++kind) {
        if ((eventId & kKindValues[kind]) == kKindValues[kind])
            events.set(kind);
    }
    return events;
}

// The hidden window: receives the notifier's messages on the GUI thread.
class TFileNotifier::Window final : public QObject
{
public:
    explicit Window(TFileNotifier& owner)
        : m_owner(owner)
    {
    }
    bool event(QEvent* event) override
    {
        if (event->type() != kNotificationEvent && event->type() != kDispatchEvent
            && event->type() != kSourceReadyEvent)
            return QObject::event(event);
        m_owner.WndProc(*event);
        return true;
    }

private:
    TFileNotifier& m_owner;
};

TFileNotifier::TFileNotifier(TShellNamespace& shell)
    : m_shell(shell)
    , m_source(std::make_unique<TShellChangeSource>(shell))
    , m_window(std::make_unique<Window>(*this))
{
    Register();
    m_active = true;
}

TFileNotifier::~TFileNotifier() { m_source->SetWakeUp(nullptr); }

void TFileNotifier::Register()
{
    for (const WatchDescriptor& descriptor : m_source->Descriptors()) {
        auto socket = std::make_unique<QSocketNotifier>(
            descriptor.fd, descriptor.exceptional ? QSocketNotifier::Exception : QSocketNotifier::Read);
        const int fd = descriptor.fd;
        QObject::connect(socket.get(), &QSocketNotifier::activated, m_window.get(), [this, fd] { ReadSource(fd); });
        m_sockets.push_back(std::move(socket));
    }
    QPointer<QObject> window(m_window.get());
    m_source->SetWakeUp([window] {
        if (window)
            QCoreApplication::postEvent(window.data(), new QEvent(kSourceReadyEvent));
    });
}

void TFileNotifier::SetActive(bool active) { m_active = active; }

void TFileNotifier::Notify(std::uint32_t eventId, const TItemIdList& first, const TItemIdList& second)
{
    QCoreApplication::postEvent(m_window.get(), new NotificationEvent(eventId, { first, second }));
}

void TFileNotifier::ReadSource(int readyFd)
{
    // Read even while inactive, so that the kernel's queue never overflows with stale events.
    for (ShellChange& change : m_source->Read(readyFd)) {
        if (m_active)
            Notify(change.eventId, change.first, change.second);
    }
}

void TFileNotifier::WndProc(QEvent& event)
{
    if (event.type() == kSourceReadyEvent) {
        ReadSource(-1);
    } else if (event.type() == kNotificationEvent) {
        const auto& notification = static_cast<NotificationEvent&>(event);
        Receive(notification.eventId, notification.items);
    } else if (event.type() == kDispatchEvent) {
        DispatchOne();
    }
}

void TFileNotifier::Receive(std::uint32_t eventId, const TShellEventPair& items)
{
    if (eventId == SHCNE_UPDATEIMAGE) {
        if (OnFileChange)
            OnFileChange(*this, EventSetOf(eventId), items);
        return;
    }
    m_events.push_back(TBufferedEvent {
        TPidlManager::Clone(items.first), TPidlManager::Clone(items.second), EventSetOf(eventId), false });
    m_unmerged = true;
    QCoreApplication::postEvent(m_window.get(), new QEvent(kDispatchEvent));
}

void TFileNotifier::DispatchOne()
{
    // Merging is idempotent until something new arrives, and each of the posted dispatch messages
    // would otherwise go over the whole list again.
    if (m_concatenate && m_unmerged)
        DoConcatenateEvents();
    const auto waiting
        = std::find_if(m_events.begin(), m_events.end(), [](const TBufferedEvent& event) { return !event.dispatched; });
    if (waiting == m_events.end())
        return;
    waiting->dispatched = true;
    // Erased however the handler leaves; nested dispatches and merges skip dispatched events, so
    // the iterator stays valid.
    struct Erase {
        std::list<TBufferedEvent>& events;
        std::list<TBufferedEvent>::iterator event;
        ~Erase() { events.erase(event); }
    } erase { m_events, waiting };
    if (OnFileChange)
        OnFileChange(*this, waiting->events, TShellEventPair { waiting->first, waiting->second });
}

void TFileNotifier::DoConcatenateEvents()
{
    m_unmerged = false;
    std::unordered_map<std::string, TBufferedEvent*> firstOfFolder;
    for (auto event = m_events.begin(); event != m_events.end();) {
        if (!IsMergeable(*event)) {
            ++event;
            continue;
        }
        TItemIdList key = KeyOf(*event);
        const auto [slot, first] = firstOfFolder.try_emplace(key.Bytes(), &*event);
        if (first) {
            ++event;
            continue;
        }
        TBufferedEvent& survivor = *slot->second;
        if (!survivor.events.test(sekUpdateDir)) {
            survivor.events.reset();
            survivor.events.set(sekUpdateDir);
            survivor.first = std::move(key);
        }
        event = m_events.erase(event);
    }
}

} // namespace tarvo
