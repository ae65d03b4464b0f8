#include "ui/AltLetterFilter.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace qel::ui {

void AltLetterFilter::InstallFor(QWidget& window)
{
#ifdef Q_OS_MACOS
    // Option with a letter types accented letters there.
    Q_UNUSED(window);
    return;
#endif
    // On the application: a spin box's edit and a combo box's edit are
    // children the window's own search could miss as they come and go.
    qApp->installEventFilter(new AltLetterFilter(&window));
}

bool AltLetterFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    if (!qobject_cast<QLineEdit*>(watched) && !qobject_cast<QAbstractSpinBox*>(watched))
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers();
    return mods.testFlag(Qt::AltModifier) && !mods.testFlag(Qt::ControlModifier) && !key->text().isEmpty();
}

}  // namespace qel::ui
