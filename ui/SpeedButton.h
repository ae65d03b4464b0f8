#pragma once
// A picture button with an optional caption beside the picture, drawn with
// tight margins so that the short captions fit the small buttons of the
// sections. It takes no keyboard focus, so pressing it never moves the
// focus out of an edit.

#include <QToolButton>

namespace qel::ui {

class SpeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit SpeedButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qel::ui
