#pragma once
// "File Section": the out-file name and the list of files that go into the
// package, with their handlers.

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
    FileSection(app::DocumentSession& session, Prompter& prompter, QWidget* parent = nullptr);
    ~FileSection() override;

    // The section's part of ResetDocument: the out-file edit is emptied.
    void ResetControls();
    // The section's step of the periodic refresh: ClearFileList is enabled
    // while the list has entries.
    void Refresh();

    // What the handlers work with besides the session: the stored settings
    // (collecting added files), the file operations (the section's own Qt
    // ones until another is given) and the image the image box has chosen.
    void UseSettings(const app::AppSettings& settings) { settings_ = &settings; }
    void UseFileOperations(platform::FileOperations& files) { files_ = &files; }
    void UseImageSelection(std::function<std::optional<std::size_t>()> selectedImage)
    {
        selectedImage_ = std::move(selectedImage);
    }

    // The entry with the focus frame, when there is one.
    std::optional<std::size_t> FocusedEntry() const;
    std::vector<std::size_t> SelectedEntries() const;

    FileListModel* model() const { return model_; }

    QLabel* eOutFileLabel;
    QLineEdit* eOutFile;
    QLabel* FileLabel;
    QListView* FileList;
    QToolButton* AddFile;
    QToolButton* DelFile;
    QToolButton* ClearFileList;

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
    FileListModel* model_;
    const app::AppSettings* settings_ = nullptr;
    std::unique_ptr<platform::FileOperations> ownFiles_;
    platform::FileOperations* files_;
    std::function<std::optional<std::size_t>()> selectedImage_;
};

}  // namespace qel::ui
