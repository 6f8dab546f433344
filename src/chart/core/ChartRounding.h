#pragma once

// The one place where the chart engine turns real numbers into pixels. Rounding takes the nearest
// integer with halves going to the even neighbour (2.5 → 2, 3.5 → 4, −2.5 → −2); truncation cuts
// toward zero. Results outside the target type saturate at its limits and NaN becomes 0, so a
// degenerate layout (a zero-size panel, an infinite scale) draws nothing sensible instead of
// invoking undefined behaviour in the float-to-integer conversion.

#include <cmath>
#include <cstdint>
#include <limits>

namespace tarvo
{

namespace detail
{

    template <typename Int> [[nodiscard]] inline Int SaturatedFromIntegral(double integral)
    {
        if (std::isnan(integral))
            return 0;
        // The upper limit of a 64-bit type is not exactly representable; compare with 2^63.
        constexpr double upper = static_cast<double>(std::numeric_limits<Int>::max()) + 1.0;
        constexpr double lower = static_cast<double>(std::numeric_limits<Int>::min());
        if (integral >= upper)
            return std::numeric_limits<Int>::max();
        if (integral < lower)
            return std::numeric_limits<Int>::min();
        return static_cast<Int>(integral);
    }

    // Nearest integral value as a double, halves to even, independent of the FPU rounding mode.
    [[nodiscard]] inline double RoundHalfEven(double value)
    {
        if (!std::isfinite(value))
            return value;
        const double below = std::floor(value);
        const double fraction = value - below;
        if (fraction > 0.5)
            return below + 1.0;
        if (fraction < 0.5)
            return below;
        return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
    }

} // namespace detail

// Nearest int, halves to even.
[[nodiscard]] inline int Round(double value)
{
    return detail::SaturatedFromIntegral<int>(detail::RoundHalfEven(value));
}

// Nearest 64-bit integer, halves to even.
[[nodiscard]] inline std::int64_t Round64(double value)
{
    return detail::SaturatedFromIntegral<std::int64_t>(detail::RoundHalfEven(value));
}

// Cuts toward zero.
[[nodiscard]] inline int Trunc(double value) { return detail::SaturatedFromIntegral<int>(std::trunc(value)); }

[[nodiscard]] inline std::int64_t Trunc64(double value)
{
    return detail::SaturatedFromIntegral<std::int64_t>(std::trunc(value));
}

// value · numerator / denominator computed exactly in 64 bits and rounded to the nearest integer,
// halves to even (the multiply-then-divide of percentages and gradient steps). A zero denominator
// has no answer: the result is -1, as the platform call it replaces reports failure.
[[nodiscard]] constexpr int MulDiv(int value, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    std::int64_t divisor = denominator;
    if (divisor < 0) {
        divisor = -divisor;
        product = -product;
    }
    std::int64_t quotient = product / divisor; // toward zero
    std::int64_t remainder = product % divisor; // same sign as product
    const std::int64_t twice = 2 * (remainder < 0 ? -remainder : remainder);
    if (twice > divisor || (twice == divisor && quotient % 2 != 0))
        quotient += product < 0 ? -1 : 1;
    if (quotient > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (quotient < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(quotient);
}

} // namespace tarvo
