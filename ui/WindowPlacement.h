#pragma once
// Windows open fully on the screen they open on: a remembered place from a
// larger or since removed screen, or a default size above a small screen's,
// would leave a part of the window, its title bar perhaps, out of reach.

#include <QRect>

class QWidget;

namespace qel::ui {

// `frame` moved, and shrunk where it is larger, to lie inside `available`.
QRect FitOnScreen(const QRect& frame, const QRect& available);

// Fits the window's frame onto the available area of the screen under its
// middle (its own screen when none is).
void PlaceOnScreen(QWidget& window);

}  // namespace qel::ui
