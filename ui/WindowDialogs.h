#pragma once
// The Sort Objects, Options and About dialogs of the main window: made
// hidden, in that order, and shown without blocking. Each is a window of its
// own kept above the main one, which takes no input while a dialog is open
// and is enabled again when it closes.

#include <memory>

class QDialog;
class QWidget;
class TAboutFrm;
class TOptnsForm;
class TSortFrm;

namespace qel::app {
class AppSettings;
}

namespace qel::ui {

class Prompter;

class WindowDialogs {
public:
    WindowDialogs(QWidget& window, app::AppSettings& settings, Prompter& prompter);
    ~WindowDialogs();

    TSortFrm* sort() const { return sortFrm_.get(); }
    TOptnsForm* options() const { return optnsForm_.get(); }
    TAboutFrm* about() const { return aboutFrm_.get(); }

    // Shows one of the three and disables the window.
    void show(QDialog* dialog);

private:
    void closed();

    QWidget& window_;
    std::unique_ptr<TSortFrm> sortFrm_;
    std::unique_ptr<TOptnsForm> optnsForm_;
    std::unique_ptr<TAboutFrm> aboutFrm_;
};

}  // namespace qel::ui
