#pragma once
// The file list's document rules. The path helpers (NamePart,
// FolderPart, ExtensionPart, IsPictureExtension, WithDefaultExtension) are in
// PathText.h. No file is touched here: whether a file exists is asked through
// a predicate, and the copies to make are handed back to the caller.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/DefinitionDocument.h"

namespace qel {

// The entry a chosen file gets in the list: the name part of its path.
std::string FileListEntry(std::string_view chosenPath);

using FileExists = std::function<bool(const std::string& path)>;

// The target a chosen file is copied to: the document folder followed by the
// name part, when collecting is on, the folder is known and no file of that
// name exists there; nothing otherwise.
std::optional<std::string> CollectTarget(std::string_view chosenPath, bool collectFiles,
                                         const std::string& documentFolder, const FileExists& fileExists);

struct FileCopy {
    std::string source;  // the chosen file's full path
    std::string target;  // document folder + name part; copy without replacing

    friend bool operator==(const FileCopy&, const FileCopy&) = default;
};

// Adding files: appends the name part of each chosen path, in order, to the
// document's files, and returns the copies to make, in the same order. A
// target that an earlier copy of this same call will create counts as
// existing, as it would when the copies run one after the other. Whether a
// copy succeeds is not reported.
std::vector<FileCopy> AddChosenFiles(DefinitionDocument& doc, const std::vector<std::string>& chosenPaths,
                                     bool collectFiles, const FileExists& fileExists);

// Removes the entries at the selected rows (any order, repeats and rows past
// the end ignored); the others keep their order. Images keep their files.
void RemoveFileEntries(DefinitionDocument& doc, const std::vector<std::size_t>& selectedRows);

// What a double click on a file list entry does to the selected image.
struct FileDoubleClick {
    enum class Action {
        Nothing,  // no image selected, no focused entry, or not a picture
        SetFile,  // the image has no file yet: set it without a question
        Ask,      // ask `question`; on Yes, set the file
    };
    Action action = Action::Nothing;
    std::string name;      // the entry's text, the new file
    std::string question;  // for Ask: "Change IMAGE0 from 'a.bmp' to 'b.png'?"
};
FileDoubleClick DecideFileDoubleClick(const DefinitionDocument& doc, std::optional<std::size_t> selectedImage,
                                      std::optional<std::size_t> focusedEntry);

// Sets the selected image's file (a SetFile decision, or Ask answered Yes).
void SetImageFile(DefinitionDocument& doc, std::size_t imagePosition, std::string name);

}  // namespace qel
