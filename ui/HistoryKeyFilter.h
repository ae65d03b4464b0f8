#pragma once
// Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y belong to the document's history, and so
// do the Undo and Redo of an edit's context menu. Two kinds of edit:
// - An edit whose typing is itself a step (marked with TypingIsStep): the
//   keys and its menu's entries always run the window's Undo and Redo. Its
//   own undo never runs, so text brought back is never stored again as new
//   typing, and the merged typing step is undone like any other.
// - Any other edit, whose typing is scratch until a button takes it, keeps
//   the keys while it has typing of its own to undo or redo; otherwise they
//   reach the window's Undo and Redo. The section buttons take no focus, so
//   an edit holds the focus most of the time, and would otherwise swallow
//   the keys with nothing of its own to undo.

#include <QObject>

class QAction;
class QKeyEvent;
class QLineEdit;
class QPoint;
class QWidget;

namespace qel::ui {

class HistoryKeyFilter : public QObject {
    Q_OBJECT
public:
    HistoryKeyFilter(QAction* undo, QAction* redo, QObject* parent);

    // Watches every line edit below `window`, those of combo boxes included;
    // `undo` and `redo` are the window's actions.
    static void InstallOn(QWidget& window, QAction* undo, QAction* redo);
    // Marks `edit` as one whose typing is a step of the history.
    static void TypingIsStep(QLineEdit* edit);
    // A key that undoes or redoes, whatever the platform binds.
    static bool IsHistoryKey(const QKeyEvent& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowStepEditMenu(QLineEdit* edit, const QPoint& at);

    QAction* undo_;
    QAction* redo_;
};

}  // namespace qel::ui
