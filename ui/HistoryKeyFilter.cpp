#include "ui/HistoryKeyFilter.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <utility>

namespace qel::ui {

namespace {
const char* const kTypingIsStep = "qelTypingIsStep";

bool IsRedoKey(const QKeyEvent& key)
{
    // Both redo keys, whatever the platform binds to an edit's own redo
    // (some bind Ctrl+Shift+Z alone): the window's Redo answers both.
    const QKeyCombination pressed = key.keyCombination();
    return key.matches(QKeySequence::Redo) || pressed == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)
           || pressed == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}
}  // namespace

HistoryKeyFilter::HistoryKeyFilter(QAction* undo, QAction* redo, QObject* parent)
    : QObject(parent), undo_(undo), redo_(redo)
{
}

void HistoryKeyFilter::InstallOn(QWidget& window, QAction* undo, QAction* redo)
{
    auto* filter = new HistoryKeyFilter(undo, redo, &window);
    for (QLineEdit* edit : window.findChildren<QLineEdit*>())
        edit->installEventFilter(filter);
    // An editable combo box holds the focus for its edit and hands it the
    // keys itself, past the edit's filters.
    for (QComboBox* box : window.findChildren<QComboBox*>())
        box->installEventFilter(filter);
}

void HistoryKeyFilter::TypingIsStep(QLineEdit* edit)
{
    edit->setProperty(kTypingIsStep, true);
}

bool HistoryKeyFilter::IsHistoryKey(const QKeyEvent& key)
{
    return key.matches(QKeySequence::Undo) || IsRedoKey(key);
}

bool HistoryKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (auto* box = qobject_cast<QComboBox*>(watched))
        edit = box->lineEdit();
    if (!edit)
        return false;
    const bool typingIsStep = edit->property(kTypingIsStep).toBool();
    if (typingIsStep && event->type() == QEvent::ContextMenu) {
        ShowStepEditMenu(edit, static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    const bool override = event->type() == QEvent::ShortcutOverride;
    if (!override && event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool undo = key->matches(QKeySequence::Undo);
    if (!undo && !IsRedoKey(*key))
        return false;
    if (typingIsStep) {
        // The key comes here as a key press, whether or not the window's
        // action is enabled: the edit's own undo must never see it.
        if (override)
            event->accept();
        else
            (undo ? undo_ : redo_)->trigger();
        return true;
    }
    const bool own = undo ? edit->isUndoAvailable() : edit->isRedoAvailable();
    if (override) {
        // Accepted: the key reaches the edit. Ignored: the window's action takes it.
        event->setAccepted(own);
        return true;
    }
    if (!own)
        return false;
    // By hand: the edit may not take every redo key as its own.
    if (undo)
        edit->undo();
    else
        edit->redo();
    return true;
}

void HistoryKeyFilter::ShowStepEditMenu(QLineEdit* edit, const QPoint& at)
{
    QMenu* menu = edit->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QList<QAction*> entries = menu->actions();
    // Newer Qt names the entries; before that, an editable edit's menu
    // begins with Undo and Redo.
    auto entry = [&](QLatin1String name, qsizetype position) -> QAction* {
        for (QAction* named : entries)
            if (named->objectName() == name)
                return named;
        return position < entries.size() ? entries[position] : nullptr;
    };
    const std::pair<QAction*, QAction*> routes[] = {{entry(QLatin1String("edit-undo"), 0), undo_},
                                                    {entry(QLatin1String("edit-redo"), 1), redo_}};
    for (const auto& [shown, target] : routes) {
        if (!shown)
            continue;
        disconnect(shown, nullptr, edit, nullptr);
        shown->setEnabled(target->isEnabled());
        connect(shown, &QAction::triggered, target, &QAction::trigger);
    }
    menu->popup(at);
}

}  // namespace qel::ui
