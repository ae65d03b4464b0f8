// Fuzzes the definition reader, and the writer on whatever reads cleanly:
//  - no input may crash the reader or trip a sanitizer;
//  - read from a real file, in pieces of a fuzzed size and with a read error
//    at a fuzzed offset, the input gives the same document and failure as the
//    bytes before that offset followed by that read error;
//  - a document that read cleanly, written and read again, reads cleanly and
//    gives the same document (after the writer's one normalisation, below);
//  - writing that second document gives the same bytes as the first write;
//  - nothing is lost without a word: every line of a clean read is kept in the
//    document and in what is written (entry lines byte for byte, the others
//    by their fields) or counted as a comment, an empty line or ignored
//    content, by a reading of its own, and the ignored lines told one by one
//    (what check prints) agree with the counts.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/DefinitionDocument.h"
#include "core/DefinitionReader.h"
#include "core/DefinitionWriter.h"
#include "core/EntryLine.h"
#include "core/Errors.h"
#include "core/IntConversion.h"
#include "core/io/DefinitionFiles.h"
#include "core/io/FileIo.h"

namespace {

[[noreturn]] void Violated(const char* property)
{
    std::fprintf(stderr, "reader_fuzz: property violated: %s\n", property);
    __builtin_trap();
}

void Require(bool holds, const char* property)
{
    if (!holds)
        Violated(property);
}

// Tile numbers are written only when none of them is 0 or -1; otherwise all
// three are left off and read back as -1.
qel::ObjectImage AsWritten(qel::ObjectImage image)
{
    auto written = [](std::int32_t value) { return value != 0 && value != -1; };
    if (!(written(image.xTiles) && written(image.yTiles) && written(image.aniTime)))
        image.xTiles = image.yTiles = image.aniTime = -1;
    return image;
}

// A screen object line that starts with the out-file or the file key is read
// as that key as well as an entry line. Written back, it sits in the screen
// section after the "OutFile=" and "File=" lines, so reading it again sets the
// out file once more (to the entry's text) or adds another file: the file
// format itself cannot carry such a document unchanged.
bool CannotRoundTrip(const qel::DefinitionDocument& doc)
{
    const qel::ObjectList& screen = doc.screenObjects();
    for (std::size_t row = 0; row < screen.size(); ++row) {
        const std::string_view line = screen.line(row);
        if (qel::StartsWithNoCase(line, "outfile") || qel::StartsWithNoCase(line, "file"))
            return true;
    }
    return false;
}

void RequireSameObjects(const qel::ObjectList& before, const qel::ObjectList& after)
{
    Require(before.size() == after.size(), "same number of object lines");
    Require(after.takenApart() == after.size(), "every object line taken apart again");
    for (std::size_t row = 0; row < before.size(); ++row) {
        Require(before.line(row) == after.line(row), "object line unchanged");
        Require(before.fields(row) == after.fields(row), "object fields unchanged");
    }
}

// Reads through the file-reading call: at most gPiece bytes at a time, and
// EIO once gFailAt bytes have been read.
std::size_t gOffset = 0;
std::size_t gFailAt = 0;
std::size_t gPiece = 1;

ssize_t FaultyRead(int fd, void* buffer, std::size_t size)
{
    if (gOffset >= gFailAt) {
        errno = EIO;
        return -1;
    }
    const ssize_t got = ::read(fd, buffer, std::min({size, gPiece, gFailAt - gOffset}));
    if (got > 0)
        gOffset += static_cast<std::size_t>(got);
    return got;
}

struct Outcome {
    qel::DefinitionDocument doc;
    std::optional<std::string> error;
    std::size_t errorLine = 0;
};

template <typename Read>
Outcome Capture(Read read)
{
    Outcome outcome;
    try {
        read(outcome.doc);
    } catch (const qel::Error& error) {
        outcome.error = error.message();
        outcome.errorLine = error.line();
    }
    return outcome;
}

void RequireSameRead(const qel::ObjectList& expected, const qel::ObjectList& got)
{
    Require(expected.size() == got.size() && expected.takenApart() == got.takenApart(), "file read: same object rows");
    for (std::size_t row = 0; row < expected.size(); ++row) {
        Require(expected.line(row) == got.line(row), "file read: same object line");
        Require(!expected.hasFields(row) || expected.fields(row) == got.fields(row), "file read: same object fields");
    }
}

// One file for the whole run, rewritten for every input.
const std::string& InputFile()
{
    static const std::string path = [] {
        // libFuzzer ends with _exit when its time is up, so the atexit removal
        // does not always run: fuzz.sh points TMPDIR at a folder it removes.
        const char* folder = std::getenv("TMPDIR");
        std::string pattern =
            std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/reader_fuzz-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            Violated("a temporary file can be made");
        ::close(fd);
        std::atexit([] { ::unlink(InputFile().c_str()); });
        return pattern;
    }();
    return path;
}

void CheckFileRead(const std::string& input)
{
    // The last three bytes choose where reading fails (past the end: never)
    // and the size of the pieces read; they are part of the file as well.
    std::size_t control = 0;
    for (std::size_t i = input.size() >= 3 ? input.size() - 3 : 0; i < input.size(); ++i)
        control = control << 8 | static_cast<unsigned char>(input[i]);
    gFailAt = (control >> 8) % (input.size() + 2);
    gPiece = 1 + (control & 0xFF) * 16;
    gOffset = 0;

    std::FILE* file = std::fopen(InputFile().c_str(), "wb");
    if (file == nullptr || std::fwrite(input.data(), 1, input.size(), file) != input.size() || std::fclose(file) != 0)
        Violated("the input file can be written");
    qel::SetReadCall(FaultyRead);
    const Outcome got = Capture([](qel::DefinitionDocument& doc) { qel::ReadDefinition(doc, InputFile()); });
    qel::SetReadCall(nullptr);

    const bool fails = gFailAt <= input.size();
    const std::string read = input.substr(0, std::min(gFailAt, input.size()));
    const Outcome expected = Capture([&](qel::DefinitionDocument& doc) {
        qel::ReadDefinitionBytes(doc, read, fails ? EIO : 0, nullptr, InputFile());
    });
    Require(got.error == expected.error && got.errorLine == expected.errorLine, "file read: same failure");
    Require(got.doc.outFile() == expected.doc.outFile() && got.doc.files() == expected.doc.files()
                && got.doc.images() == expected.doc.images(),
            "file read: same out file, files and images");
    RequireSameRead(expected.doc.mapObjects(), got.doc.mapObjects());
    RequireSameRead(expected.doc.screenObjects(), got.doc.screenObjects());
}

// What each line of a clean read became, worked out from the text alone.
struct LineCounts {
    std::size_t lines = 0;
    std::size_t comments = 0;
    std::size_t empty = 0;
    std::size_t ignored = 0;
    std::vector<std::string> files;
    std::vector<qel::ObjectImage> images;
    std::vector<std::string_view> map;
    std::vector<std::string_view> screen;
    std::optional<std::string> outFile;  // the last out-file line's text
};

// The number after the key's first five bytes, the picture (what follows
// each "=" up to the next ","), and the three numbers after it.
qel::ObjectImage ImageOfLine(std::string_view line)
{
    qel::ObjectImage image;
    const std::string_view key = line.substr(0, line.find('='));
    image.number = qel::StrToInt(key.size() > 5 ? key.substr(5) : std::string_view{});
    bool inName = false;
    for (const char c : line) {
        inName = inName && c != ',';
        image.file += inName ? std::string_view(&c, 1) : std::string_view{};
        inName = inName || c == '=';
    }
    image.xTiles = qel::GetNumberField(line, 1, true);
    image.yTiles = qel::GetNumberField(line, 2, true);
    image.aniTime = qel::GetNumberField(line, 3, true);
    return image;
}

bool Blank(std::string_view text)
{
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

LineCounts CountLines(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    const bool crOnly = text.find('\n') == std::string_view::npos && text.find('\r') != std::string_view::npos;
    const char eol = crOnly ? '\r' : '\n';
    LineCounts counts;
    enum { None, Images, Map, Screen } section = None;
    static constexpr std::pair<std::string_view, int> kHeaders[] = {
        {"[objectimages]", Images}, {"[mapobjects]", Map}, {"[screenobjects]", Screen}};
    while (!text.empty()) {
        const std::size_t end = text.find(eol);
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (end != std::string_view::npos && !crOnly && line.ends_with('\r'))
            line.remove_suffix(1);
        ++counts.lines;
        const bool outFile = qel::StartsWithNoCase(line, "outfile");
        const bool file = qel::StartsWithNoCase(line, "file");
        if (outFile)
            counts.outFile = std::string(line.size() > 8 ? line.substr(8) : std::string_view{});
        if (file)
            counts.files.emplace_back(line.size() > 5 ? line.substr(5) : std::string_view{});
        bool header = false;
        for (const auto& [name, kind] : kHeaders) {
            if (qel::StartsWithNoCase(line, name)) {
                section = static_cast<decltype(section)>(kind);
                counts.ignored += Blank(line.substr(name.size())) ? 0 : 1;
                header = true;
                break;
            }
        }
        if (header)
            continue;
        if (line.empty())
            ++counts.empty;
        else if (line[0] == ';')
            ++counts.comments;
        else if (section == Images)
            counts.images.push_back(ImageOfLine(line));
        else if (section == Map)
            counts.map.push_back(line);
        else if (section == Screen)
            counts.screen.push_back(line);
        else if (!outFile && !file)
            ++(Blank(line) ? counts.empty : counts.ignored);
    }
    return counts;
}

// Each field on its own through the general conversion: what the one-pass
// taking apart must give.
void RequireFieldByField(const qel::ObjectList& list)
{
    const bool map = list.kind() == qel::ObjectKind::Map;
    for (std::size_t row = 0; row < list.takenApart(); ++row) {
        const std::string_view line = list.line(row);
        qel::ObjectFields expected;
        if (map) {
            expected.x = qel::GetNumberField(line, 0, false);
            expected.y = qel::GetNumberField(line, 1, false);
        }
        expected.image = qel::GetNumberField(line, 2, false);
        expected.layer = qel::GetNumberField(line, 3, false);
        expected.mode = qel::GetNumberField(line, 4, false);
        expected.displayTime = qel::GetNumberField(line, 5, false);
        expected.objectId = qel::GetNumberField(line, 6, false);
        Require(list.fields(row) == expected, "fields equal field-by-field conversion");
    }
}

void RequireConservation(const std::string& input, const qel::DefinitionDocument& doc, const qel::ReadReport& report,
                         std::size_t told, std::size_t firstTold)
{
    const LineCounts counts = CountLines(input);
    Require(report.commentLines == counts.comments, "conservation: comment lines counted");
    Require(report.emptyLines == counts.empty, "conservation: empty lines counted");
    Require(report.ignoredLines == counts.ignored, "conservation: ignored lines counted");
    Require(told == report.ignoredLines && firstTold == report.firstIgnoredLine,
            "conservation: every ignored line told, as counted");
    Require(doc.files() == counts.files && doc.images() == counts.images, "conservation: file and image lines kept");
    Require(doc.outFile() == counts.outFile.value_or(""), "conservation: the last out-file line kept");
    // What was written for each of them, read back the same way.
    const std::string written = qel::ComposeDefinition(doc);
    const LineCounts wrote = CountLines(written);
    Require(wrote.map == counts.map && wrote.screen == counts.screen, "written: entry lines byte for byte");
    if (CannotRoundTrip(doc))
        return;  // its out file and files come back otherwise
    Require(wrote.outFile.value_or("") == counts.outFile.value_or("") && wrote.files == counts.files,
            "written: out-file and file lines as kept");
    Require(std::equal(wrote.images.begin(), wrote.images.end(), counts.images.begin(), counts.images.end(),
                       [](const qel::ObjectImage& a, const qel::ObjectImage& b) { return a == AsWritten(b); }),
            "written: image lines as kept");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    CheckFileRead(input);
    qel::DefinitionDocument first;
    qel::ReadReport report;
    std::size_t told = 0;
    std::size_t firstTold = 0;
    report.onIgnoredLine = [&](std::size_t line, std::string_view) {
        if (told++ == 0)
            firstTold = line;
    };
    try {
        qel::ReadDefinitionBytes(first, input, 0, &report);
    } catch (const qel::Error&) {
        // A refused file is a valid outcome. What was read before the failing
        // line stays in the document and can still be saved.
        (void)qel::ComposeDefinition(first);
        return 0;
    }
    Require(first.mapObjects().takenApart() == first.mapObjects().size(), "clean read takes every map line apart");
    Require(first.screenObjects().takenApart() == first.screenObjects().size(),
            "clean read takes every screen line apart");
    RequireConservation(input, first, report, told, firstTold);
    RequireFieldByField(first.mapObjects());
    RequireFieldByField(first.screenObjects());
    if (CannotRoundTrip(first))
        return 0;

    const std::string written = qel::ComposeDefinition(first);
    qel::DefinitionDocument second;
    try {
        qel::ReadDefinitionBytes(second, written);
    } catch (const qel::Error& error) {
        std::fprintf(stderr, "reader_fuzz: written file fails at line %zu: %s\n", error.line(), error.what());
        Violated("what the writer wrote reads cleanly");
    }
    Require(qel::ComposeDefinition(second) == written, "writing twice gives identical bytes");

    Require(second.outFile() == first.outFile(), "out file unchanged");
    Require(second.files() == first.files(), "files unchanged");
    Require(second.images().size() == first.images().size(), "same number of images");
    for (std::size_t i = 0; i < first.images().size(); ++i)
        Require(second.images()[i] == AsWritten(first.images()[i]), "image unchanged");
    RequireSameObjects(first.mapObjects(), second.mapObjects());
    RequireSameObjects(first.screenObjects(), second.screenObjects());
    return 0;
}
