#include "app/FileSteps.h"

namespace qel::app {

// ---------------------------------------------------------------- Shared

void FileListStep::changeFiles(const DocumentSession::Change& change)
{
    if (!kept_) {
        kept_ = true;
        files_ = document().files();
        keptBytes_ = files_.capacity() * sizeof(std::string);
        for (const std::string& file : files_)
            keptBytes_ += file.capacity();
    }
    session().replaceParts({DocumentPart::Files}, change);
}

void FileListStep::revert()
{
    if (!kept_)
        return;
    session().replaceParts({DocumentPart::Files}, [this](DefinitionDocument& doc) {
        if (doc.files() != files_)
            doc.editFiles() = files_;
    });
}

void FileListStep::releaseHistory()
{
    keptBytes_ = 0;
    files_ = {};
}

// ---------------------------------------------------------------- Add

AddFilesStep::AddFilesStep(DocumentSession& session, std::vector<std::string> chosenPaths, bool collectFiles,
                           FileExists fileExists, std::vector<FileCopy>* copies)
    : FileListStep(session, CountedText("Add", chosenPaths.size(), "file", "files")),
      paths_(std::move(chosenPaths)),
      collectFiles_(collectFiles),
      fileExists_(std::move(fileExists)),
      copies_(copies)
{
}

void AddFilesStep::apply()
{
    changeFiles([this](DefinitionDocument& doc) {
        // Only the first run asks which copies to make: a redo adds the
        // names again and copies nothing, and keeps no caller's callback.
        std::vector<FileCopy> wanted =
            AddChosenFiles(doc, paths_, first_ && collectFiles_, first_ ? fileExists_ : nullptr);
        if (first_ && copies_)
            *copies_ = std::move(wanted);
        first_ = false;
        fileExists_ = nullptr;
        copies_ = nullptr;
    });
}

// ---------------------------------------------------------------- Delete

DeleteFilesStep::DeleteFilesStep(DocumentSession& session, std::vector<std::size_t> rows)
    : FileListStep(session, CountedText("Delete", rows.size(), "file", "files")), rows_(std::move(rows))
{
}

void DeleteFilesStep::apply()
{
    changeFiles([this](DefinitionDocument& doc) { RemoveFileEntries(doc, rows_); });
}

// ---------------------------------------------------------------- Clear

ClearFilesStep::ClearFilesStep(DocumentSession& session) : FileListStep(session, QStringLiteral("Clear files")) {}

void ClearFilesStep::apply()
{
    changeFiles([](DefinitionDocument& doc) {
        if (!doc.files().empty())
            doc.editFiles().clear();
    });
}

}  // namespace qel::app
