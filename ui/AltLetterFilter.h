#pragma once
// Alt with a letter opens a menu or presses a button's access key; an edit or
// a spin box would otherwise take a key no shortcut claimed as typing, and
// the user's data would change behind a key meant for the menus. Shortcuts
// are matched before the key press is sent, so swallowing the press leaves
// them working. Ctrl+Alt stays: on Windows it is AltGr, which types.

#include <QObject>

class QWidget;

namespace qel::ui {

class AltLetterFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Watches every key press of the application for as long as `window`
    // lives.
    static void InstallFor(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace qel::ui
