#pragma once
// "File Section": the out-file name and the list of files that go into the
// package, with their handlers. Its controls are its own; others reach it
// through the methods and signals below.

#include <QGroupBox>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListView;
class QToolButton;

namespace qel::app {
class AppSettings;
class DocumentSession;
}  // namespace qel::app

namespace qel::platform {
class FileOperations;
}

namespace qel::ui {

class FileListModel;
class Prompter;

class FileSection : public QGroupBox {
    Q_OBJECT
public:
    // What the handlers work with besides the session: the stored settings
    // (collecting added files), the file operations and the image the Image
    // Section has chosen.
    FileSection(app::DocumentSession& session, Prompter& prompter, const app::AppSettings& settings,
                platform::FileOperations& files, std::function<std::optional<std::size_t>()> selectedImage,
                QWidget* parent = nullptr);
    ~FileSection() override;

    // The section's part of ResetDocument: the out-file edit is emptied.
    void ResetControls();
    // The section's part of the periodic refresh: ClearFileList is enabled
    // while the list has entries.
    void Refresh();

    // The entry with the focus frame, when there is one.
    std::optional<std::size_t> FocusedFileRow() const;
    std::vector<std::size_t> SelectedEntries() const;
    // Makes entry `row` the only selected one, with the focus frame, and
    // previews it, as a click on it does.
    void selectFile(std::size_t row);

    FileListModel* model() const { return model_; }

    // Handlers.
    void eOutFileEdited(const QString& text);
    void AddFileClick();
    // What AddFileClick does once files are chosen (collecting included):
    // also for files dropped on the section.
    void AddFiles(const QStringList& chosen);
    void DelFileClick();
    void ClearFileListClick();
    void FileListDblClick();

signals:
    // FileList was clicked, or its focused entry moved by a key: the preview
    // shows the focused file.
    void FileListClicked();
    // The preview picture is to be hidden (the list was cleared).
    void pictureHideRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowOutFile();
    template <class Handler>
    void Handle(Handler&& handler);

    app::DocumentSession& session_;
    Prompter& prompter_;
    const app::AppSettings& settings_;
    platform::FileOperations& files_;
    std::function<std::optional<std::size_t>()> selectedImage_;
    FileListModel* model_;

    QLabel* eOutFileLabel;
    QLineEdit* eOutFile;
    QLabel* FileLabel;
    QListView* FileList;
    QToolButton* AddFile;
    QToolButton* DelFile;
    QToolButton* ClearFileList;
};

}  // namespace qel::ui
