#include "ui/DiskFollower.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include "platform/FileNameText.h"
#include "ui/Guarded.h"
#include "ui/Prompter.h"

namespace qel::ui {

DiskFollower::DiskFollower(app::DocumentSession& session, app::DocumentCommands& commands, Prompter& prompter,
                           QWidget& window, Hooks hooks)
    : session_(session),
      commands_(commands),
      prompter_(prompter),
      window_(window),
      hooks_(std::move(hooks)),
      watch_(session)
{
    connect(&watch_, &app::DiskWatch::documentChanged, this, &DiskFollower::follow);
    connect(&watch_, &app::DiskWatch::picturesChanged, this, [this] { hooks_.picturesChanged(); });
    // Watchers miss a file renamed over the current one at times: coming
    // back to the window is when the user expects to see the change.
    window_.installEventFilter(this);
}

bool DiskFollower::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && event->type() == QEvent::WindowActivate)
        watch_.checkDocument();
    return QObject::eventFilter(watched, event);
}

void DiskFollower::showStanding(const std::string& message)
{
    standing_ = true;
    hooks_.showStatus(FileNameText(message), 0);
}

void DiskFollower::follow(app::DiskChange change)
{
    const DefinitionDocument& doc = session_.document();
    // What is in memory is the only copy while the file is not on disk.
    session_.setFileGone(change == app::DiskChange::Gone || change == app::DiskChange::NotRegular);
    switch (change) {
    case app::DiskChange::None:
        if (std::exchange(standing_, false))
            hooks_.showStatus({}, 0);
        return;
    case app::DiskChange::Gone:
        showStanding(app::GoneNotice(doc));
        return;
    case app::DiskChange::NotRegular:
        showStanding(app::NotRegularMessage(doc.currentFile()));
        return;
    case app::DiskChange::Changed:
        break;
    }
    // Not under an open dialog (a question about this very document, say):
    // asked again once it is closed.
    if (QApplication::activeModalWidget() != nullptr) {
        watch_.postpone();
        return;
    }
    const app::CommandStatus status = commands_.reread();
    if (ShowStatus(prompter_, &window_, status) && !status.notice.empty()) {
        standing_ = false;
        hooks_.showStatus(FileNameText(status.notice), kNoticeMs);
    }
}

}  // namespace qel::ui
