#include "core/Presets.h"

#include "core/Errors.h"
#include "core/IntConversion.h"
#include "core/Keywords.h"
#include "core/MapGeometry.h"

namespace qel {

namespace {
constexpr int kLayerAfterTiles = 2;
constexpr int kLayerTopMost = 7;
constexpr int kModeEnterZone = 1;
}  // namespace

EditorPreset CenterSafePreset(std::int32_t width, std::int32_t height, int imageChoice)
{
    // "div" truncates toward zero, as C++ division does; no value here can overflow.
    EditorPreset preset;
    preset.values.xText = IntToStr(kCentrePoint - width / 2);
    preset.values.yText = IntToStr(kCentrePoint - height / 2);
    preset.values.imageChoice = imageChoice;
    preset.values.layerChoice = kLayerAfterTiles;
    preset.values.modeChoice = kModeNoneIndex;
    preset.values.displayTimeText = "0";
    preset.values.objectIdText = "0";
    preset.kind = ObjectKind::Map;
    return preset;
}

EditorPreset SplashScreenCenterPreset(std::int32_t width, std::int32_t height, int imageChoice)
{
    EditorPreset preset;
    preset.values.xText = kScreenCentrePrefix + IntToStr(width / 2);
    preset.values.yText = kScreenCentrePrefix + IntToStr(height / 2);
    preset.values.imageChoice = imageChoice;
    preset.values.layerChoice = kLayerTopMost;
    preset.values.modeChoice = kModeEnterZone;
    preset.values.displayTimeText = kSplashDisplayTime;
    preset.values.objectIdText = "0";
    preset.kind = ObjectKind::Screen;
    return preset;
}

std::size_t TiledBackgroundLineCount(std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0)
        return 0;
    return static_cast<std::size_t>(kMapExtent / width + 1) * static_cast<std::size_t>(kMapExtent / height + 1);
}

namespace {
// Hands each line of the tiled background to `emit`, column by column.
template <class Emit>
void ProduceTiledBackground(std::int32_t width, std::int32_t height, std::int32_t imageNumber, Emit&& emit)
{
    if (width <= 0 || height <= 0)
        throw MessageError(kNoPictureSizeMessage);
    // 64-bit coordinates: x + w must not overflow when w is near the 32-bit limit.
    const std::int64_t w = width;
    const std::int64_t h = height;
    std::string suffix = ",IMAGE";
    AppendInt(suffix, imageNumber);
    suffix += ",AfterBackground";

    std::string line;
    // The copies reach the map's far edge on both axes.
    for (std::int64_t x = 0; x <= kMapExtent; x += w) {
        for (std::int64_t y = 0; y <= kMapExtent; y += h) {
            line.clear();
            AppendInt(line, static_cast<std::int32_t>(x));
            line += ',';
            AppendInt(line, static_cast<std::int32_t>(y));
            line += suffix;
            emit(std::string_view(line));
        }
    }
}
}  // namespace

std::vector<std::string> TiledBackgroundLines(std::int32_t width, std::int32_t height, std::int32_t imageNumber)
{
    std::vector<std::string> lines;
    lines.reserve(TiledBackgroundLineCount(width, height));
    ProduceTiledBackground(width, height, imageNumber, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::size_t AddTiledBackground(DefinitionDocument& doc, std::int32_t width, std::int32_t height, int imageChoice)
{
    if (imageChoice < 0 || static_cast<std::size_t>(imageChoice) >= doc.images().size())
        return 0;
    const std::int32_t number = doc.images()[static_cast<std::size_t>(imageChoice)].number;
    const std::size_t count = TiledBackgroundLineCount(width, height);
    ObjectList& map = doc.mapObjects();
    // Checked before anything is reserved or appended.
    if (count == 0)
        throw MessageError(kNoPictureSizeMessage);
    map.reserve(map.size() + count);
    map.appendProduced([&](auto&& emit) { ProduceTiledBackground(width, height, number, emit); });
    return count;
}

}  // namespace qel
