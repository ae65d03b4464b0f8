#pragma once
// Files dragged onto the editor's window. One definition file is opened as
// Open opens it, after the question about unsaved changes; anything else is
// refused, so the desktop shows the forbidden cursor.

#include <QObject>
#include <QString>

class QMimeData;
class TMainFrm;

namespace qel::ui {

// The local path of the one definition (".ini") file that `data` carries;
// empty when it carries anything else: several files, a folder, another
// kind of file, a remote address or plain text. (Pictures and sounds are
// refused too, for now: the File Section does not take drops yet.)
QString DroppedDefinition(const QMimeData& data);

// Watches the drags over `window` and every control in it, which would
// otherwise take dropped text themselves.
class DropHandler : public QObject {
    Q_OBJECT
public:
    explicit DropHandler(TMainFrm& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isOverWindow(QObject* watched) const;

    TMainFrm& window_;
};

// Makes `window` take drops, for as long as it lives.
void InstallDropHandling(TMainFrm& window);

}  // namespace qel::ui
