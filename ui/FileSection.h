#pragma once
// "File Section": the out-file name and the list of files that go into the
// package, with their handlers.

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QListView;
class QToolButton;

namespace qel::app {
class DocumentSession;
}

namespace qel::ui {

class FileListModel;
class Prompter;

class FileSection : public QGroupBox {
    Q_OBJECT
public:
    FileSection(app::DocumentSession& session, Prompter& prompter, QWidget* parent = nullptr);
    ~FileSection() override;

    // The section's part of ResetDocument: the out-file edit is emptied.
    void ResetControls();
    // The section's step of the periodic refresh.
    void Refresh();

    FileListModel* model() const { return model_; }

    QLabel* eOutFileLabel;
    QLineEdit* eOutFile;
    QLabel* FileLabel;
    QListView* FileList;
    QToolButton* AddFile;
    QToolButton* DelFile;
    QToolButton* ClearFileList;

    void eOutFileEdited(const QString& text);

private:
    void ShowOutFile();

    app::DocumentSession& session_;
    Prompter& prompter_;
    FileListModel* model_;
};

}  // namespace qel::ui
