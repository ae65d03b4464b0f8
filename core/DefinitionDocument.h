#pragma once
// The in-memory content of one definition file, and the document state that
// goes with it (the current file and its folder).
//
// Small lists are plain members behind accessors; the edit*() accessors count
// a change, so an edit that changed nothing can be told apart.

#include <cstdint>
#include <string>
#include <vector>

#include "core/ObjectList.h"

namespace qel {

struct ObjectImage {
    std::int32_t number = 0;
    std::string file;
    std::int32_t xTiles = -1;
    std::int32_t yTiles = -1;
    std::int32_t aniTime = -1;

    friend bool operator==(const ObjectImage&, const ObjectImage&) = default;
};

class DefinitionDocument {
public:
    DefinitionDocument() = default;

    const std::string& outFile() const { return outFile_; }
    void setOutFile(std::string text);

    const std::vector<std::string>& files() const { return files_; }
    std::vector<std::string>& editFiles() { return touched(files_); }

    const std::vector<ObjectImage>& images() const { return images_; }
    std::vector<ObjectImage>& editImages() { return touched(images_); }
    // "IMAGE" followed by the image's number: the image list's item text.
    std::string imageKey(std::size_t position) const;

    ObjectList& objects(ObjectKind kind) { return kind == ObjectKind::Map ? map_ : screen_; }
    const ObjectList& objects(ObjectKind kind) const { return kind == ObjectKind::Map ? map_ : screen_; }
    ObjectList& mapObjects() { return map_; }
    const ObjectList& mapObjects() const { return map_; }
    ObjectList& screenObjects() { return screen_; }
    const ObjectList& screenObjects() const { return screen_; }

    std::int32_t imageCount() const { return static_cast<std::int32_t>(images_.size()); }
    std::int32_t mapObjectCount() const { return static_cast<std::int32_t>(map_.size()); }
    std::int32_t screenObjectCount() const { return static_cast<std::int32_t>(screen_.size()); }

    // Document state.
    const std::string& currentFile() const { return currentFile_; }
    const std::string& documentFolder() const { return documentFolder_; }
    // Makes `path` current: sets the current file and its folder.
    void setCurrentFile(std::string path);
    // Sets only the current file (Open names the file before reading it and
    // sets the folder once the read succeeded).
    void setCurrentFileOnly(std::string path) { currentFile_ = std::move(path); }
    void setDocumentFolder(std::string folder) { documentFolder_ = std::move(folder); }
    void clearCurrentFile();

    // Empties the content and the document state.
    void reset();

    // Grows with every change of the content, and only then: an edit that
    // leaves it as it was made no change (and is no step to undo).
    std::uint64_t changeCount() const { return ownChanges_ + map_.revision() + screen_.revision(); }

private:
    template <class T>
    T& touched(T& member)
    {
        ++ownChanges_;
        return member;
    }

    std::string outFile_;
    std::vector<std::string> files_;
    std::vector<ObjectImage> images_;
    ObjectList map_{ObjectKind::Map};
    ObjectList screen_{ObjectKind::Screen};
    std::string currentFile_;
    std::string documentFolder_;
    std::uint64_t ownChanges_ = 0;
};

}  // namespace qel
