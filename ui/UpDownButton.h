#pragma once
// A spin button bound to an edit: two small arrows beside a QLineEdit that
// step the number the edit shows. The edit stays a plain QLineEdit, so any
// text can still be typed into it; the arrows (and the Up/Down keys in the
// edit) only step numbers, within the minimum and maximum, and show them
// without a thousands separator.

#include <QTimer>
#include <QWidget>

class QLineEdit;

namespace qel::ui {

class UpDownButton : public QWidget {
    Q_OBJECT
public:
    enum class Direction { Up, Down };

    UpDownButton(QLineEdit* buddy, int minimum, int maximum, int step, QWidget* parent = nullptr);
    // The button named `objectName`, placed against the right edge of its
    // edit, from 0 to `maximum`.
    static UpDownButton* Attached(QWidget* parent, const QString& objectName, QLineEdit* buddy, int maximum, int step);

    QLineEdit* buddy() const { return buddy_; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int step() const { return step_; }
    // The value, taken from the edit's text when that is a number.
    int position() const;

    // One arrow click.
    void stepBy(Direction direction);

    QSize sizeHint() const override;

signals:
    // Before the value moves: the proposal is the value plus or minus the
    // step, not yet held to the range.
    void changingEx(int proposedValue, qel::ui::UpDownButton::Direction direction);
    // After an arrow moved the value (a click at a limit does not count).
    void clicked(qel::ui::UpDownButton::Direction direction);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Direction directionAt(const QPoint& point) const;
    void repeatStep();

    QLineEdit* buddy_;
    int minimum_;
    int maximum_;
    int step_;
    mutable int position_;
    bool pressed_ = false;
    Direction pressedDirection_ = Direction::Up;
    QTimer repeat_;
};

}  // namespace qel::ui
