#pragma once

// Errors of the chart engine. A setter that rejects a value raises ChartException (or the area's
// own subclass) before it changes anything, so the property keeps its old value.

#include <stdexcept>
#include <string>

namespace tarvo
{

class ChartException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// An index outside a point list, worded as the list classes of the platform the chart comes from
// word it ("List index out of bounds (7)").
class ChartListIndexError : public std::out_of_range
{
public:
    explicit ChartListIndexError(long long index)
        : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")")
    {
    }
};

} // namespace tarvo
