// How the map canvas follows the document: rows that came, went or changed,
// lists replaced, images and pictures that changed.
#include <QTimer>
#include <algorithm>
#include <utility>

#include "ui/MapCanvas.h"
#include "ui/MapPainting.h"

namespace qel::ui {

// --- following the document ---

// Rows keep their order relative to each other through an insertion or a
// removal, so only the blocks of the rows that came, went or changed are
// redrawn; when the change also moved where taking apart stops (rows gaining
// or losing their fields), everything is.
void MapCanvas::followRowsInserted(app::DocumentList list, int first, int last)
{
    if (list != app::DocumentList::MapObjects || indexStale_)
        return;
    const std::size_t before = index_.indexedCount();
    index_.rowsInserted(session_.document().mapObjects(), static_cast<std::size_t>(first),
                        static_cast<std::size_t>(last));
    const std::size_t count = static_cast<std::size_t>(last - first + 1);
    const std::size_t gained = static_cast<std::size_t>(first) <= before
                                   ? std::min(count, index_.indexedCount() - std::min(index_.indexedCount(), before))
                                   : 0;
    if (index_.indexedCount() != before + gained || count > 4096)
        blocks_.dropAll();
    else
        for (int row = first; row <= last; ++row)
            if (index_.indexed(static_cast<std::size_t>(row)))
                blocks_.drop(index_.rect(static_cast<std::size_t>(row)));
    updateScrollBars();
    viewport()->update();
    emit objectsChanged();
}

void MapCanvas::followRowsRemoved(app::DocumentList list, int first, int last)
{
    if (list != app::DocumentList::MapObjects || indexStale_)
        return;
    const std::size_t before = index_.indexedCount();
    std::size_t lost = 0;
    const bool many = last - first > 4096;
    for (int row = first; row <= last; ++row) {
        if (!index_.indexed(static_cast<std::size_t>(row)))
            break;
        ++lost;
        if (!many)
            blocks_.drop(index_.rect(static_cast<std::size_t>(row)));
    }
    index_.rowsRemoved(session_.document().mapObjects(), static_cast<std::size_t>(first),
                       static_cast<std::size_t>(last));
    if (many || index_.indexedCount() != before - lost)
        blocks_.dropAll();
    updateScrollBars();
    viewport()->update();
    emit objectsChanged();
}

void MapCanvas::followRowsChanged(app::DocumentList list, int first, int last)
{
    if (list != app::DocumentList::MapObjects || indexStale_)
        return;
    const std::size_t before = index_.indexedCount();
    // A few rows repaint only where they were and are; many drop everything
    // at once instead of walking the blocks once per row.
    const bool many = last - first >= 64;
    std::vector<MapRect> touched;
    for (int row = first; row <= last && !many; ++row)
        if (index_.indexed(static_cast<std::size_t>(row)))
            touched.push_back(index_.rect(static_cast<std::size_t>(row)));
    index_.rowsChanged(session_.document().mapObjects(), static_cast<std::size_t>(first),
                       static_cast<std::size_t>(last));
    emit objectsChanged();
    if (many || index_.indexedCount() != before) {
        blocks_.dropAll();
        viewport()->update();
        return;
    }
    for (int row = first; row <= last; ++row)
        if (index_.indexed(static_cast<std::size_t>(row)))
            touched.push_back(index_.rect(static_cast<std::size_t>(row)));
    for (const MapRect& r : touched)
        blocks_.drop(r);
    updateMapRects(touched);
}

void MapCanvas::updateMapRects(const std::vector<MapRect>& rects)
{
    QRect dirty;
    for (const MapRect& r : rects)
        dirty |= view_.onScreen(r).toAlignedRect().adjusted(-4, -4, 4, 4);
    dirty &= viewport()->rect();
    if (!dirty.isEmpty())
        viewport()->update(dirty);
}

void MapCanvas::followListReset(app::DocumentList list)
{
    if (list == app::DocumentList::Files) {
        // A file of the list may have been replaced on disk.
        followImages();
        return;
    }
    if (list != app::DocumentList::MapObjects)
        return;
    // Taken anew at the next look: the session may tell several resets in a
    // row (New, Open), and one rebuild serves them all.
    indexStale_ = true;
    blocks_.dropAll();
    viewport()->update();
    emit objectsChanged();
}

void MapCanvas::followImages()
{
    pictures_.refresh();
    artStale_ = true;
    indexStale_ = true;
    blocks_.dropAll();
    viewport()->update();
}

void MapCanvas::followDocumentState()
{
    if (session_.document().documentFolder() != folder_) {
        folder_ = session_.document().documentFolder();
        followImages();
    }
}

// A picture that came, or a slice of images looked up, moves only the rows
// of the images whose size changed, and redraws only where they were and are.
void MapCanvas::followPictures(const QString& path)
{
    if (!artStale_)
        moved(art_.follow(path, pictures_, index_, session_.document().mapObjects(), indexStale_));
}

void MapCanvas::moved(const std::vector<MapRect>& touched)
{
    if (indexStale_) {
        blocks_.dropAll();
    } else if (!touched.empty()) {
        for (const MapRect& r : touched)
            blocks_.drop(r);
        updateScrollBars();
    }
    viewport()->update();
    if (art_.resolving() && !std::exchange(resolveLater_, true))
        QTimer::singleShot(0, this, [this] {
            resolveLater_ = false;
            if (!artStale_)
                moved(art_.resolveMore(pictures_, index_, session_.document().mapObjects(), indexStale_));
        });
}

}  // namespace qel::ui
