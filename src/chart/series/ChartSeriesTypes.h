#pragma once

// Small value types that series, charts, legends and mouse handling share.

#include <QFlags>
#include <Qt>

namespace tarvo
{

// Which horizontal / vertical axis of the chart a series is drawn against.
enum class THorizAxis { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };
using enum THorizAxis;
enum class TVertAxis { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };
using enum TVertAxis;

// What a legend row says about a point.
enum class TLegendTextStyle { ltsPlain, ltsLeftValue, ltsRightValue, ltsLeftPercent, ltsRightPercent, ltsXValue };
using enum TLegendTextStyle;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;

// Keys and buttons held during a mouse event; ssDouble marks the second press of a double click.
enum TShiftFlag : unsigned {
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};
using TShiftState = QFlags<TShiftFlag>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TShiftState)

// Mouse cursors; crDefault leaves the control's own cursor in place.
using TCursor = Qt::CursorShape;
inline constexpr TCursor crDefault = Qt::ArrowCursor;
inline constexpr TCursor crHandPoint = Qt::PointingHandCursor;

// What a series tells the series that take their points from it.
enum class TSeriesNotice { snClear, snAdd, snDelete, snRefresh };
using enum TSeriesNotice;

} // namespace tarvo
