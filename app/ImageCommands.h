#pragma once
// Steps on the image definitions. Stores into one field of one image merge
// while they follow each other, so typing a number is one step.

#include <memory>
#include <optional>
#include <string>

#include "ContentCommand.h"
#include "ImageEditing.h"

namespace qel::app {

std::unique_ptr<SessionCommand> MakeAddImage(DocumentSession& session);

// The file edit's whole text, for the image at `position`.
std::unique_ptr<SessionCommand> MakeStoreImageFile(DocumentSession& session, std::size_t position, std::string text);
// A number edit's text (StoreImageNumber: ConversionError for no whole number,
// with nothing changed and no step).
std::unique_ptr<SessionCommand> MakeStoreImageNumber(DocumentSession& session, std::size_t position,
                                                     ImageNumberField field, std::string text);
// A spin button's value.
std::unique_ptr<SessionCommand> MakeStoreImageSpinValue(DocumentSession& session, std::size_t position,
                                                        ImageNumberField field, std::int32_t value);

// Deletes the image at `position`; with `applyToObjects` (the second question
// answered Yes) the deletion is carried into the object entries, all as one
// step. Carried into the objects, the step's view after is its view before
// with no rows selected in either list.
std::unique_ptr<SessionCommand> MakeDeleteImage(DocumentSession& session, std::size_t position, bool applyToObjects);

}  // namespace qel::app
