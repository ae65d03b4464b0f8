#include <QDialog>
#include <QWindow>

#include "TMainFrm.h"

void TMainFrm::ShowDialog(QDialog* dialog)
{
    if (!dialog)
        return;
    // The dialogs are windows of their own (a disabled parent would disable
    // them too), kept above this one: made transient for it before they
    // first appear, as the window manager reads that only then.
    dialog->winId();
    if (QWindow* window = dialog->windowHandle())
        window->setTransientParent(windowHandle());
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    setEnabled(false);
}

void TMainFrm::DialogClosed()
{
    setEnabled(true);
    activateWindow();
}
