#include "DocumentFiles.h"

#include "DefinitionFiles.h"
#include "DefinitionReader.h"
#include "DefinitionWriter.h"
#include "PathText.h"

namespace qel::app {

void NewDocument(DefinitionDocument& doc)
{
    doc.reset();
}

void OpenDocument(DefinitionDocument& doc, const std::string& path, ReadReport* report)
{
    doc.reset();
    doc.setCurrentFileOnly(path);
    try {
        ReadDefinition(doc, path, report);
    } catch (...) {
        // What is on screen is a partial copy of a file that still exists: a
        // later Save asks for a name rather than overwrite it.
        doc.clearCurrentFile();
        throw;
    }
    doc.setDocumentFolder(FolderPart(path));
}

void SaveDocument(DefinitionDocument& doc)
{
    const std::string path = doc.currentFile();
    WriteDefinition(doc, path);
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
}

std::string WindowTitle(const DefinitionDocument& doc)
{
    if (doc.currentFile().empty())
        return kBaseTitle;
    return NamePart(doc.currentFile()) + " - " + kBaseTitle;
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
