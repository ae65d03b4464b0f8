#include "ImageCommands.h"

namespace qel::app {

namespace {
// One merge key per image and field; the out file uses 1.
int FieldMergeKey(std::size_t position, int field)
{
    return 16 + static_cast<int>(position % (1u << 26)) * 4 + field;
}

constexpr int kFileField = 3;

// Deletes one image, and with `applyToObjects` carries the deletion into the
// object entries, which regenerates both lists: no row stays selected, and
// the kind shown stays.
class DeleteImageCommand : public ContentCommand {
public:
    DeleteImageCommand(DocumentSession& session, std::size_t position, bool applyToObjects)
        : ContentCommand(session,
                         QStringLiteral("Delete %1").arg(QString::fromLatin1(session.document().imageKey(position))),
                         applyToObjects ? (kImagesPart | kObjectParts) : kImagesPart,
                         [position, applyToObjects](DefinitionDocument& doc) {
                             const ImageDeletion deletion = DeleteImage(doc, static_cast<int>(position));
                             if (applyToObjects)
                                 ApplyImageDeletionToObjects(doc, deletion);
                         }),
          applyToObjects_(applyToObjects)
    {
    }

protected:
    void apply() override
    {
        if (applyToObjects_ && viewBefore()) {
            ViewState after = *viewBefore();
            after.map = {};
            after.screen = {};
            // Set first: a change that fails part way has reset the lists too.
            setViewAfter(after);
        }
        ContentCommand::apply();
    }

private:
    bool applyToObjects_;
};
}  // namespace

std::unique_ptr<SessionCommand> MakeAddImage(DocumentSession& session)
{
    return std::make_unique<ContentCommand>(session, QStringLiteral("Add image"), kImagesPart,
                                            [](DefinitionDocument& doc) { AddImage(doc); });
}

std::unique_ptr<SessionCommand> MakeStoreImageFile(DocumentSession& session, std::size_t position, std::string text)
{
    return std::make_unique<ContentCommand>(
        session, QStringLiteral("Edit image file"), kImagesPart,
        [position, text = std::move(text)](DefinitionDocument& doc) { StoreImageFile(doc, position, text); },
        FieldMergeKey(position, kFileField));
}

std::unique_ptr<SessionCommand> MakeStoreImageNumber(DocumentSession& session, std::size_t position,
                                                     ImageNumberField field, std::string text)
{
    return std::make_unique<ContentCommand>(
        session, QStringLiteral("Edit image tiles"), kImagesPart,
        [position, field, text = std::move(text)](DefinitionDocument& doc) {
            StoreImageNumber(doc, position, field, text);
        },
        FieldMergeKey(position, static_cast<int>(field)));
}

std::unique_ptr<SessionCommand> MakeStoreImageSpinValue(DocumentSession& session, std::size_t position,
                                                        ImageNumberField field, std::int32_t value)
{
    return std::make_unique<ContentCommand>(
        session, QStringLiteral("Edit image tiles"), kImagesPart,
        [position, field, value](DefinitionDocument& doc) { StoreImageSpinValue(doc, position, field, value); },
        FieldMergeKey(position, static_cast<int>(field)));
}

std::unique_ptr<SessionCommand> MakeDeleteImage(DocumentSession& session, std::size_t position, bool applyToObjects)
{
    return std::make_unique<DeleteImageCommand>(session, position, applyToObjects);
}

}  // namespace qel::app
