#pragma once
// Steps on the file list. Copying chosen files into the document's folder
// is not part of a step (undo leaves files on disk alone): AddFiles hands the
// copies to make back to its caller.

#include <memory>
#include <string>
#include <vector>

#include "ContentCommand.h"
#include "FileListRules.h"

namespace qel::app {

// Appends the name part of each chosen path; `copies` receives the copies
// that collecting asks for, when the step is first made.
std::unique_ptr<SessionCommand> MakeAddFiles(DocumentSession& session, std::vector<std::string> chosenPaths,
                                             bool collectFiles, FileExists fileExists, std::vector<FileCopy>* copies);
std::unique_ptr<SessionCommand> MakeDeleteFiles(DocumentSession& session, std::vector<std::size_t> rows);
std::unique_ptr<SessionCommand> MakeClearFiles(DocumentSession& session);
// A file list entry becomes the image's file (a double click on the entry).
std::unique_ptr<SessionCommand> MakeSetImageFileFromList(DocumentSession& session, std::size_t imagePosition,
                                                         std::string name);

}  // namespace qel::app
