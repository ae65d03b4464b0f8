#include "core/FileListRules.h"

#include <algorithm>
#include <set>

#include "core/PathText.h"

namespace qel {

std::string FileListEntry(std::string_view chosenPath)
{
    return NamePart(chosenPath);
}

std::optional<std::string> CollectTarget(std::string_view chosenPath, bool collectFiles,
                                         const std::string& documentFolder, const FileExists& fileExists)
{
    if (!collectFiles || documentFolder.empty())
        return std::nullopt;
    std::string target = documentFolder + NamePart(chosenPath);
    if (fileExists && fileExists(target))
        return std::nullopt;
    return target;
}

std::vector<FileCopy> AddChosenFiles(DefinitionDocument& doc, const std::vector<std::string>& chosenPaths,
                                     bool collectFiles, const FileExists& fileExists)
{
    std::vector<FileCopy> copies;
    std::set<std::string> planned;
    const std::string folder = doc.documentFolder();
    for (const std::string& path : chosenPaths) {
        doc.editFiles().push_back(FileListEntry(path));
        auto target = CollectTarget(path, collectFiles, folder, fileExists);
        if (target && planned.insert(*target).second)
            copies.push_back({path, std::move(*target)});
    }
    return copies;
}

void RemoveFileEntries(DefinitionDocument& doc, const std::vector<std::size_t>& selectedRows)
{
    std::vector<std::size_t> rows(selectedRows);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const std::vector<std::string>& files = doc.files();
    if (rows.empty() || rows.front() >= files.size())
        return;
    std::vector<std::string> kept;
    kept.reserve(files.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (next < rows.size() && rows[next] == i) {
            ++next;
            continue;
        }
        kept.push_back(files[i]);
    }
    doc.editFiles() = std::move(kept);
}

FileDoubleClick DecideFileDoubleClick(const DefinitionDocument& doc, std::optional<std::size_t> selectedImage,
                                      std::optional<std::size_t> focusedEntry)
{
    FileDoubleClick decision;
    if (!selectedImage || *selectedImage >= doc.images().size() || !focusedEntry || *focusedEntry >= doc.files().size())
        return decision;
    const std::string& name = doc.files()[*focusedEntry];
    if (!IsPictureExtension(ExtensionPart(name)))
        return decision;
    decision.name = name;
    const std::string& current = doc.images()[*selectedImage].file;
    if (current.empty()) {
        decision.action = FileDoubleClick::Action::SetFile;
        return decision;
    }
    decision.action = FileDoubleClick::Action::Ask;
    decision.question = "Change " + doc.imageKey(*selectedImage) + " from '" + current + "' to '" + name + "'?";
    return decision;
}

void SetImageFile(DefinitionDocument& doc, std::size_t imagePosition, std::string name)
{
    if (doc.images().at(imagePosition).file != name)
        doc.editImages()[imagePosition].file = std::move(name);
}

}  // namespace qel
