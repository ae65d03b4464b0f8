#pragma once
// The About box. Created hidden once and shown without blocking; the caller
// disables the main window until closed().

#include <QDialog>

class TAboutFrm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutFrm(QWidget* parent = nullptr);

signals:
    // The box was hidden, by "Close" or the title bar's close button.
    void closed();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void bCloseClick();
};
