#pragma once
// Files dragged onto the editor's window. One definition file is opened as
// Open opens it, after the question about unsaved changes; pictures and
// sounds dropped on the File Section are added as its Add adds chosen files;
// anything else is refused, so the desktop shows the forbidden cursor.

#include <QObject>
#include <QPoint>
#include <QString>

class QMimeData;

namespace qel::app {
class DocumentCommands;
}

namespace qel::ui {

// The local path of the one definition (".ini") file that `data` carries;
// empty when it carries anything else: several files, a folder, another
// kind of file, a remote address or plain text.
QString DroppedDefinition(const QMimeData& data);

// The local paths of the pictures and sounds that `data` carries, when it
// carries nothing else; empty otherwise.
QStringList DroppedPackageFiles(const QMimeData& data);

class FileSection;
class Prompter;

// Watches the drags over `window` and every control in it, which would
// otherwise take dropped text themselves; `files` is the window's File
// Section, which takes the pictures and sounds dropped on it. A definition
// opens through `commands`, its failure told through `prompter`.
class DropHandler : public QObject {
    Q_OBJECT
public:
    DropHandler(QWidget& window, FileSection& files, app::DocumentCommands& commands, Prompter& prompter);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isOverWindow(QObject* watched) const;
    bool isOverFileSection(QObject* watched, QPoint position) const;

    QWidget& window_;
    FileSection& files_;
    app::DocumentCommands& commands_;
    Prompter& prompter_;
};

}  // namespace qel::ui
