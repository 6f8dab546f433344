#pragma once

// Base of the chart's small value objects (pens, brushes, fonts, 3D options): the owner installs a
// change handler (usually "invalidate my chart"); setters call it only when a value really
// changed. Copies take the values, never the handler, so a copied-in sub-object keeps reporting
// to its own owner ("copied in, never shared").

#include <functional>
#include <utility>

namespace tarvo
{

class TChangeNotifier
{
public:
    using TChangeHandler = std::function<void()>;

    void SetOnChange(TChangeHandler handler) { m_onChange = std::move(handler); }
    [[nodiscard]] const TChangeHandler& OnChange() const { return m_onChange; }

    // The handler is not part of the value.
    bool operator==(const TChangeNotifier&) const { return true; }

protected:
    TChangeNotifier() = default;
    TChangeNotifier(const TChangeNotifier&) { }
    TChangeNotifier& operator=(const TChangeNotifier&) { return *this; }
    ~TChangeNotifier() = default;

    void Changed() const
    {
        if (m_onChange)
            m_onChange();
    }

    // The setter rule in one place: store, and report only a change.
    template <typename Field, typename Value> void Store(Field& field, Value&& value)
    {
        if (field == value)
            return;
        field = std::forward<Value>(value);
        Changed();
    }

    // Whole-value assignment for the derived types: one notification when anything differs.
    template <typename Values> void StoreAll(Values& mine, const Values& theirs)
    {
        if (mine == theirs)
            return;
        mine = theirs;
        Changed();
    }

private:
    TChangeHandler m_onChange;
};

} // namespace tarvo
