#include "HistoryKeyFilter.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace qel::ui {

void HistoryKeyFilter::InstallOn(QWidget& window)
{
    auto* filter = new HistoryKeyFilter(&window);
    for (QLineEdit* edit : window.findChildren<QLineEdit*>())
        edit->installEventFilter(filter);
    // An editable combo box holds the focus for its edit and hands it the
    // keys itself, past the edit's filters.
    for (QComboBox* box : window.findChildren<QComboBox*>())
        box->installEventFilter(filter);
}

bool HistoryKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (auto* box = qobject_cast<QComboBox*>(watched))
        edit = box->lineEdit();
    const bool override = event->type() == QEvent::ShortcutOverride;
    if (!edit || (!override && event->type() != QEvent::KeyPress))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeyCombination pressed = key->keyCombination();
    const bool undo = key->matches(QKeySequence::Undo);
    // Both redo keys, whatever the platform binds to the edit's own redo
    // (some bind Ctrl+Shift+Z alone): the window's Redo answers both, so the
    // edit has to as well, or its undone typing could never come back.
    const bool redo = key->matches(QKeySequence::Redo) || pressed == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)
                      || pressed == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
    if (!undo && !redo)
        return false;
    const bool own = undo ? edit->isUndoAvailable() : edit->isRedoAvailable();
    if (override) {
        // Accepted: the key reaches the edit. Ignored: the window's action takes it.
        event->setAccepted(own);
        return true;
    }
    if (!own)
        return false;
    // The edit's undo and redo tell of the text they bring back as typing,
    // so the section stores it as a step like any other.
    if (undo)
        edit->undo();
    else
        edit->redo();
    return true;
}

}  // namespace qel::ui
