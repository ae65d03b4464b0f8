#include "core/DefinitionDocument.h"

#include "core/IntConversion.h"
#include "core/PathText.h"

namespace qel {

void DefinitionDocument::setOutFile(std::string text)
{
    if (text != outFile_) {
        outFile_ = std::move(text);
        ++ownChanges_;
    }
}

std::string DefinitionDocument::imageKey(std::size_t position) const
{
    return "IMAGE" + IntToStr(images_.at(position).number);
}

void DefinitionDocument::setCurrentFile(std::string path)
{
    documentFolder_ = FolderPart(path);
    currentFile_ = std::move(path);
}

void DefinitionDocument::clearCurrentFile()
{
    currentFile_.clear();
    documentFolder_.clear();
}

void DefinitionDocument::reset()
{
    outFile_.clear();
    files_.clear();
    images_.clear();
    map_.clear();
    screen_.clear();
    clearCurrentFile();
    ++ownChanges_;
}

}  // namespace qel
