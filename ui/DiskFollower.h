#pragma once
// What the window does when the disk changes under the open definition (see
// app/DiskWatch): an unchanged document is read again by itself, a changed
// one only when the user says so; a file deleted, renamed away or replaced
// by a link is told in the status bar; pictures that changed are shown anew.
// A save over a file changed on disk since it was read asks first, and one
// over a file that became a link or a special file is refused.
//
// The window hands in what it shows; this class keeps no widget of its own.

#include <QObject>
#include <functional>

#include "DefinitionReader.h"
#include "DiskWatch.h"
#include "ViewState.h"

class QWidget;

namespace qel::ui {

class Prompter;

class DiskFollower : public QObject {
    Q_OBJECT
public:
    // How long a notice of a file read again stays in the status bar.
    static constexpr int kNoticeMs = 15000;

    struct Hooks {
        // The object lists' view now, for the step a re-read makes.
        std::function<app::ViewState()> viewState;
        // A status bar message; an empty text clears it, 0 ms keeps it.
        std::function<void(const QString& text, int timeoutMs)> showStatus;
        // The current file was read again, with what the read found.
        std::function<void(const ReadReport& report)> reread;
        // Look at the pictures again, as F5 does.
        std::function<void()> picturesChanged;
    };

    DiskFollower(app::DocumentSession& session, Prompter& prompter, QWidget& window, Hooks hooks);

    // Before a save over the current file: false after the error box for a
    // file that became a link or a special file, or when the user keeps a
    // file that changed on disk since it was read.
    bool confirmOverwrite();
    app::DiskWatch& watch() { return watch_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(app::DiskChange change);
    // A message that stays while the file is as it says.
    void showStanding(const std::string& message);

    app::DocumentSession& session_;
    Prompter& prompter_;
    QWidget& window_;
    Hooks hooks_;
    app::DiskWatch watch_;
    bool standing_ = false;
};

}  // namespace qel::ui
