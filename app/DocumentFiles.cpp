#include "app/DocumentFiles.h"

#include "core/DefinitionReader.h"
#include "core/DefinitionWriter.h"
#include "core/Errors.h"
#include "core/PathText.h"
#include "core/io/DefinitionFiles.h"

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

void SaveDocument(DefinitionDocument& doc, const SaveSeams& seams)
{
    const std::string path = doc.currentFile();
    WriteDefinition(doc, path, SpecialFiles::Refuse, &seams);
}

std::string SaveAsTarget(std::string_view chosen)
{
    if (chosen.empty())
        return {};
    return WithDefaultExtension(chosen);
}

void SaveDocumentAs(DefinitionDocument& doc, const std::string& target, const SaveSeams& seams)
{
    // A failed write still names the file it tried.
    doc.setCurrentFile(target);
    WriteDefinition(doc, target, SpecialFiles::Refuse, &seams);
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

DiskChange CompareStamps(const platform::FileStamp& known, const platform::FileStamp& now)
{
    using platform::FileKind;
    // A link to a regular file is that file, wherever it is read: a link put
    // in the file's place is another file there, as a file renamed over it
    // would be. A link that leads nowhere names no file to write into.
    if (now.kind == FileKind::Other || (now.kind == FileKind::Symlink && !now.exists()))
        return DiskChange::NotRegular;
    if (!now.exists())
        return DiskChange::Gone;
    const bool same = now.size == known.size && now.modified == known.modified && now.inode == known.inode
                      && now.device == known.device;
    return same ? DiskChange::None : DiskChange::Changed;
}

void CheckSaveTarget(const std::string& path, const platform::FileStamp& known)
{
    if (CompareStamps(known, platform::ReadFileStamp(path)) == DiskChange::NotRegular)
        throw MessageError(NotRegularMessage(path));
}

std::string RereadStepText(const DefinitionDocument& doc)
{
    return "Read " + DocumentDisplayName(doc) + " again";
}

std::string RereadNotice(const DefinitionDocument& doc)
{
    return DocumentDisplayName(doc) + " was changed on disk and read again";
}

std::string RereadQuestion(const DefinitionDocument& doc)
{
    return DocumentDisplayName(doc) + " was changed on disk. Read it again and lose your changes?";
}

std::string ReplaceChangedQuestion(const DefinitionDocument& doc)
{
    return DocumentDisplayName(doc) + " was changed on disk since it was read. Replace it with this definition?";
}

std::string GoneNotice(const DefinitionDocument& doc)
{
    return DocumentDisplayName(doc) + " was deleted or renamed on disk";
}

std::string NotRegularMessage(const std::string& path)
{
    return NamePart(path) + " is not a regular file";
}

}  // namespace qel::app
