#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace qel::ui {

QRect FitOnScreen(const QRect& frame, const QRect& available)
{
    if (!available.isValid())
        return frame;
    const int width = std::min(frame.width(), available.width());
    const int height = std::min(frame.height(), available.height());
    const int x = std::clamp(frame.x(), available.left(), available.left() + available.width() - width);
    const int y = std::clamp(frame.y(), available.top(), available.top() + available.height() - height);
    return {x, y, width, height};
}

void PlaceOnScreen(QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (screen == nullptr)
        screen = window.screen();
    if (screen == nullptr)
        return;
    const QRect fitted = FitOnScreen(frame, screen->availableGeometry());
    if (fitted == frame)
        return;
    // The frame's borders and title bar stay as they are: the inside gives
    // way.
    const QSize inside = window.size() - (frame.size() - fitted.size());
    window.resize(inside);
    window.move(fitted.topLeft());
}

}  // namespace qel::ui
