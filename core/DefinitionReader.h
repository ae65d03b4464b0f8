#pragma once
// Reading a definition file into a document.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/DefinitionDocument.h"
#include "core/FileBytes.h"

namespace qel {

// The line of each entry row. Entries mostly follow one another, so the
// lines are kept as runs of consecutive lines: a million rows in a few bytes
// instead of eight bytes each.
class EntryLineNumbers {
public:
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t operator[](std::size_t row) const;
    std::size_t back() const { return runs_.back().line + (size_ - 1 - runs_.back().row); }
    void push_back(std::size_t line);
    // One number a row, for who edits them one by one.
    std::vector<std::size_t> all() const;

private:
    struct Run {
        std::size_t row;  // the first row of the run
        std::size_t line;
    };
    std::vector<Run> runs_;
    std::size_t size_ = 0;
};

// Where each part of a document stood in the file it was read from: the
// 1-based line of every entry, row for row with the document's lists, and
// what a save would drop. Filled only when a read is given one, so a plain
// read pays nothing for it.
struct SourceLines {
    std::size_t outFile = 0;  // the OutFile line that counts (the last one); 0 when none
    std::vector<std::size_t> files;
    std::vector<std::size_t> images;
    EntryLineNumbers mapObjects;  // also the line of an entry that could not be taken apart
    EntryLineNumbers screenObjects;
    std::size_t comments = 0;
    std::size_t firstComment = 0;
    // Line and text of each ignored line, the text cut as messages quote it
    // (QuotedText): a line of a gigabyte is not kept twice.
    std::vector<std::pair<std::size_t, std::string>> ignored;
};

// What a read saw besides the definition: the lines it ignored. These are the
// non-empty lines outside every section other than comments (";" in the first
// column), out-file and file lines and lines of spaces and tabs, and header
// lines with more than spaces and tabs after the header; a save drops them.
// Filled as far as the read went, also when it failed.
struct ReadReport {
    // Every line read is one of these, or is kept in the document (an out-file,
    // file, header, image or entry line; a header with text after it counts
    // as ignored).
    std::size_t commentLines = 0;  // ";" in the first column, in or out of a section
    std::size_t emptyLines = 0;    // empty, or spaces and tabs outside every section
    std::size_t ignoredLines = 0;
    std::size_t firstIgnoredLine = 0;  // 1-based; 0 when no line was ignored
    // Called with the 1-based number and the text of each ignored line.
    std::function<void(std::size_t line, std::string_view text)> onIgnoredLine;
    // When set, receives where each part of the document was (appended to,
    // as the document's lists are).
    SourceLines* lines = nullptr;
};

// Reads the bytes of a file into `doc`, appending to its lists; the caller
// resets the document first. The document's lines keep views into `bytes`
// instead of copies. A non-zero `bytes.readError` is the system error that
// stopped reading the file after `bytes.size`: the complete lines are read
// (the last one may have been cut), then FileError is thrown for the line
// after them. On failure throws Error (FileError or ConversionError) whose
// line() is the 1-based line where reading stopped; everything read before
// that line stays, and an entry line that could not be taken apart is kept
// without fields. A leading UTF-8 byte-order mark is skipped. UTF-16 text is
// refused ("NAME is UTF-16 text; definition files are 8-bit text"), and so is
// running out of memory ("Not enough memory to read NAME"). `name` stands for
// the file in messages.
void ReadDefinitionBuffer(DefinitionDocument& doc, FileBytes bytes, const std::string& name,
                          ReadReport* report = nullptr);

// The same for bytes the caller keeps: they are copied first; `readError`
// stands for `bytes.readError` above.
void ReadDefinitionBytes(DefinitionDocument& doc, std::string_view bytes, int readError = 0,
                         ReadReport* report = nullptr, const std::string& name = "The text");

// "NAME is too large to open: it needs about N MB", for a file of `size`
// bytes that the read could not get the memory for; NAME is the file's name.
std::string TooLargeToOpenMessage(const std::string& name, std::size_t size);

}  // namespace qel
