#pragma once
// The three presets, from the pixel size of the chosen image's
// picture. Obtaining that size (the picture path, the file-exists test, reading
// the file as a bitmap) belongs to the window and the platform; these rules
// start from the size.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/DefinitionDocument.h"
#include "core/ObjectEditor.h"

namespace qel {

inline constexpr std::int32_t kCentrePoint = 8200;  // Center Safe: the object's middle, both axes
inline constexpr const char* kSplashDisplayTime = "2000";
inline constexpr const char* kScreenCentrePrefix = "C-";

// Editor values set by a preset, with the object kind (and list) to show.
struct EditorPreset {
    EditorValues values;
    ObjectKind kind = ObjectKind::Map;
};

// Center Safe: X and Y 8200 - (size div 2), layer "AfterTiles", mode "None",
// display time and id "0", map objects. The image choice is kept as given.
EditorPreset CenterSafePreset(std::int32_t width, std::int32_t height, int imageChoice);

// SplashScreen - Center: X and Y "C-" followed by size div 2, layer "TopMost",
// mode "EnterZone", display time "2000", id "0", screen objects. The image
// choice is kept as given.
EditorPreset SplashScreenCenterPreset(std::int32_t width, std::int32_t height, int imageChoice);

// The lines of the tiled background, column by column: for x = 0, w, 2w, ...
// up to 16384, for y = 0, h, 2h, ... up to 16384, the line
// "x,y,IMAGE<imageNumber>,AfterBackground". Throws MessageError (and makes no
// line) when the width or height is not above 0.
std::vector<std::string> TiledBackgroundLines(std::int32_t width, std::int32_t height, std::int32_t imageNumber);

// The number of lines the tiled background makes: (16384 div w + 1) x
// (16384 div h + 1); 0 when the width or height is not above 0.
std::size_t TiledBackgroundLineCount(std::int32_t width, std::int32_t height);

// What one line of the tiled background costs in memory, at most: its text,
// its place in the list and its taken-apart fields.
inline constexpr std::size_t kTiledLineBytes = 96;

// The message for a picture whose width or height is not above 0.
inline constexpr const char* kNoPictureSizeMessage = "The picture has no size: width and height must be above 0";

// Background (TiledZindle): appends the tiled background of the image at
// position `imageChoice` (its own number is written) to the map objects with
// one append, and so one rebuild. With no image chosen (a choice that is no
// position) it does nothing and returns 0; a size not above 0 throws
// MessageError with nothing changed. The kind shown, the selections and the
// editor values do not change. Returns the number of lines appended.
std::size_t AddTiledBackground(DefinitionDocument& doc, std::int32_t width, std::int32_t height, int imageChoice);

}  // namespace qel
