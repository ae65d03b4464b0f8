#include "ui/WindowDialogs.h"

#include <QDialog>
#include <QWindow>

#include "ui/TAboutFrm.h"
#include "ui/TOptnsForm.h"
#include "ui/TSortFrm.h"

namespace qel::ui {

WindowDialogs::WindowDialogs(QWidget& window, app::AppSettings& settings, Prompter& prompter)
    : window_(window),
      sortFrm_(std::make_unique<TSortFrm>()),
      optnsForm_(std::make_unique<TOptnsForm>(settings, prompter)),
      aboutFrm_(std::make_unique<TAboutFrm>())
{
    QObject::connect(sortFrm_.get(), &TSortFrm::closed, &window_, [this] { closed(); });
    QObject::connect(optnsForm_.get(), &TOptnsForm::closed, &window_, [this] { closed(); });
    QObject::connect(aboutFrm_.get(), &TAboutFrm::closed, &window_, [this] { closed(); });
}

WindowDialogs::~WindowDialogs() = default;

void WindowDialogs::show(QDialog* dialog)
{
    // The dialogs are windows of their own (a disabled parent would disable
    // them too), kept above this one: made transient for it before they
    // first appear, as the window manager reads that only then.
    dialog->winId();
    if (QWindow* window = dialog->windowHandle())
        window->setTransientParent(window_.windowHandle());
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    window_.setEnabled(false);
}

void WindowDialogs::closed()
{
    window_.setEnabled(true);
    window_.activateWindow();
}

}  // namespace qel::ui
