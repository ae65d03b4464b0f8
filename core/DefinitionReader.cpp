#include "core/DefinitionReader.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "core/EntryLine.h"
#include "core/Errors.h"
#include "core/IntConversion.h"
#include "core/PathText.h"

// The fuzzer's build sets this low: its inputs are small.
#ifndef QEL_READER_PARALLEL_FROM
#define QEL_READER_PARALLEL_FROM (std::size_t{1} << 16)
#endif

namespace qel {

namespace {

enum class Section { None, Images, Map, Screen };

void ReadImageLine(DefinitionDocument& doc, std::string_view line)
{
    // A line without "=" is all key: IMAGE5 alone is image 5 with no file.
    const std::size_t equals = line.find('=');
    const std::string_view key = line.substr(0, equals);
    const std::string_view numberText = key.size() > 5 ? key.substr(5) : std::string_view{};
    ObjectImage image;
    image.number = StrToInt(numberText);  // its error shows the text as written
    image.file = GetImageFileName(line);
    // The image is added only once all of its line was read: a line that
    // fails is not part of what was read.
    image.xTiles = GetNumberField(line, 1, true);
    image.yTiles = GetNumberField(line, 2, true);
    image.aniTime = GetNumberField(line, 3, true);
    doc.editImages().push_back(std::move(image));
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// A byte-order mark of either order, or a first line with NUL bytes at every
// second position: what UTF-16 text looks like to a byte reader.
bool LooksLikeUtf16(std::string_view all)
{
    if (all.starts_with("\xFF\xFE") || all.starts_with("\xFE\xFF"))
        return true;
    const std::string_view first = all.substr(0, all.find('\n'));
    if (first.size() < 2)
        return false;
    bool evenNul = true;
    bool oddNul = true;
    for (std::size_t i = 0; i < first.size() && (evenNul || oddNul); ++i) {
        if (first[i] != '\0')
            (i % 2 == 0 ? evenNul : oddNul) = false;
    }
    return evenNul || oddNul;
}

// A line whose loss on saving nobody would notice.
bool IsBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

class Reader {
public:
    Reader(DefinitionDocument& doc, FileBytes bytes, const std::string& name, ReadReport* report)
        : doc_(doc), bytes_(std::move(bytes)), name_(name), report_(report != nullptr ? *report : ownReport_)
    {
    }

    void run()
    {
        std::string_view all = bytes_.view();
        if (LooksLikeUtf16(all))
            throw MessageError(name_ + " is UTF-16 text; definition files are 8-bit text");
        // Text with CR line ends and no LF anywhere would otherwise be one
        // line that no reading of the format can use. In any other text a CR
        // alone stays part of its line.
        if (all.find('\n') == std::string_view::npos && all.find('\r') != std::string_view::npos)
            eol_ = '\r';
        if (bytes_.readError != 0) {
            // Reading stopped inside the file: what follows the last line
            // ending may be a cut line, so it is not taken.
            const std::size_t lastEnd = all.rfind(eol_);
            all = lastEnd == std::string_view::npos ? std::string_view{} : all.substr(0, lastEnd + 1);
        }
        // Some editors put one before 8-bit text too; the compiler does not
        // want it, so it is not kept.
        if (all.starts_with(kUtf8Mark))
            all.remove_prefix(kUtf8Mark.size());
        const std::size_t objectRows = reserveObjectRows(all);
        if (objectRows < kParallelFrom || !startsTakenApart(doc_.mapObjects())
            || !startsTakenApart(doc_.screenObjects())) {
            pass(all);
            return;
        }
        // Large files: one pass files every line, then the entry lines are
        // taken apart on both cores. When any of them cannot be, reading
        // should have stopped there, so the read starts over in a single
        // pass, which stops at it exactly; the ignored lines are told only
        // once the outcome is known.
        const Before before = remember();
        later_ = true;
        std::exception_ptr stopped;
        std::exception_ptr noRoom;
        {
            // The room for the fields is made meanwhile on the other core.
            std::jthread prepare([&] {
                try {
                    doc_.mapObjects().prepareFields(before.mapRows + rows_[1]);
                    doc_.screenObjects().prepareFields(before.screenRows + rows_[2]);
                } catch (...) {
                    noRoom = std::current_exception();
                }
            });
            try {
                pass(all);
            } catch (const Error&) {
                stopped = std::current_exception();
            }
        }
        if (noRoom)
            std::rethrow_exception(noRoom);
        const bool takenApart = doc_.mapObjects().takeApartAppended(kThreads, kParallelFrom / 2)
                                && doc_.screenObjects().takeApartAppended(kThreads, kParallelFrom / 2);
        later_ = false;
        if (!takenApart) {
            restore(before);
            pass(all);
            return;
        }
        if (report_.onIgnoredLine)
            for (const auto& [number, text] : ignored_)
                report_.onIgnoredLine(number, text);
        if (stopped)
            std::rethrow_exception(stopped);
    }

private:
    // Below this many entry lines threads cost more than they save.
    static constexpr std::size_t kParallelFrom = QEL_READER_PARALLEL_FROM;
    static constexpr unsigned kThreads = 2;

    struct Before {
        std::string outFile;
        std::size_t files = 0;
        std::size_t images = 0;
        std::size_t mapRows = 0;
        std::size_t screenRows = 0;
        ReadReport report;
        std::optional<SourceLines> lines;
    };

    static bool startsTakenApart(const ObjectList& list) { return list.takenApart() == list.size(); }

    Before remember() const
    {
        Before before;
        before.outFile = doc_.outFile();
        before.files = doc_.files().size();
        before.images = doc_.images().size();
        before.mapRows = doc_.mapObjects().size();
        before.screenRows = doc_.screenObjects().size();
        before.report.commentLines = report_.commentLines;
        before.report.emptyLines = report_.emptyLines;
        before.report.ignoredLines = report_.ignoredLines;
        before.report.firstIgnoredLine = report_.firstIgnoredLine;
        if (report_.lines)
            before.lines = *report_.lines;
        return before;
    }

    void restore(const Before& before)
    {
        doc_.setOutFile(before.outFile);
        doc_.editFiles().resize(before.files);
        doc_.editImages().resize(before.images);
        doc_.mapObjects().truncate(before.mapRows);
        doc_.screenObjects().truncate(before.screenRows);
        report_.commentLines = before.report.commentLines;
        report_.emptyLines = before.report.emptyLines;
        report_.ignoredLines = before.report.ignoredLines;
        report_.firstIgnoredLine = before.report.firstIgnoredLine;
        if (report_.lines)
            *report_.lines = *before.lines;
        ignored_.clear();
        section_ = Section::None;
        // Truncating may have compacted a list into bytes of its own, letting
        // go of the file's: the lines read again must hold them anew.
        adoptedMap_ = false;
        adoptedScreen_ = false;
    }

    void pass(std::string_view all)
    {
        std::size_t start = 0;
        std::size_t lineNumber = 0;
        while (start < all.size()) {
            const void* found = std::memchr(all.data() + start, eol_, all.size() - start);
            const std::size_t end =
                found ? static_cast<std::size_t>(static_cast<const char*>(found) - all.data()) : all.size();
            std::string_view line = all.substr(start, end - start);
            if (found && eol_ == '\n' && !line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            ++lineNumber;
            try {
                handle(line, lineNumber);
            } catch (Error& error) {
                error.setLine(lineNumber);
                throw;
            }
            start = found ? end + 1 : all.size();
        }
        if (bytes_.readError != 0) {
            FileError error(bytes_.readError);
            error.setLine(lineNumber + 1);
            throw error;
        }
    }

private:
    std::size_t reserveObjectRows(std::string_view all)
    {
        // Upper bounds on the rows of each list (lines after each kind of
        // header), so a million-row list is allocated once instead of being
        // grown by copies. This pass only looks for line starts and "[".
        std::size_t* rows = rows_;
        int section = -1;
        std::size_t start = 0;
        while (start < all.size()) {
            const void* found = std::memchr(all.data() + start, eol_, all.size() - start);
            const std::size_t end =
                found ? static_cast<std::size_t>(static_cast<const char*>(found) - all.data()) : all.size();
            if (all[start] == '[') {
                const std::string_view line = all.substr(start, end - start);
                if (StartsWithNoCase(line, "[objectimages]"))
                    section = 0;
                else if (StartsWithNoCase(line, "[mapobjects]"))
                    section = 1;
                else if (StartsWithNoCase(line, "[screenobjects]"))
                    section = 2;
            } else if (section >= 0) {
                ++rows[section];
            }
            start = end + 1;
        }
        doc_.mapObjects().reserve(doc_.mapObjects().size() + rows[1]);
        doc_.screenObjects().reserve(doc_.screenObjects().size() + rows[2]);
        return rows[1] + rows[2];
    }

    void handle(std::string_view line, std::size_t lineNumber)
    {
        bool keyLine = false;
        if (StartsWithNoCase(line, "outfile")) {
            doc_.setOutFile(line.size() > 8 ? std::string(line.substr(8)) : std::string());
            keyLine = true;
            if (report_.lines)
                report_.lines->outFile = lineNumber;
        }
        if (StartsWithNoCase(line, "file")) {
            doc_.editFiles().emplace_back(line.size() > 5 ? line.substr(5) : std::string_view{});
            keyLine = true;
            if (report_.lines)
                report_.lines->files.push_back(lineNumber);
        }
        if (!line.empty() && line[0] == '[') {
            static constexpr std::pair<std::string_view, Section> kHeaders[] = {
                {"[objectimages]", Section::Images},
                {"[mapobjects]", Section::Map},
                {"[screenobjects]", Section::Screen},
            };
            for (const auto& [header, section] : kHeaders) {
                if (!StartsWithNoCase(line, header))
                    continue;
                section_ = section;
                // A save writes the header alone: whatever follows it on its
                // line would be lost without a word.
                if (!IsBlank(line.substr(header.size())))
                    noteIgnored(line, lineNumber);
                return;
            }
        }
        if (line.empty()) {
            ++report_.emptyLines;
            return;
        }
        if (line[0] == ';') {
            ++report_.commentLines;
            if (report_.lines)
                noteComment(lineNumber);
            return;
        }
        if (section_ == Section::None) {
            if (keyLine)
                return;
            if (IsBlank(line))
                ++report_.emptyLines;
            else
                noteIgnored(line, lineNumber);
            return;
        }
        switch (section_) {
        case Section::Images:
            ReadImageLine(doc_, line);
            if (report_.lines)
                report_.lines->images.push_back(lineNumber);
            break;
        case Section::Map:
            // Noted first: a line that cannot be taken apart is kept too.
            if (report_.lines)
                report_.lines->mapObjects.push_back(lineNumber);
            append(doc_.mapObjects(), line, adoptedMap_);
            break;
        case Section::Screen:
            if (report_.lines)
                report_.lines->screenObjects.push_back(lineNumber);
            append(doc_.screenObjects(), line, adoptedScreen_);
            break;
        case Section::None:
            break;
        }
    }

    void noteIgnored(std::string_view line, std::size_t lineNumber)
    {
        if (report_.ignoredLines++ == 0)
            report_.firstIgnoredLine = lineNumber;
        if (later_)
            ignored_.emplace_back(lineNumber, line);
        else if (report_.onIgnoredLine)
            report_.onIgnoredLine(lineNumber, line);
        if (report_.lines)
            report_.lines->ignored.emplace_back(lineNumber, QuotedText(line));
    }

    void noteComment(std::size_t lineNumber)
    {
        if (report_.lines->comments++ == 0)
            report_.lines->firstComment = lineNumber;
    }

    void append(ObjectList& list, std::string_view line, bool& adopted)
    {
        if (!adopted) {
            list.adopt(bytes_.data, bytes_.size);
            adopted = true;
        }
        if (later_)
            list.appendAdoptedLater(line);
        else
            list.appendAdopted(line);
    }

    DefinitionDocument& doc_;
    FileBytes bytes_;
    const std::string& name_;
    ReadReport ownReport_;
    ReadReport& report_;
    Section section_ = Section::None;
    char eol_ = '\n';
    // Entry lines are taken apart after the pass, and ignored lines told.
    bool later_ = false;
    std::size_t rows_[3] = {0, 0, 0};  // upper bounds on the rows of each section
    std::vector<std::pair<std::size_t, std::string_view>> ignored_;
    bool adoptedMap_ = false;
    bool adoptedScreen_ = false;
};

}  // namespace

std::size_t EntryLineNumbers::operator[](std::size_t row) const
{
    const auto after =
        std::upper_bound(runs_.begin(), runs_.end(), row, [](std::size_t r, const Run& run) { return r < run.row; });
    const Run& run = *(after - 1);
    return run.line + (row - run.row);
}

void EntryLineNumbers::push_back(std::size_t line)
{
    if (size_ == 0 || line != back() + 1)
        runs_.push_back({size_, line});
    ++size_;
}

std::vector<std::size_t> EntryLineNumbers::all() const
{
    std::vector<std::size_t> lines;
    lines.reserve(size_);
    for (std::size_t run = 0; run < runs_.size(); ++run) {
        const std::size_t end = run + 1 < runs_.size() ? runs_[run + 1].row : size_;
        for (std::size_t row = runs_[run].row; row < end; ++row)
            lines.push_back(runs_[run].line + (row - runs_[run].row));
    }
    return lines;
}

namespace {
// Running out of memory is a failure of this read, not of the program, told
// in the user's terms; what was read so far is dropped, so that the memory
// it took comes back at once.
template <typename Read>
void ReadOrReport(DefinitionDocument& doc, const std::string& name, std::size_t size, Read read)
{
    try {
        read();
    } catch (const std::bad_alloc&) {
        doc = DefinitionDocument();
        throw MessageError(TooLargeToOpenMessage(name, size));
    }
}
}  // namespace

std::string TooLargeToOpenMessage(const std::string& name, std::size_t size)
{
    // The bytes and what the lines take beside them: twice the file, about.
    const std::size_t megabytes = (size / (std::size_t{1} << 20) + 1) * 2;
    return QuotedText(NamePart(name)) + " is too large to open: it needs about " + std::to_string(megabytes) + " MB";
}

void ReadDefinitionBytes(DefinitionDocument& doc, std::string_view bytes, int readError, ReadReport* report,
                         const std::string& name)
{
    ReadOrReport(doc, name, bytes.size(), [&] {
        FileBytes copy;
        copy.readError = readError;
        std::unique_ptr<char[]> data(new char[bytes.size() + 1]);
        std::memcpy(data.get(), bytes.data(), bytes.size());
        copy.data = std::shared_ptr<const char[]>(data.release());
        copy.size = bytes.size();
        Reader(doc, std::move(copy), name, report).run();
    });
}

void ReadDefinitionBuffer(DefinitionDocument& doc, FileBytes bytes, const std::string& name, ReadReport* report)
{
    const std::size_t size = bytes.size;
    ReadOrReport(doc, name, size, [&] { Reader(doc, std::move(bytes), name, report).run(); });
}

}  // namespace qel
