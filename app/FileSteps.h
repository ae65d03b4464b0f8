#pragma once
// Steps on the file list. Each keeps the list as it was before its first
// apply (a small copy) and puts it back on undo; redo runs its change again.
// Copying chosen files into the document's folder is not part of a step
// (undo leaves files on disk alone): AddFilesStep hands the copies to make
// back to its caller.

#include <string>
#include <vector>

#include "app/SessionStep.h"
#include "core/FileListRules.h"

namespace qel::app {

// What every file list step shares: the list before it, and undo from it.
class FileListStep : public SessionStep {
public:
    std::size_t keptBytes() const override { return keptBytes_; }

protected:
    using SessionStep::SessionStep;
    void changeFiles(const DocumentSession::Change& change);
    void revert() override;
    void releaseHistory() override;

private:
    bool kept_ = false;
    std::size_t keptBytes_ = 0;
    std::vector<std::string> files_;
};

// Appends the name part of each chosen path; `copies` receives the copies
// that collecting asks for, when the step is first made.
class AddFilesStep : public FileListStep {
public:
    AddFilesStep(DocumentSession& session, std::vector<std::string> chosenPaths, bool collectFiles,
                 FileExists fileExists, std::vector<FileCopy>* copies);

protected:
    void apply() override;

private:
    std::vector<std::string> paths_;
    bool collectFiles_;
    FileExists fileExists_;
    std::vector<FileCopy>* copies_;
    bool first_ = true;
};

class DeleteFilesStep : public FileListStep {
public:
    DeleteFilesStep(DocumentSession& session, std::vector<std::size_t> rows);

protected:
    void apply() override;

private:
    std::vector<std::size_t> rows_;
};

class ClearFilesStep : public FileListStep {
public:
    explicit ClearFilesStep(DocumentSession& session);

protected:
    void apply() override;
};

}  // namespace qel::app
