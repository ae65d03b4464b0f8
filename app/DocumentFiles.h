#pragma once
// New, Open, Save and Save As on the document alone, and the texts the window
// shows for the document's file: the session runs them, the window binds them
// to its dialogs. Paths are bytes in the system's file name encoding.

#include <string>
#include <string_view>

#include "core/DefinitionDocument.h"
#include "core/DefinitionReader.h"
#include "core/Errors.h"
#include "core/io/FileIo.h"
#include "platform/FileStamp.h"

namespace qel::app {

inline constexpr const char* kBaseTitle = "QEL v2 [Tarnwick]";

// The window title: the base title, or "NAME - " before it once a file is current.
std::string WindowTitle(const DefinitionDocument& doc);
// The status bar text: the full current file, or empty.
inline const std::string& StatusText(const DefinitionDocument& doc)
{
    return doc.currentFile();
}

// Empties the document and returns it to Untitled.
void NewDocument(DefinitionDocument& doc);

// Empties the document and reads `path` into it. On success `path` is the
// current file. When reading fails the document
// keeps what was read before the failure but is Untitled again, so that a
// later Save asks for a name instead of overwriting the file with a partial
// copy; the failure is rethrown.
// `report`, when given, tells which lines the read ignored.
void OpenDocument(DefinitionDocument& doc, const std::string& path, ReadReport* report = nullptr);

// Writes the document to its current file through the safe write, with the
// caller's seams at its replace (SaveSeams). Only for a document that has a
// current file.
void SaveDocument(DefinitionDocument& doc, const SaveSeams& seams = {});

// The file a Save As writes for the name chosen in the save dialog: ".ini"
// added when the name has no extension; empty when nothing was chosen.
std::string SaveAsTarget(std::string_view chosen);

// Writes the document to `target` (which becomes the current file).
void SaveDocumentAs(DefinitionDocument& doc, const std::string& target, const SaveSeams& seams = {});

// The name the unsaved-changes question uses: the current file's name part,
// or "Untitled".
std::string DocumentDisplayName(const DefinitionDocument& doc);

// "Save changes to NAME?"
std::string SaveChangesQuestion(const DefinitionDocument& doc);

std::string DocumentDisplayName(const DefinitionDocument& doc);

// The current file on disk against its stamp when it was last read or saved.
enum class DiskChange {
    None,        // as read or saved
    Changed,     // another program wrote it, or put another file in its place
    Gone,        // deleted or renamed away
    NotRegular,  // now a folder, a pipe, a device, a socket or a link to none of them
};
DiskChange CompareStamps(const platform::FileStamp& known, const platform::FileStamp& now);

// Thrown by a save that found, right before its replace, the current file
// changed on disk since it was read or the user last agreed to replace it:
// nothing was written. `now` is what it found. A caller that does not ask
// again shows its message.
class ChangedBeforeReplace : public MessageError {
public:
    ChangedBeforeReplace(const DefinitionDocument& doc, const platform::FileStamp& found)
        : MessageError(DocumentDisplayName(doc) + " was changed on disk while it was being saved; nothing was written"),
          now(found)
    {
    }
    platform::FileStamp now;
};

// The step before a save over `path`, apart from the write: a name that
// became a special file (or a link to one, or to nothing) since `known` was
// taken is never written through ("NAME is not a regular file", a
// MessageError).
void CheckSaveTarget(const std::string& path, const platform::FileStamp& known);

// The texts of a current file changed on disk, NAME as the title shows it.
std::string RereadStepText(const DefinitionDocument& doc);          // "Read NAME again"
std::string RereadNotice(const DefinitionDocument& doc);            // "... was changed on disk and read again"
std::string RereadQuestion(const DefinitionDocument& doc);          // "... Read it again and lose your changes?"
std::string ReplaceChangedQuestion(const DefinitionDocument& doc);  // "... Replace it with this definition?"
std::string GoneNotice(const DefinitionDocument& doc);              // "... was deleted or renamed on disk"
std::string NotRegularMessage(const std::string& path);             // "NAME is not a regular file"

}  // namespace qel::app
