#include "ui/UpDownButton.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

#include "core/IntConversion.h"
#include "ui/Latin1Text.h"

namespace qel::ui {

namespace {
constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 80;
}  // namespace

UpDownButton::UpDownButton(QLineEdit* buddy, int minimum, int maximum, int step, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum), step_(step), position_(minimum)
{
    setFocusPolicy(Qt::NoFocus);
    buddy_->installEventFilter(this);
    connect(&repeat_, &QTimer::timeout, this, &UpDownButton::repeatStep);
}

int UpDownButton::position() const
{
    const QString text = buddy_->text();
    if (FirstUnstorableCharacter(text) < 0) {
        if (const auto value = qel::TryStrToInt(ToBytes(text)))
            position_ = std::clamp(*value, minimum_, maximum_);
    }
    return position_;
}

void UpDownButton::stepBy(Direction direction)
{
    const int from = position();
    const qint64 proposal = static_cast<qint64>(from) + (direction == Direction::Up ? step_ : -step_);
    emit changingEx(static_cast<int>(proposal), direction);
    const int to = static_cast<int>(std::clamp<qint64>(proposal, minimum_, maximum_));
    position_ = to;
    // The edit always shows the value afterwards, even at a limit.
    buddy_->setText(QString::number(to));
    if (to != from)
        emit clicked(direction);
}

QSize UpDownButton::sizeHint() const
{
    return QSize(16, 21);
}

UpDownButton::Direction UpDownButton::directionAt(const QPoint& point) const
{
    return point.y() < height() / 2 ? Direction::Up : Direction::Down;
}

void UpDownButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int half = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        const Direction direction = i == 0 ? Direction::Up : Direction::Down;
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        const bool down = pressed_ && pressedDirection_ == direction;
        button.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(3, 2, -3, -2);
        style()->drawPrimitive(direction == Direction::Up ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                               &arrow, &painter, this);
    }
}

void UpDownButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    pressed_ = true;
    pressedDirection_ = directionAt(event->position().toPoint());
    update();
    stepBy(pressedDirection_);
    repeat_.start(kFirstRepeatMs);
}

void UpDownButton::mouseReleaseEvent(QMouseEvent*)
{
    repeat_.stop();
    pressed_ = false;
    update();
}

void UpDownButton::repeatStep()
{
    repeat_.setInterval(kRepeatMs);
    if (pressed_ && isEnabled())
        stepBy(pressedDirection_);
    else
        repeat_.stop();
}

bool UpDownButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == buddy_ && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? Direction::Up : Direction::Down);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDownButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        repeat_.stop();
        pressed_ = false;
    }
    QWidget::changeEvent(event);
}

UpDownButton* UpDownButton::Attached(QWidget* parent, const QString& objectName, QLineEdit* buddy, int maximum,
                                     int step)
{
    auto* upDown = new UpDownButton(buddy, 0, maximum, step, parent);
    upDown->setObjectName(objectName);
    const QRect edit = buddy->geometry();
    upDown->setGeometry(edit.right() + 1, edit.top(), 16, edit.height());
    return upDown;
}

}  // namespace qel::ui
