#pragma once
// Every message box and file dialog of the editor goes through a Prompter, so
// that tests can answer them. The Qt implementation shows the real widgets,
// each a dialog of the parent's window (the active window when none is
// given), kept above it.

#include <QString>
#include <QStringList>
#include <optional>

#include "app/CommandQuestions.h"

class QWidget;

namespace qel::ui {

using SaveChangesAnswer = app::SaveChangesAnswer;

// The fields of "Change Selected Objects", each with its value and whether
// it is to be changed. The image is a position among the image items.
struct ObjectChangeFields {
    struct Field {
        bool change = false;
        int value = 0;
        friend bool operator==(const Field&, const Field&) = default;
    };
    Field dx, dy, image, layer, mode, displayTime, objectId;
    friend bool operator==(const ObjectChangeFields&, const ObjectChangeFields&) = default;
};

class Prompter {
public:
    virtual ~Prompter() = default;

    // Error box: error icon, one OK button, the application title as caption.
    virtual void error(QWidget* parent, const QString& message) = 0;
    // Information box: information icon, one OK button.
    virtual void information(QWidget* parent, const QString& message) = 0;
    // Confirmation with "&Yes" and "&No"; true for Yes.
    virtual bool confirm(QWidget* parent, const QString& question) = 0;
    // The same with "&No" the default: for questions where Yes loses content.
    // Prompters without it ask as confirm() does.
    virtual bool confirmNoDefault(QWidget* parent, const QString& question) { return confirm(parent, question); }
    // "Save changes to NAME?" with Yes, No and Cancel.
    virtual SaveChangesAnswer askSaveChanges(QWidget* parent, const QString& question) = 0;

    // File dialogs: empty text / list when cancelled. `filter` is in Qt's
    // form ("INI-Files (*.ini)"); empty means all files.
    virtual QString openFile(QWidget* parent, const QString& filter) = 0;
    virtual QStringList openFiles(QWidget* parent, const QString& filter) = 0;
    virtual QString saveFile(QWidget* parent, const QString& filter) = 0;

    // One line of text under `label`, starting as `text`; nothing when
    // cancelled. Prompters without it answer as if cancelled.
    virtual std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                                           const QString& text)
    {
        (void)parent, (void)title, (void)label, (void)text;
        return std::nullopt;
    }
    // The Change Selected Objects dialog, starting from `start` with
    // `imageItems` to choose from; nothing when cancelled. Prompters without
    // it answer as if cancelled.
    virtual std::optional<ObjectChangeFields> askObjectChange(QWidget* parent, const QStringList& imageItems,
                                                              const ObjectChangeFields& start)
    {
        (void)parent, (void)imageItems, (void)start;
        return std::nullopt;
    }
};

// Shows real Qt message boxes and file dialogs.
class QtPrompter : public Prompter {
public:
    void error(QWidget* parent, const QString& message) override;
    void information(QWidget* parent, const QString& message) override;
    bool confirm(QWidget* parent, const QString& question) override;
    bool confirmNoDefault(QWidget* parent, const QString& question) override;
    SaveChangesAnswer askSaveChanges(QWidget* parent, const QString& question) override;
    QString openFile(QWidget* parent, const QString& filter) override;
    QStringList openFiles(QWidget* parent, const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& filter) override;
    std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                                   const QString& text) override;
    std::optional<ObjectChangeFields> askObjectChange(QWidget* parent, const QStringList& imageItems,
                                                      const ObjectChangeFields& start) override;
};

}  // namespace qel::ui
