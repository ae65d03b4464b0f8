#pragma once
// What the window does when the disk changes under the open definition (see
// app/DiskWatch): the document is read again by its command (an unchanged
// one by itself, a changed one only when the user says so) and the status
// bar says so; a file deleted, renamed away or made a special file is told
// in the status bar and makes the document unsaved work; pictures that
// changed are shown anew.
//
// The window hands in what it shows; this class keeps no widget of its own.

#include <QObject>
#include <functional>

#include "app/DiskWatch.h"
#include "app/DocumentCommands.h"

class QWidget;

namespace qel::ui {

class Prompter;

class DiskFollower : public QObject {
    Q_OBJECT
public:
    // How long a notice of a file read again stays in the status bar: as
    // long as the other passing messages.
    static constexpr int kNoticeMs = 5000;

    struct Hooks {
        // A status bar message; an empty text clears it, 0 ms keeps it.
        std::function<void(const QString& text, int timeoutMs)> showStatus;
        // Look at the pictures again, as F5 does.
        std::function<void()> picturesChanged;
    };

    DiskFollower(app::DocumentSession& session, app::DocumentCommands& commands, Prompter& prompter, QWidget& window,
                 Hooks hooks);

    app::DiskWatch& watch() { return watch_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(app::DiskChange change);
    // A message that stays while the file is as it says.
    void showStanding(const std::string& message);

    app::DocumentSession& session_;
    app::DocumentCommands& commands_;
    Prompter& prompter_;
    QWidget& window_;
    Hooks hooks_;
    app::DiskWatch watch_;
    bool standing_ = false;
};

}  // namespace qel::ui
