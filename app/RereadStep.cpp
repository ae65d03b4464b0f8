#include "app/RereadStep.h"

#include <algorithm>
#include <utility>

#include "app/DocumentFiles.h"
#include "platform/FileNameText.h"

namespace qel::app {

namespace {

constexpr ObjectKind kKinds[] = {ObjectKind::Map, ObjectKind::Screen};

bool SameLines(const ObjectList& a, const ObjectList& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t row = 0; row < a.size(); ++row)
        if (a.line(row) != b.line(row))
            return false;
    return true;
}

// The rows of `selection` below `rows`.
RowSelection Within(const RowSelection& selection, std::size_t rows)
{
    RowSelection kept;
    for (const auto& [first, last] : selection.ranges)
        if (first < rows)
            kept.ranges.emplace_back(first, std::min(last, rows - 1));
    if (selection.current && *selection.current < rows)
        kept.current = selection.current;
    return kept;
}

}  // namespace

bool SameContent(const DefinitionDocument& a, const DefinitionDocument& b)
{
    return a.outFile() == b.outFile() && a.files() == b.files() && a.images() == b.images()
           && SameLines(a.mapObjects(), b.mapObjects()) && SameLines(a.screenObjects(), b.screenObjects());
}

RereadStep::RereadStep(DocumentSession& session, DefinitionDocument read)
    : SessionStep(session, FileNameText(RereadStepText(session.document()))), other_(std::move(read))
{
}

void RereadStep::swapContent()
{
    session().replaceParts({DocumentPart::OutFile, DocumentPart::Files, DocumentPart::Images, DocumentPart::MapObjects,
                            DocumentPart::ScreenObjects},
                           [this](DefinitionDocument& doc) {
                               std::string outFile = doc.outFile();
                               doc.setOutFile(other_.outFile());
                               other_.setOutFile(std::move(outFile));
                               std::swap(doc.editFiles(), other_.editFiles());
                               std::swap(doc.editImages(), other_.editImages());
                               // Handed over, not copied: a million rows swap in no time.
                               for (ObjectKind kind : kKinds) {
                                   ObjectList shown = doc.objects(kind).takeAll();
                                   doc.objects(kind).restoreAll(other_.objects(kind).takeAll());
                                   other_.objects(kind).restoreAll(std::move(shown));
                               }
                           });
}

void RereadStep::apply()
{
    swapContent();
    if (viewBefore()) {
        ViewState after = *viewBefore();
        for (ObjectKind kind : kKinds)
            after.of(kind) = Within(after.of(kind), document().objects(kind).size());
        setViewAfter(after);
    }
}

void RereadStep::revert()
{
    swapContent();
}

std::size_t RereadStep::keptBytes() const
{
    std::size_t bytes = other_.outFile().size();
    for (const std::string& file : other_.files())
        bytes += sizeof(std::string) + file.size();
    for (const ObjectImage& image : other_.images())
        bytes += sizeof(ObjectImage) + image.file.size();
    // Counted as a Clear counts the lines it holds.
    for (ObjectKind kind : kKinds)
        bytes += other_.objects(kind).size() * (sizeof(std::string_view) + sizeof(ObjectFields) + 32);
    return bytes;
}

void RereadStep::releaseHistory()
{
    other_.reset();
}

}  // namespace qel::app
