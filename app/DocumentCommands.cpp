#include "DocumentCommands.h"

#include "DefinitionFiles.h"
#include "DefinitionReader.h"
#include "DefinitionWriter.h"
#include "PathText.h"

namespace qel::app {

void NewDocument(DefinitionDocument& doc)
{
    doc.reset();
    doc.markUnmodified();
}

void OpenDocument(DefinitionDocument& doc, const std::string& path, ReadReport* report)
{
    doc.reset();
    doc.setCurrentFileOnly(path);
    try {
        ReadDefinition(doc, path, report);
    } catch (...) {
        doc.clearCurrentFile();
        // What is on screen is a partial copy of a file that still exists:
        // discarding it later loses nothing the user made.
        doc.markUnmodified();
        throw;
    }
    doc.setDocumentFolder(FolderPart(path));
    doc.markUnmodified();
}

void SaveDocument(DefinitionDocument& doc)
{
    const std::string path = doc.currentFile();
    WriteDefinition(doc, path);
    doc.markUnmodified();
}

std::string SaveAsTarget(std::string_view chosen)
{
    if (chosen.empty())
        return {};
    return WithDefaultExtension(chosen);
}

void SaveDocumentAs(DefinitionDocument& doc, const std::string& target)
{
    // A failed write still names the file it tried.
    doc.setCurrentFile(target);
    WriteDefinition(doc, target);
    doc.markUnmodified();
}

std::string DocumentDisplayName(const DefinitionDocument& doc)
{
    if (doc.currentFile().empty())
        return "Untitled";
    return NamePart(doc.currentFile());
}

std::string SaveChangesQuestion(const DefinitionDocument& doc)
{
    return "Save changes to " + DocumentDisplayName(doc) + "?";
}

}  // namespace qel::app
