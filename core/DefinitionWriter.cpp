#include "core/DefinitionWriter.h"

#include "core/IntConversion.h"

namespace qel {

namespace {
constexpr std::string_view kEol = "\r\n";

bool TileNumberWritten(std::int32_t value)
{
    return value != 0 && value != -1;
}

void WriteObjects(const ObjectList& list, std::string_view header, std::string& pending,
                  const std::function<void(std::string_view)>& out)
{
    if (list.empty())
        return;
    pending += kEol;
    pending += header;
    pending += kEol;
    // Gather lines into one piece per megabyte instead of a call per line.
    for (std::size_t row = 0; row < list.size(); ++row) {
        pending += list.line(row);
        pending += kEol;
        if (pending.size() >= (std::size_t{1} << 20)) {
            out(pending);
            pending.clear();
        }
    }
}
}  // namespace

std::string ComposeImageLine(const ObjectImage& image)
{
    std::string line = "IMAGE";
    AppendInt(line, image.number);
    line += '=';
    line += image.file;
    if (TileNumberWritten(image.xTiles) && TileNumberWritten(image.yTiles) && TileNumberWritten(image.aniTime)) {
        line += ',';
        AppendInt(line, image.xTiles);
        line += ',';
        AppendInt(line, image.yTiles);
        line += ',';
        AppendInt(line, image.aniTime);
    }
    return line;
}

void ComposeDefinition(const DefinitionDocument& doc, const std::function<void(std::string_view)>& out)
{
    std::string pending;
    pending += "OutFile=";
    pending += doc.outFile();
    pending += kEol;
    pending += kEol;
    for (const std::string& file : doc.files()) {
        pending += "File=";
        pending += file;
        pending += kEol;
    }
    if (!doc.images().empty()) {
        pending += kEol;
        pending += "[objectimages]";
        pending += kEol;
        for (const ObjectImage& image : doc.images()) {
            pending += ComposeImageLine(image);
            pending += kEol;
        }
    }
    WriteObjects(doc.mapObjects(), "[mapobjects]", pending, out);
    WriteObjects(doc.screenObjects(), "[screenobjects]", pending, out);
    if (!pending.empty())
        out(pending);
}

std::string ComposeDefinition(const DefinitionDocument& doc)
{
    std::string bytes;
    ComposeDefinition(doc, [&bytes](std::string_view piece) { bytes += piece; });
    return bytes;
}

}  // namespace qel
