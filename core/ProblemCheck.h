#pragma once
// Problems of a definition found before the package compiler would find them:
// pictures and files that are not there, image numbers nobody defined,
// entries that cannot be read. Plain values only: whether a file exists and
// what a picture holds are asked through CheckEnvironment, so the check runs
// on a copy of the document on any thread and never changes the document.
//
// The checks of one object row need only the row and an ImageIndex, so a
// caller that keeps the index can re-check a single edited row; CheckDocument
// runs everything.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/DefinitionDocument.h"
#include "core/DefinitionReader.h"
#include "core/EntryLine.h"

namespace qel {

enum class Severity { Error, Warning, Info };

// "error", "warning" or "info".
const char* SeverityName(Severity severity);

// Which of the document's lists a problem is in; None for the whole file.
enum class ProblemPlace { None, Files, Images, MapObjects, ScreenObjects };

struct Problem {
    Severity severity = Severity::Error;
    std::string code;     // stable: "file-missing", "object-image-undefined", ...
    std::string message;  // bytes of the document quoted as they stand
    ProblemPlace place = ProblemPlace::None;
    std::size_t row = 0;   // 0-based row in that list
    std::size_t line = 0;  // 1-based line in the file read; 0 when not known or of the whole file

    friend bool operator==(const Problem&, const Problem&) = default;
};

// What a picture file holds, as the preview would decode it.
struct PictureFacts {
    bool checked = true;  // false when no decoder is at hand: nothing is known beyond existence
    bool decodable = false;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::string error;  // the decoder's message when not decodable
};

// The disk as the check sees it. Paths are the document folder followed by
// the name as written (an absolute name stands alone).
class CheckEnvironment {
public:
    virtual ~CheckEnvironment() = default;
    virtual bool fileExists(const std::string& path) = 0;
    // Asked only for files that exist, once per path and check.
    virtual PictureFacts picture(const std::string& path) = 0;
    // Asked only for a path that is no file: whether a folder is there, so
    // that it is named as what it is rather than as missing.
    virtual bool isFolder(const std::string& path)
    {
        (void)path;
        return false;
    }
};

// The path a name of the document stands for.
std::string ResolvedPath(const std::string& documentFolder, std::string_view name);

// Where each image number is defined first, for the object checks.
class ImageIndex {
public:
    explicit ImageIndex(const std::vector<ObjectImage>& images);
    bool defines(std::int32_t number) const { return position(number) != kNone; }
    // The position of the first image of that number, or kNone.
    std::size_t position(std::int32_t number) const;
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

private:
    // Numbers within a small range (the usual case) are looked up in a table.
    std::int64_t low_ = 0;
    std::vector<std::uint32_t> dense_;  // position + 1; 0 for none
    std::unordered_map<std::int32_t, std::size_t> sparse_;
    bool useDense_ = true;
};

// The name of an object as people count rows: "Map object 12" is row 11.
std::string ObjectName(ObjectKind kind, std::size_t row);

// The problems of one object row: object-unreadable, object-image-undefined,
// object-off-map. A row without fields (a list stops taking apart at the
// first line it cannot) is taken apart here. `line` is the row's line or 0.
void CheckObjectRow(const ObjectList& list, std::size_t row, const ImageIndex& images, std::size_t line,
                    std::vector<Problem>& out);

class Error;

struct CheckOptions {
    // The failure that stopped the read, if it stopped early. It is reported
    // (as read-failed, or as object-unreadable at an object line), and what
    // depends on the rest of the file (image-unused, object-image-undefined,
    // image-file-unlisted, outfile-missing) is not.
    const Error* readFailure = nullptr;
};

// Every problem of `doc`, pictures and files looked for in its document
// folder. With `lines` (from the read) problems carry their lines and the
// read's own problems (ignored-line, comment-dropped) are added. Problems
// come list by list, rows in order; sort by line for a file's order.
std::vector<Problem> CheckDocument(const DefinitionDocument& doc, CheckEnvironment& environment,
                                   const SourceLines* lines = nullptr, CheckOptions options = {});

}  // namespace qel
