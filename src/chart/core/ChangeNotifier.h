#pragma once

// The chart's one way of reporting a change: every part (a pen, a brush, a font, the 3D options,
// a value list, the marks, a title, a wall, an axis, the legend, a series) reports to a handler
// that its owner installs, and never calls its owner itself. Setters call the handler only when a
// value really changed. Copies take the values, never the handler, so a copied-in sub-object
// keeps reporting to its own owner ("copied in, never shared"). Parts that must say more than
// "something changed" (a value list) report with details: TChangeReporter<Kind, ...>.

#include <functional>
#include <utility>

namespace tarvo
{

template <typename... Details> class TChangeReporter
{
public:
    using TChangeHandler = std::function<void(Details...)>;

    void SetOnChange(TChangeHandler handler) { m_onChange = std::move(handler); }
    [[nodiscard]] const TChangeHandler& OnChange() const { return m_onChange; }

protected:
    TChangeReporter() = default;
    TChangeReporter(const TChangeReporter&) { }
    TChangeReporter& operator=(const TChangeReporter&) { return *this; }
    ~TChangeReporter() = default;

    void Changed(Details... details) const
    {
        if (m_onChange)
            m_onChange(details...);
    }

    // The setter rule in one place: store, and report only a change.
    template <typename Field, typename Value> void Store(Field& field, Value&& value, Details... details)
    {
        if (field == value)
            return;
        field = std::forward<Value>(value);
        Changed(details...);
    }

    // Whole-value assignment: one report when anything differs.
    template <typename Values> void StoreAll(Values& mine, const Values& theirs, Details... details)
    {
        if (mine == theirs)
            return;
        mine = theirs;
        Changed(details...);
    }

private:
    TChangeHandler m_onChange;
};

// A change that needs no words: "repaint what shows me".
using TChangeNotifier = TChangeReporter<>;

} // namespace tarvo
