#pragma once

#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>

// Keeping the main window on the screens there are: a first window no larger than the screen,
// and a remembered place that no longer lies on any screen brought back onto one.

/// The room a window's decorations (title bar, borders) are given before the window manager
/// tells their real size.
QMargins DecorationAllowance();

/// A window of client size `wanted` on a screen whose free area is `available`: each side no
/// larger than what fits there with `decorations` around it.
QSize FitSizeOnScreen(QSize wanted, const QRect& available, const QMargins& decorations);

/// The client size of a first window on a screen whose free area is `available`: on a screen
/// with room for half as much again as `base`, two thirds of the free height with the
/// proportions of `base`; never smaller than `base` or `minimum`, and always fitted on the
/// screen with `decorations` around it.
QSize FirstWindowSize(QSize base, QSize minimum, const QRect& available, const QMargins& decorations);

/// Where a window whose outer rectangle is `frame` may stand on screens whose free areas are
/// `screens`: unchanged when it lies wholly on one of them; otherwise on the screen it
/// overlaps most (the first, the primary screen, when it overlaps none), no larger than that
/// screen's area and moved inside it.
QRect FitOnScreens(const QRect& frame, const QList<QRect>& screens);
