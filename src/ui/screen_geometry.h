#pragma once
// Where the windows go on the desktop: pure arithmetic over the screens' rectangles, so that it
// can be tested as tables without a display. Screens of no size (the toolkit's stand-in while
// no monitor is active) count as none.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace kavo {

// Farthest a window's corner may lie from the desktop's origin: beyond any desktop, yet far
// enough from the integer limits that a rectangle placed there keeps its size.
inline constexpr int kCoordinateLimit = 1 << 24;

// A stored coordinate brought within kCoordinateLimit.
int BoundedCoordinate(int coordinate);

// The place a settings file keeps for a window at this place: left of or above the desktop's
// origin counts as 0.
QPoint StorablePlace(QPoint place);

// The top-left corner that keeps a title strip of this height on a screen: a strip that
// touches a work area (or, with wholeStrip, lies wholly inside one) stays where it is;
// otherwise it moves into the work area whose centre is nearest. With no usable screen nothing
// moves.
QPoint ReachablePosition(const QRect& window, int stripHeight, const QList<QRect>& workAreas,
                         bool wholeStrip = false);

// Where a window goes after the screens changed, from the place the user chose: there, where it
// lies wholly in a work area; else wholly inside the work area nearest its strip, where it fits;
// else with its strip wholly on a screen (ReachablePosition).
QPoint PlaceOnScreens(const QRect& userPlace, int stripHeight, const QList<QRect>& workAreas);

// Where the menu opens for the bar's corner at (x, y) in screen pixels, given its size: kept
// inside the work area that holds the corner, if one does.
QPoint MenuPosition(QPoint corner, QSize menu, const QList<QRect>& workAreas);

// The first place of a window whose outer rectangle (frame included) has this size: centred on
// the whole desktop, halves dropped; a corner on no screen moves it into the work area whose
// centre is nearest the desktop's, vertically first, then horizontally.
QPoint FirstPlacement(QSize frame, const QList<QRect>& screens, const QList<QRect>& workAreas);

// The place of a window whose outer rectangle has this size beside the bar, on the work area
// that holds the bar's centre (or the nearest): right of it, else left, below, above, the first
// that fits; where none does, inside the work area covering as little of the bar as it can.
QPoint BesidePlacement(QSize frame, const QRect& bar, const QList<QRect>& workAreas);

// The work area whose centre is nearest the centre of the whole desktop; empty with no screen.
QRect CentralWorkArea(const QList<QRect>& screens, const QList<QRect>& workAreas);

// The largest part of a window's client area, at most its design size, that fits into the work
// area together with the frame around it.
QSize FittingClientSize(QSize design, QSize frameExtra, const QRect& workArea);

}  // namespace kavo
