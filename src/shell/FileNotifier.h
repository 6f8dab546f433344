#pragma once

#include "ItemIdList.h"
#include "ShellChangeSource.h"
#include "ShellNamespace.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <vector>

class QEvent;
class QObject;
class QSocketNotifier;

namespace tarvo
{

// The kinds of an event set, by bit. Single shell events 0-18 keep their bit position; the
// composite kinds 21-23 are set only when every one of their bits is.
enum TShellEventKind : std::uint8_t {
    sekRenameItem,
    sekCreate,
    sekDelete,
    sekMkDir,
    sekRmDir,
    sekMediaInserted,
    sekMediaRemoved,
    sekDriveRemoved,
    sekDriveAdd,
    sekNetShare,
    sekNetUnshare,
    sekAttributes,
    sekUpdateDir,
    sekUpdateItem,
    sekServerDisconnect,
    sekUpdateImage,
    sekDriveAddGui,
    sekRenameFolder,
    sekFreeSpace,
    sekExtendedEvent,
    sekAssocChanged,
    sekDiskEvents,
    sekGlobalEvents,
    sekAllEvents,
    sekInterrupt,
    sekCount
};
using TShellEventSet = std::bitset<sekCount>;

// The event set of a shell event identifier: kind i when every bit of its value is set.
[[nodiscard]] TShellEventSet EventSetOf(std::uint32_t eventId);

// The two items of an event: the item, and for a rename its new identity.
struct TShellEventPair {
    TItemIdList first;
    TItemIdList second;
};

// One event waiting for dispatch; it owns its lists.
struct TBufferedEvent {
    TItemIdList first;
    TItemIdList second;
    TShellEventSet events;
    bool dispatched = false; // being handed to the handler
};

class TFileNotifier;
using TFileChangeEvent
    = std::function<void(TFileNotifier& sender, const TShellEventSet& events, const TShellEventPair& items)>;

// Listens to the namespace's changes, buffers them, merges the ones about one folder, and hands
// them one at a time to OnFileChange on the GUI thread. A notification is a QEvent posted to a
// private object; buffering it posts a second event that dispatches the oldest waiting one, so a
// burst read at once is buffered whole before anything is dispatched, and merges.
class TFileNotifier
{
public:
    explicit TFileNotifier(TShellNamespace& shell);
    ~TFileNotifier();
    TFileNotifier(const TFileNotifier&) = delete;
    TFileNotifier& operator=(const TFileNotifier&) = delete;

    TFileChangeEvent OnFileChange;

    [[nodiscard]] bool ConcatenateEvents() const { return m_concatenate; }
    void SetConcatenateEvents(bool concatenate) { m_concatenate = concatenate; }
    // Registered with the change sources; true from construction. While inactive, what the
    // sources report is read and dropped, so nothing stale arrives when it is active again.
    [[nodiscard]] bool Active() const { return m_active; }
    void SetActive(bool active);

    // The folder watches the tree keeps for its loaded nodes.
    [[nodiscard]] TShellChangeSource& Source() { return *m_source; }

    // Posts a notification as the shell would: handled by the event loop, UPDATEIMAGE at once,
    // anything else buffered.
    void Notify(std::uint32_t eventId, const TItemIdList& first, const TItemIdList& second = {});
    // What the notifier does with a notification once the event loop hands it over.
    void Receive(std::uint32_t eventId, const TShellEventPair& items);
    // Merges the mergeable, undispatched events by their folder: the first event of each folder
    // survives, as an update of that folder when others joined it; the rest are dropped.
    void DoConcatenateEvents();
    [[nodiscard]] const std::list<TBufferedEvent>& Events() const { return m_events; }

private:
    class Window;
    // Attaches to the sources' descriptors and wake-up, once.
    void Register();
    void WndProc(QEvent& event);
    void DispatchOne();
    void ReadSource(int readyFd);

    TShellNamespace& m_shell;
    std::unique_ptr<TShellChangeSource> m_source;
    std::unique_ptr<QObject> m_window;
    std::vector<std::unique_ptr<QSocketNotifier>> m_sockets;
    std::list<TBufferedEvent> m_events; // oldest first
    bool m_concatenate = false;
    bool m_active = false;
    bool m_unmerged = false; // events arrived since the last merge
};

} // namespace tarvo
