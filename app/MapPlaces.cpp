#include "app/MapPlaces.h"

#include <QStringList>

namespace qel::app {

namespace {

const QString kSettingPlaces = QStringLiteral("MapViewPlaces");

struct Entry {
    MapPlace place;
    QString path;
};

// "LEVEL X Y PATH"; a line that is not one (edited by hand, cut short) is
// skipped rather than trusted.
std::optional<Entry> ParseLine(const QString& line)
{
    const QStringList parts = line.split(u' ');
    if (parts.size() < 4)
        return std::nullopt;
    bool okLevel = false, okX = false, okY = false;
    Entry e;
    e.place.level = parts[0].toInt(&okLevel);
    e.place.x = parts[1].toInt(&okX);
    e.place.y = parts[2].toInt(&okY);
    e.path = line.section(u' ', 3);
    if (!okLevel || !okX || !okY || e.path.isEmpty())
        return std::nullopt;
    return e;
}

QStringList Lines(platform::SettingsStore& store)
{
    QString text;
    if (store.readString(kSettingPlaces, text) != platform::StoredValue::Present)
        return {};
    return text.split(u'\n', Qt::SkipEmptyParts);
}

}  // namespace

std::optional<MapPlace> MapPlaces::find(const QString& path) const
{
    if (path.isEmpty())
        return std::nullopt;
    for (const QString& line : Lines(store_))
        if (const auto e = ParseLine(line); e && e->path == path)
            return e->place;
    return std::nullopt;
}

void MapPlaces::remember(const QString& path, const MapPlace& place)
{
    // A line break in the name would split its line in two.
    if (path.isEmpty() || path.contains(u'\n') || path.contains(u'\r'))
        return;
    QStringList kept{QStringLiteral("%1 %2 %3 %4").arg(place.level).arg(place.x).arg(place.y).arg(path)};
    for (const QString& line : Lines(store_)) {
        if (kept.size() >= kKept)
            break;
        if (const auto e = ParseLine(line); e && e->path != path)
            kept << line;
    }
    store_.writeString(kSettingPlaces, kept.join(u'\n'));
}

}  // namespace qel::app
