#include "app/ImageSteps.h"

#include "core/FileListRules.h"

namespace qel::app {

// ---------------------------------------------------------------- Shared

ImageStep::ImageStep(DocumentSession& session, const QString& text) : SessionStep(session, text) {}

void ImageStep::changeImages(const DocumentSession::Change& change, bool alsoObjects,
                             std::optional<std::int32_t> removedNumber)
{
    if (!kept_) {
        kept_ = true;
        if (removedNumber) {
            rowsKnown_ = true;
            for (auto [list, rows] : {std::pair{&document().mapObjects(), &removedMap_},
                                      std::pair{&document().screenObjects(), &removedScreen_}})
                for (std::size_t row = 0; row < list->takenApart(); ++row)
                    if (list->fields(row).image == *removedNumber)
                        rows->push_back(row);
        }
        images_ = document().images();
        keptBytes_ = images_.capacity() * sizeof(ObjectImage);
        for (const ObjectImage& image : images_)
            keptBytes_ += image.file.capacity();
        if (alsoObjects) {
            map_ = document().mapObjects().saveState();
            screen_ = document().screenObjects().saveState();
            // What is kept never changes afterwards: counted once, not at
            // every push of a long history.
            keptBytes_ += map_->bytes() + screen_->bytes();
            keptBytes_ += (removedMap_.capacity() + removedScreen_.capacity()) * sizeof(std::size_t);
        }
    }
    if (alsoObjects && rowsKnown_)
        session().replaceParts({DocumentPart::Images, DocumentPart::MapObjects, DocumentPart::ScreenObjects}, change,
                               DocumentSession::RowsRemoved(removedMap_), DocumentSession::RowsRemoved(removedScreen_));
    else if (alsoObjects)
        session().replaceParts({DocumentPart::Images, DocumentPart::MapObjects, DocumentPart::ScreenObjects}, change);
    else
        session().replaceParts({DocumentPart::Images}, change);
}

std::size_t ImageStep::keptBytes() const
{
    return keptBytes_;
}

void ImageStep::revert()
{
    if (!kept_)
        return;
    auto putBack = [this](DefinitionDocument& doc) {
        if (doc.images() != images_)
            doc.editImages() = images_;
        if (map_)
            doc.mapObjects().restoreState(*map_);
        if (screen_)
            doc.screenObjects().restoreState(*screen_);
    };
    if (map_ && rowsKnown_)
        session().replaceParts({DocumentPart::Images, DocumentPart::MapObjects, DocumentPart::ScreenObjects}, putBack,
                               DocumentSession::RowsPutBack(removedMap_), DocumentSession::RowsPutBack(removedScreen_));
    else if (map_)
        session().replaceParts({DocumentPart::Images, DocumentPart::MapObjects, DocumentPart::ScreenObjects}, putBack);
    else
        session().replaceParts({DocumentPart::Images}, putBack);
}

void ImageStep::releaseHistory()
{
    keptBytes_ = 0;
    images_ = {};
    map_.reset();
    screen_.reset();
    std::vector<std::size_t>().swap(removedMap_);
    std::vector<std::size_t>().swap(removedScreen_);
    rowsKnown_ = false;
}

// ---------------------------------------------------------------- Add

AddImageStep::AddImageStep(DocumentSession& session) : ImageStep(session, QStringLiteral("Add image")) {}

void AddImageStep::apply()
{
    changeImages([](DefinitionDocument& doc) { AddImage(doc); });
}

// ---------------------------------------------------------------- One field

ImageFieldStep::ImageFieldStep(DocumentSession& session, const QString& text, Source source, std::size_t position,
                               std::optional<ImageNumberField> field)
    : ImageStep(session, text), source_(source), position_(position), field_(field)
{
}

std::unique_ptr<ImageFieldStep> ImageFieldStep::fileText(DocumentSession& session, std::size_t position,
                                                         std::string text)
{
    std::unique_ptr<ImageFieldStep> step(
        new ImageFieldStep(session, QStringLiteral("Edit image file"), Source::FileText, position, std::nullopt));
    step->text_ = std::move(text);
    return step;
}

namespace {
// AniTime is no tile count: its step says what it changes.
QString NumberFieldText(ImageNumberField field)
{
    return field == ImageNumberField::AniTime ? QStringLiteral("Edit image animation time")
                                              : QStringLiteral("Edit image tiles");
}
}  // namespace

std::unique_ptr<ImageFieldStep> ImageFieldStep::numberText(DocumentSession& session, std::size_t position,
                                                           ImageNumberField field, std::string text)
{
    std::unique_ptr<ImageFieldStep> step(
        new ImageFieldStep(session, NumberFieldText(field), Source::NumberText, position, field));
    step->text_ = std::move(text);
    return step;
}

std::unique_ptr<ImageFieldStep> ImageFieldStep::spinValue(DocumentSession& session, std::size_t position,
                                                          ImageNumberField field, std::int32_t value)
{
    std::unique_ptr<ImageFieldStep> step(
        new ImageFieldStep(session, NumberFieldText(field), Source::SpinValue, position, field));
    step->value_ = value;
    return step;
}

void ImageFieldStep::apply()
{
    changeImages([this](DefinitionDocument& doc) {
        switch (source_) {
        case Source::FileText:
            StoreImageFile(doc, position_, text_);
            break;
        case Source::NumberText:
            StoreImageNumber(doc, position_, *field_, text_);
            break;
        case Source::SpinValue:
            StoreImageSpinValue(doc, position_, *field_, value_);
            break;
        }
    });
}

bool ImageFieldStep::mergeWith(const QUndoCommand* other)
{
    const auto* next = dynamic_cast<const ImageFieldStep*>(other);
    if (!next || next->position_ != position_ || next->field_ != field_ || !continues(*next))
        return false;
    // The newer store is what a redo repeats; this step's "before" stays.
    source_ = next->source_;
    text_ = next->text_;
    value_ = next->value_;
    // Typed back to what it was: no step at all.
    setObsolete(document().images() == imagesBefore());
    return true;
}

// ---------------------------------------------------------------- File from the list

ImageFileFromListStep::ImageFileFromListStep(DocumentSession& session, std::size_t position, std::string name)
    : ImageStep(session, QStringLiteral("Change image file")), position_(position), name_(std::move(name))
{
}

void ImageFileFromListStep::apply()
{
    changeImages([this](DefinitionDocument& doc) { SetImageFile(doc, position_, name_); });
}

// ---------------------------------------------------------------- Delete

DeleteImageStep::DeleteImageStep(DocumentSession& session, std::size_t position, bool applyToObjects)
    : ImageStep(session, QStringLiteral("Delete %1").arg(QString::fromLatin1(session.document().imageKey(position)))),
      position_(position),
      applyToObjects_(applyToObjects)
{
}

void DeleteImageStep::apply()
{
    if (applyToObjects_ && viewBefore()) {
        ViewState after = *viewBefore();
        after.map = {};
        after.screen = {};
        // Set first: a change that fails part way has reset the lists too.
        setViewAfter(after);
    }
    std::optional<std::int32_t> removedNumber;
    if (applyToObjects_ && position_ < document().images().size())
        removedNumber = document().images()[position_].number;
    changeImages(
        [this](DefinitionDocument& doc) {
            const ImageDeletion deletion = DeleteImage(doc, static_cast<int>(position_));
            if (applyToObjects_)
                ApplyImageDeletionToObjects(doc, deletion);
        },
        applyToObjects_, removedNumber);
}

}  // namespace qel::app
