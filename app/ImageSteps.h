#pragma once
// Steps on the image definitions. Each keeps the images as they were before
// its first apply (a small copy) and puts them back on undo; redo runs its
// change again. Stores into one field of one image merge while they follow
// each other, so typing a number is one step.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/SessionStep.h"
#include "core/ImageEditing.h"
#include "core/ObjectList.h"

namespace qel::app {

// What every image step shares: the images before it, and undo from them.
class ImageStep : public SessionStep {
public:
    std::size_t keptBytes() const override;

protected:
    ImageStep(DocumentSession& session, const QString& text);
    // Runs `change` over the images (and `alsoObjects`: over both object
    // lists, whose states are kept too), keeping what it undoes first.
    // `removedNumber`: the change removes exactly the rows that have fields
    // and show that image number, and moves no other row.
    void changeImages(const DocumentSession::Change& change, bool alsoObjects = false,
                      std::optional<std::int32_t> removedNumber = std::nullopt);
    void revert() override;
    void releaseHistory() override;
    const std::vector<ObjectImage>& imagesBefore() const { return images_; }

private:
    bool kept_ = false;
    std::size_t keptBytes_ = 0;
    std::vector<ObjectImage> images_;
    std::optional<ObjectList::State> map_;
    std::optional<ObjectList::State> screen_;
    // The rows of each kind that showed the deleted image (ascending), so the
    // views can follow the other rows through the deletion and its undo.
    std::vector<std::size_t> removedMap_;
    std::vector<std::size_t> removedScreen_;
    bool rowsKnown_ = false;
};

class AddImageStep : public ImageStep {
public:
    explicit AddImageStep(DocumentSession& session);

protected:
    void apply() override;
};

// One field of the image at `position`, from the file edit's whole text, a
// number edit's text (StoreImageNumber: ConversionError for no whole number,
// with nothing changed and no step) or a spin button's value.
class ImageFieldStep : public ImageStep {
public:
    static std::unique_ptr<ImageFieldStep> fileText(DocumentSession& session, std::size_t position, std::string text);
    static std::unique_ptr<ImageFieldStep> numberText(DocumentSession& session, std::size_t position,
                                                      ImageNumberField field, std::string text);
    static std::unique_ptr<ImageFieldStep> spinValue(DocumentSession& session, std::size_t position,
                                                     ImageNumberField field, std::int32_t value);

    int id() const override { return kImageFieldEdit; }
    bool mergeWith(const QUndoCommand* other) override;

protected:
    void apply() override;

private:
    enum class Source { FileText, NumberText, SpinValue };
    ImageFieldStep(DocumentSession& session, const QString& text, Source source, std::size_t position,
                   std::optional<ImageNumberField> field);

    Source source_;
    std::size_t position_;
    // None: the file.
    std::optional<ImageNumberField> field_;
    std::string text_;
    std::int32_t value_ = 0;
};

// A file list entry becomes the image's file (a double click on the entry).
class ImageFileFromListStep : public ImageStep {
public:
    ImageFileFromListStep(DocumentSession& session, std::size_t position, std::string name);

protected:
    void apply() override;

private:
    std::size_t position_;
    std::string name_;
};

// Deletes the image at `position`; with `applyToObjects` (the second question
// answered Yes) the deletion is carried into the object entries, all as one
// step. Carried into the objects, the step's view after is its view before
// with no rows selected in either list, and the kind shown stays.
class DeleteImageStep : public ImageStep {
public:
    DeleteImageStep(DocumentSession& session, std::size_t position, bool applyToObjects);

protected:
    void apply() override;

private:
    std::size_t position_;
    bool applyToObjects_;
};

}  // namespace qel::app
