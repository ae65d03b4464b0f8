#pragma once
// The questions and notices the editor gives before content could be lost:
// lines of the file that a save over it drops, a file that Save As would
// replace, and the old content an interrupted save left beside a file.
// Names and paths are bytes; the window shows them as Latin-1.

#include <cstddef>
#include <optional>
#include <string>

namespace qel::app {

// "1 line" or "N lines".
std::string LineCount(std::size_t count);

// Told once a file was read: "N lines of NAME are not part of the definition
// and will not be saved (first: line M)."
std::string IgnoredLinesNotice(std::size_t count, const std::string& name, std::size_t firstLine);

// "NAME already exists. Replace it?"
std::string ReplaceQuestion(const std::string& target);

// "A save of NAME was interrupted, so NAME may be incomplete. Its previous
// content is in COPY. Put the previous content back?"
std::string InterruptedSaveQuestion(const std::string& path, const std::string& copy);

// The lines of the file last read that a save over it would drop. Only the
// first save over that file asks: once written, they are gone from it.
class IgnoredLines {
public:
    // A file was read (or a document made new: path empty, count 0).
    void read(const std::string& path, std::size_t count);
    // "N lines of NAME are not part of the definition and will be lost. Save
    // anyway?" when saving to `target` drops lines; nothing otherwise.
    std::optional<std::string> question(const std::string& target) const;
    // `target` was written.
    void saved(const std::string& target);

private:
    std::string path_;
    std::size_t count_ = 0;
};

}  // namespace qel::app
