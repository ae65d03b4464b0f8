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
    if (!edit || event->type() != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool undo = key->matches(QKeySequence::Undo);
    const QKeyCombination pressed = key->keyCombination();
    const bool redo = key->matches(QKeySequence::Redo) || pressed == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)
                      || pressed == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
    if ((undo && !edit->isUndoAvailable()) || (redo && !edit->isRedoAvailable())) {
        // Not taken by the edit: the shortcut goes to the window's action.
        event->ignore();
        return true;
    }
    return false;
}

}  // namespace qel::ui
