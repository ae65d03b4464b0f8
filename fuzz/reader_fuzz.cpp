// Fuzzes the definition reader, and the writer on whatever reads cleanly:
//  - no input may crash the reader or trip a sanitizer;
//  - a document that read cleanly, written and read again, reads cleanly and
//    gives the same document (after the writer's one normalisation, below);
//  - writing that second document gives the same bytes as the first write.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "DefinitionDocument.h"
#include "DefinitionReader.h"
#include "DefinitionWriter.h"
#include "Errors.h"
#include "IntConversion.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    qel::DefinitionDocument first;
    try {
        qel::ReadDefinitionBytes(first, input);
    } catch (const qel::Error&) {
        // A refused file is a valid outcome. What was read before the failing
        // line stays in the document and can still be saved.
        (void)qel::ComposeDefinition(first);
        return 0;
    }
    Require(first.mapObjects().takenApart() == first.mapObjects().size(), "clean read takes every map line apart");
    Require(first.screenObjects().takenApart() == first.screenObjects().size(),
            "clean read takes every screen line apart");
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
