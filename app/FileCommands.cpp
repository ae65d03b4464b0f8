#include "FileCommands.h"

namespace qel::app {

std::unique_ptr<SessionCommand> MakeAddFiles(DocumentSession& session, std::vector<std::string> chosenPaths,
                                             bool collectFiles, FileExists fileExists, std::vector<FileCopy>* copies)
{
    const QString text = CountedText("Add", chosenPaths.size(), "file", "files");
    bool first = true;
    return std::make_unique<ContentCommand>(
        session, text, kFilesPart,
        [paths = std::move(chosenPaths), collectFiles, exists = std::move(fileExists), copies,
         first](DefinitionDocument& doc) mutable {
            // Only the first run asks which copies to make: a redo adds the
            // names again and copies nothing, and keeps no caller's callback.
            std::vector<FileCopy> wanted = AddChosenFiles(doc, paths, first && collectFiles, first ? exists : nullptr);
            if (first && copies)
                *copies = std::move(wanted);
            first = false;
            exists = nullptr;
            copies = nullptr;
        });
}

std::unique_ptr<SessionCommand> MakeDeleteFiles(DocumentSession& session, std::vector<std::size_t> rows)
{
    const QString text = CountedText("Delete", rows.size(), "file", "files");
    return std::make_unique<ContentCommand>(
        session, text, kFilesPart, [rows = std::move(rows)](DefinitionDocument& doc) { RemoveFileEntries(doc, rows); });
}

std::unique_ptr<SessionCommand> MakeClearFiles(DocumentSession& session)
{
    return std::make_unique<ContentCommand>(session, QStringLiteral("Clear files"), kFilesPart,
                                            [](DefinitionDocument& doc) {
                                                if (!doc.files().empty())
                                                    doc.editFiles().clear();
                                            });
}

std::unique_ptr<SessionCommand> MakeSetImageFileFromList(DocumentSession& session, std::size_t imagePosition,
                                                         std::string name)
{
    return std::make_unique<ContentCommand>(
        session, QStringLiteral("Change image file"), kImagesPart,
        [imagePosition, name = std::move(name)](DefinitionDocument& doc) { SetImageFile(doc, imagePosition, name); });
}

}  // namespace qel::app
