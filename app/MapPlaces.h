#pragma once
// Where the map view stood for each definition file lately: its zoom level
// and the map point in its middle, keyed by the file's absolute path, newest
// first and at most kKept files, so that opening a file shows its map as it
// was left and a file not seen before is not shown at another file's place.
// Kept in the settings store as one text value, a line per file.

#include <QString>
#include <optional>

#include "platform/SettingsStore.h"

namespace qel::app {

struct MapPlace {
    int level = 0;
    qint32 x = 0;
    qint32 y = 0;
    friend bool operator==(const MapPlace&, const MapPlace&) = default;
};

class MapPlaces {
public:
    static constexpr int kKept = 50;

    explicit MapPlaces(platform::SettingsStore& store) : store_(store) {}

    // Nothing for an empty path or a file not remembered.
    std::optional<MapPlace> find(const QString& path) const;
    // Makes `path` the newest; the oldest past kKept is forgotten. An empty
    // path (an untitled definition) is not remembered.
    void remember(const QString& path, const MapPlace& place);

private:
    platform::SettingsStore& store_;
};

}  // namespace qel::app
