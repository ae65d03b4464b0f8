#pragma once
// Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y belong to the document's history. An edit
// keeps them only while it has typing of its own to undo or redo; otherwise
// they reach the window's Undo and Redo. The section buttons take no focus,
// so an edit holds the focus most of the time, and would otherwise swallow
// the keys with nothing of its own to undo.

#include <QObject>

namespace qel::ui {

class HistoryKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Watches every line edit below `window`, those of combo boxes included.
    static void InstallOn(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace qel::ui
