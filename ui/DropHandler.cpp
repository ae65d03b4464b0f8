#include "ui/DropHandler.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "app/DocumentCommands.h"
#include "core/PathText.h"
#include "core/PreviewRules.h"
#include "platform/FileNameText.h"
#include "ui/FileSection.h"
#include "ui/Guarded.h"

namespace qel::ui {

QString DroppedDefinition(const QMimeData& data)
{
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return {};
    const QString path = urls.front().toLocalFile();
    if (!path.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive) || QFileInfo(path).isDir())
        return {};
    return path;
}

QStringList DroppedPackageFiles(const QMimeData& data)
{
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        const QString path = url.toLocalFile();
        const std::string extension = ExtensionPart(FileNameBytes(path));
        if (!url.isLocalFile() || QFileInfo(path).isDir()
            || !(IsPictureExtension(extension) || IsSoundExtension(extension)))
            return {};
        paths << path;
    }
    return paths;
}

DropHandler::DropHandler(QWidget& window, FileSection& files, app::DocumentCommands& commands, Prompter& prompter)
    : QObject(&window), window_(window), files_(files), commands_(commands), prompter_(prompter)
{
    window_.setAcceptDrops(true);
    // Drags reach the control under the pointer first; the edits would take
    // a dropped file's name as text. Watching the whole application sees
    // them before any control does.
    QCoreApplication::instance()->installEventFilter(this);
}

bool DropHandler::isOverWindow(QObject* watched) const
{
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    return widget == &window_ || window_.isAncestorOf(widget);
}

bool DropHandler::isOverFileSection(QObject* watched, QPoint position) const
{
    // A control that takes no drops passes the drag on to the window, with
    // the position in the window's terms: what lies there decides.
    auto* widget = static_cast<QWidget*>(watched);
    if (QWidget* under = widget->childAt(position))
        widget = under;
    return widget == &files_ || files_.isAncestorOf(widget);
}

bool DropHandler::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) || !isOverWindow(watched))
        return false;

    auto* drag = static_cast<QDropEvent*>(event);
    const QMimeData* data = drag->mimeData();
    const QString path = data ? DroppedDefinition(*data) : QString();
    const QStringList files = data && path.isEmpty() && isOverFileSection(watched, drag->position().toPoint())
                                  ? DroppedPackageFiles(*data)
                                  : QStringList();
    // Only ever a copy: a source offering nothing but a move would delete
    // the file once it was "moved" into the editor. (While a dialog is open
    // the window is disabled, and Qt hands it no drags at all.)
    if ((path.isEmpty() && files.isEmpty()) || !(drag->possibleActions() & Qt::CopyAction)) {
        drag->ignore();
        return true;
    }
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    if (type == QEvent::Drop) {
        // Not inside the drop itself: the source waits for it to end, and
        // the question about unsaved changes may take a while.
        QWidget* window = &window_;
        FileSection* fileSection = &files_;
        app::DocumentCommands* commands = &commands_;
        Prompter* prompter = &prompter_;
        QMetaObject::invokeMethod(
            window,
            [window, fileSection, commands, prompter, path, files] {
                if (!files.isEmpty()) {
                    fileSection->AddFiles(files);
                    return;
                }
                app::CommandStatus status = commands->querySaveChanges();
                if (status.done())
                    status = commands->open(FileNameBytes(path));
                ShowStatus(*prompter, window, status);
            },
            Qt::QueuedConnection);
    }
    return true;
}

}  // namespace qel::ui
