#include "core/ProblemCheck.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "core/Errors.h"
#include "core/IntConversion.h"
#include "core/MapGeometry.h"
#include "core/PathText.h"

namespace qel {

namespace {

// A table of this many slots (4 bytes each) is cheaper than hashing a
// million lookups; wider ranges of numbers fall back to the hash.
constexpr std::int64_t kDenseRange = std::int64_t{1} << 20;

Problem Make(Severity severity, const char* code, std::string message, ProblemPlace place, std::size_t row,
             std::size_t line)
{
    return Problem{severity, code, std::move(message), place, row, line};
}

template <class Lines>
std::size_t LineOf(const Lines* lines, std::size_t row)
{
    return lines != nullptr && row < lines->size() ? (*lines)[row] : 0;
}

ProblemPlace PlaceOf(ObjectKind kind)
{
    return kind == ObjectKind::Map ? ProblemPlace::MapObjects : ProblemPlace::ScreenObjects;
}

std::string Quoted(std::string_view name)
{
    std::string text = "'";
    text += QuotedText(name);
    text += '\'';
    return text;
}

// Existence and pictures asked once per path, however many entries name it.
class DiskFacts {
public:
    explicit DiskFacts(CheckEnvironment& environment) : environment_(environment) {}

    bool exists(const std::string& path)
    {
        auto found = exists_.find(path);
        if (found == exists_.end())
            found = exists_.emplace(path, environment_.fileExists(path)).first;
        return found->second;
    }
    // Only for a path that does not exist as a file.
    bool isFolder(const std::string& path) { return environment_.isFolder(path); }

    const PictureFacts& picture(const std::string& path)
    {
        auto found = pictures_.find(path);
        if (found == pictures_.end())
            found = pictures_.emplace(path, environment_.picture(path)).first;
        return found->second;
    }

private:
    CheckEnvironment& environment_;
    std::unordered_map<std::string, bool> exists_;
    std::unordered_map<std::string, PictureFacts> pictures_;
};

void CheckFiles(const DefinitionDocument& doc, DiskFacts& disk, const SourceLines* lines, std::vector<Problem>& out)
{
    std::unordered_set<std::string_view> seen;
    const std::vector<std::string>& files = doc.files();
    for (std::size_t row = 0; row < files.size(); ++row) {
        const std::string& name = files[row];
        const std::size_t line = LineOf(lines ? &lines->files : nullptr, row);
        if (!seen.insert(name).second) {
            out.push_back(Make(Severity::Warning, "file-duplicate", "File " + Quoted(name) + " is listed again",
                               ProblemPlace::Files, row, line));
        } else if (const std::string path = ResolvedPath(doc.documentFolder(), name); !disk.exists(path)) {
            if (disk.isFolder(path))
                out.push_back(Make(Severity::Error, "file-not-regular",
                                   "File " + Quoted(name) + " is a folder, not a file to pack", ProblemPlace::Files,
                                   row, line));
            else
                out.push_back(Make(Severity::Error, "file-missing", "File " + Quoted(name) + " does not exist",
                                   ProblemPlace::Files, row, line));
        }
    }
}

void CheckImages(const DefinitionDocument& doc, const ImageIndex& index, const std::vector<char>& used, DiskFacts& disk,
                 const SourceLines* lines, bool partial, std::vector<Problem>& out)
{
    // A picture counts as packed when a File entry names it as written or
    // ends in it (a path whose name part it is).
    std::unordered_set<std::string_view> listed;
    std::vector<std::string> nameParts;
    nameParts.reserve(doc.files().size());
    for (const std::string& file : doc.files()) {
        listed.insert(file);
        nameParts.push_back(NamePart(file));
    }
    for (const std::string& name : nameParts)
        listed.insert(name);

    const std::vector<ObjectImage>& images = doc.images();
    for (std::size_t row = 0; row < images.size(); ++row) {
        const ObjectImage& image = images[row];
        const std::string key = doc.imageKey(row);
        const std::size_t line = LineOf(lines ? &lines->images : nullptr, row);
        auto report = [&](Severity severity, const char* code, std::string message) {
            out.push_back(Make(severity, code, std::move(message), ProblemPlace::Images, row, line));
        };
        if (index.position(image.number) != row) {
            report(Severity::Error, "image-duplicate", key + " is defined again");
            continue;
        }
        if (!partial && !used[row])
            report(Severity::Info, "image-unused", key + " is not used by any object");
        if (image.file.empty()) {
            report(Severity::Error, "image-no-file", key + " has no picture file");
            continue;
        }
        const std::string picture = key + "'s picture " + Quoted(image.file);
        const std::string path = ResolvedPath(doc.documentFolder(), image.file);
        if (!disk.exists(path)) {
            if (disk.isFolder(path))
                report(Severity::Error, "image-unreadable", picture + " is a folder");
            else
                report(Severity::Error, "image-file-missing", picture + " does not exist");
            continue;
        }
        const PictureFacts& facts = disk.picture(path);
        if (facts.checked && !facts.decodable)
            report(Severity::Error, "image-unreadable", picture + " cannot be decoded: " + facts.error);
        if (!partial && !listed.contains(image.file))
            report(Severity::Warning, "image-file-unlisted",
                   picture + " is not in the file list, so the package would lack it");
        if (!facts.checked || !facts.decodable)
            continue;
        const bool unevenX = image.xTiles > 0 && facts.width % image.xTiles != 0;
        const bool unevenY = image.yTiles > 0 && facts.height % image.yTiles != 0;
        if (unevenX || unevenY)
            report(Severity::Warning, "image-tiles-uneven",
                   key + "'s " + IntToStr(image.xTiles) + " x " + IntToStr(image.yTiles)
                       + " tiles do not divide its picture of " + IntToStr(facts.width) + " x " + IntToStr(facts.height)
                       + " pixels");
    }
}

// The image number the row uses, or nothing when the row cannot be read.
std::optional<std::int32_t> CheckRow(const ObjectList& list, std::size_t row, const ImageIndex* images,
                                     std::size_t line, std::vector<Problem>& out)
{
    const ObjectKind kind = list.kind();
    ObjectFields fields;
    if (list.hasFields(row)) {
        fields = list.fields(row);
    } else {
        try {
            fields = TakeApartEntryLine(list.line(row), kind);
        } catch (const Error& failure) {
            out.push_back(Make(Severity::Error, "object-unreadable",
                               ObjectName(kind, row) + " cannot be read: " + failure.message(), PlaceOf(kind), row,
                               line));
            return std::nullopt;
        }
    }
    if (images != nullptr && !images->defines(fields.image))
        out.push_back(Make(Severity::Error, "object-image-undefined",
                           ObjectName(kind, row) + " uses IMAGE" + IntToStr(fields.image) + ", which is not defined",
                           PlaceOf(kind), row, line));
    if (kind == ObjectKind::Map && (fields.x < 0 || fields.x > kMapExtent || fields.y < 0 || fields.y > kMapExtent))
        out.push_back(Make(Severity::Warning, "object-off-map",
                           ObjectName(kind, row) + " lies off the map at " + IntToStr(fields.x) + ","
                               + IntToStr(fields.y) + " (0 to " + IntToStr(kMapExtent) + " on each axis)",
                           PlaceOf(kind), row, line));
    return fields.image;
}

void CheckReadLines(const SourceLines& lines, std::vector<Problem>& out)
{
    for (const auto& [line, text] : lines.ignored)
        out.push_back(Make(Severity::Warning, "ignored-line", "line ignored: " + text, ProblemPlace::None, 0, line));
    if (lines.comments != 0)
        out.push_back(Make(Severity::Info, "comment-dropped",
                           std::to_string(lines.comments)
                               + (lines.comments == 1 ? " comment line is" : " comment lines are")
                               + " not kept when the file is saved",
                           ProblemPlace::None, 0, lines.firstComment));
}

// A failure at an object line left that line in its list, where the row
// checks report it; any other failure is reported as it stands.
void CheckReadFailure(const Error& failure, const SourceLines* lines, std::vector<Problem>& out)
{
    const std::size_t line = failure.line();
    if (lines != nullptr && line != 0) {
        for (const EntryLineNumbers* rows : {&lines->mapObjects, &lines->screenObjects})
            if (!rows->empty() && rows->back() == line)
                return;
    }
    out.push_back(Make(Severity::Error, "read-failed", failure.message(), ProblemPlace::None, 0, line));
}

}  // namespace

const char* SeverityName(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    case Severity::Info:
        break;
    }
    return "info";
}

std::string ResolvedPath(const std::string& documentFolder, std::string_view name)
{
    if (!name.empty() && name.front() == '/')
        return std::string(name);
    return documentFolder + std::string(name);
}

ImageIndex::ImageIndex(const std::vector<ObjectImage>& images)
{
    if (images.empty())
        return;
    const auto [lowest, highest] = std::minmax_element(
        images.begin(), images.end(), [](const ObjectImage& a, const ObjectImage& b) { return a.number < b.number; });
    low_ = lowest->number;
    const std::int64_t range = std::int64_t{highest->number} - low_ + 1;
    useDense_ = range <= kDenseRange && images.size() < UINT32_MAX;
    if (useDense_)
        dense_.assign(static_cast<std::size_t>(range), 0);
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (useDense_) {
            std::uint32_t& slot = dense_[static_cast<std::size_t>(images[i].number - low_)];
            if (slot == 0)
                slot = static_cast<std::uint32_t>(i + 1);
        } else {
            sparse_.emplace(images[i].number, i);
        }
    }
}

std::size_t ImageIndex::position(std::int32_t number) const
{
    if (useDense_) {
        const std::int64_t offset = std::int64_t{number} - low_;
        if (offset < 0 || offset >= static_cast<std::int64_t>(dense_.size()))
            return kNone;
        const std::uint32_t slot = dense_[static_cast<std::size_t>(offset)];
        return slot == 0 ? kNone : slot - 1;
    }
    const auto found = sparse_.find(number);
    return found == sparse_.end() ? kNone : found->second;
}

std::string ObjectName(ObjectKind kind, std::size_t row)
{
    return (kind == ObjectKind::Map ? "Map object " : "Screen object ") + std::to_string(row + 1);
}

void CheckObjectRow(const ObjectList& list, std::size_t row, const ImageIndex& images, std::size_t line,
                    std::vector<Problem>& out)
{
    CheckRow(list, row, &images, line, out);
}

std::vector<Problem> CheckDocument(const DefinitionDocument& doc, CheckEnvironment& environment,
                                   const SourceLines* lines, CheckOptions options)
{
    std::vector<Problem> out;
    const bool partial = options.readFailure != nullptr;
    if (partial)
        CheckReadFailure(*options.readFailure, lines, out);
    DiskFacts disk(environment);
    const ImageIndex index(doc.images());

    if (!partial && doc.outFile().empty())
        out.push_back(Make(Severity::Warning, "outfile-missing", "No OutFile given", ProblemPlace::None, 0,
                           lines != nullptr ? lines->outFile : 0));
    CheckFiles(doc, disk, lines, out);

    std::vector<char> used(doc.images().size(), 0);
    const ImageIndex* lookUp = partial ? nullptr : &index;
    for (const ObjectKind kind : {ObjectKind::Map, ObjectKind::Screen}) {
        const ObjectList& list = doc.objects(kind);
        const EntryLineNumbers* rowLines =
            lines == nullptr ? nullptr : (kind == ObjectKind::Map ? &lines->mapObjects : &lines->screenObjects);
        for (std::size_t row = 0; row < list.size(); ++row) {
            const std::optional<std::int32_t> image = CheckRow(list, row, lookUp, LineOf(rowLines, row), out);
            if (!image)
                continue;
            const std::size_t position = index.position(*image);
            if (position != ImageIndex::kNone)
                used[position] = 1;
        }
    }
    CheckImages(doc, index, used, disk, lines, partial, out);
    if (lines != nullptr)
        CheckReadLines(*lines, out);
    return out;
}

}  // namespace qel
