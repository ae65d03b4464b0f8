#include "ui/SpeedButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace qel::ui {

namespace {
constexpr int kMargin = 4;
constexpr int kSpacing = 3;
}  // namespace

SpeedButton::SpeedButton(QWidget* parent) : QToolButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

QSize SpeedButton::sizeHint() const
{
    const bool hasIcon = !icon().isNull();
    const QString caption = text();
    int width = 2 * kMargin;
    if (hasIcon)
        width += iconSize().width();
    if (!caption.isEmpty())
        width += (hasIcon ? kSpacing : 0) + fontMetrics().horizontalAdvance(caption);
    const int height = qMax(hasIcon ? iconSize().height() : 0, fontMetrics().height()) + 2 * kMargin - 2;
    return QSize(width, height);
}

QSize SpeedButton::minimumSizeHint() const
{
    return sizeHint();
}

void SpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionButton panel;
    panel.initFrom(this);
    const bool down = isDown() || isChecked();
    panel.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &panel, &painter, this);

    const QString caption = text();
    const bool hasIcon = !icon().isNull();
    const QSize picture = hasIcon ? iconSize() : QSize(0, 0);
    const int textWidth = caption.isEmpty() ? 0 : fontMetrics().horizontalAdvance(caption);
    const int contentWidth = picture.width() + (hasIcon && textWidth ? kSpacing : 0) + textWidth;
    QRect content(0, 0, contentWidth, height());
    content.moveLeft((width() - contentWidth) / 2);
    if (down)
        content.translate(1, 1);

    if (hasIcon) {
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        const QRect iconRect(content.left(), content.top() + (content.height() - picture.height()) / 2, picture.width(),
                             picture.height());
        icon().paint(&painter, iconRect, Qt::AlignCenter, mode);
    }
    if (!caption.isEmpty()) {
        QRect textRect = content;
        textRect.setLeft(content.left() + contentWidth - textWidth);
        style()->drawItemText(&painter, textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextShowMnemonic, palette(),
                              isEnabled(), caption, QPalette::ButtonText);
    }
}

}  // namespace qel::ui
