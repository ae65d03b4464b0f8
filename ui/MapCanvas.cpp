#include "MapCanvas.h"

#include <QScrollBar>
#include <algorithm>

#include "FileNameText.h"

namespace qel::ui {

MapCanvas::MapCanvas(app::DocumentSession& session, QItemSelectionModel& selection, platform::PictureCache& pictures,
                     QWidget* parent)
    : QAbstractScrollArea(parent), session_(session), selection_(selection), pictures_(pictures)
{
    setObjectName(QStringLiteral("MapCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&session, &app::DocumentSession::rowsInserted, this, &MapCanvas::followRowsInserted);
    connect(&session, &app::DocumentSession::rowsRemoved, this, &MapCanvas::followRowsRemoved);
    connect(&session, &app::DocumentSession::rowsChanged, this, &MapCanvas::followRowsChanged);
    connect(&session, &app::DocumentSession::listReset, this, &MapCanvas::followListReset);
    connect(&session, &app::DocumentSession::imagesChanged, this, &MapCanvas::followImages);
    connect(&session, &app::DocumentSession::documentStateChanged, this, &MapCanvas::followDocumentState);
    connect(&pictures, &platform::PictureCache::pictureArrived, this, &MapCanvas::followPictures);
    connect(&pictures, &platform::PictureCache::forgotten, this, &MapCanvas::followImages);
    auto selectionMoved = [this] {
        selectedStale_ = true;
        viewport()->update();
    };
    connect(&selection, &QItemSelectionModel::selectionChanged, this, selectionMoved);
    // Rows moving under the selection change it without a selectionChanged.
    if (QAbstractItemModel* model = selection.model()) {
        connect(model, &QAbstractItemModel::rowsInserted, this, selectionMoved);
        connect(model, &QAbstractItemModel::rowsRemoved, this, selectionMoved);
        connect(model, &QAbstractItemModel::modelReset, this, selectionMoved);
        connect(model, &QAbstractItemModel::layoutChanged, this, selectionMoved);
    }
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!syncingBars_)
            setScroll(value, scrollY_);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!syncingBars_)
            setScroll(scrollX_, value);
    });
    folder_ = session.document().documentFolder();
}

void MapCanvas::setGridShown(bool shown)
{
    grid_ = shown;
    viewport()->update();
}

void MapCanvas::reloadPictures()
{
    pictures_.reload();
    artStale_ = true;
    indexStale_ = true;
    dropAllTiles();
    viewport()->update();
}

void MapCanvas::refreshPictures()
{
    if (pictures_.refresh() == 0)
        return;
    artStale_ = true;
    indexStale_ = true;
    dropAllTiles();
    viewport()->update();
}

// --- following the document ---

// Rows keep their order relative to each other through an insertion or a
// removal, so only the tiles of the rows that came, went or changed are
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
        dropAllTiles();
    else
        for (int row = first; row <= last; ++row)
            if (index_.indexed(static_cast<std::size_t>(row)))
                dropTiles(index_.rect(static_cast<std::size_t>(row)));
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
            dropTiles(index_.rect(static_cast<std::size_t>(row)));
    }
    index_.rowsRemoved(session_.document().mapObjects(), static_cast<std::size_t>(first),
                       static_cast<std::size_t>(last));
    if (many || index_.indexedCount() != before - lost)
        dropAllTiles();
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
    // at once instead of walking the tiles once per row.
    const bool many = last - first >= 64;
    std::vector<MapRect> touched;
    for (int row = first; row <= last && !many; ++row)
        if (index_.indexed(static_cast<std::size_t>(row)))
            touched.push_back(index_.rect(static_cast<std::size_t>(row)));
    index_.rowsChanged(session_.document().mapObjects(), static_cast<std::size_t>(first),
                       static_cast<std::size_t>(last));
    emit objectsChanged();
    if (many || index_.indexedCount() != before) {
        dropAllTiles();
        viewport()->update();
        return;
    }
    for (int row = first; row <= last; ++row)
        if (index_.indexed(static_cast<std::size_t>(row)))
            touched.push_back(index_.rect(static_cast<std::size_t>(row)));
    for (const MapRect& r : touched)
        dropTiles(r);
    updateMapRects(touched);
}

void MapCanvas::updateMapRects(const std::vector<MapRect>& rects)
{
    QRect dirty;
    for (const MapRect& r : rects)
        dirty |= mapRectOnScreen(r).toAlignedRect().adjusted(-4, -4, 4, 4);
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
    dropAllTiles();
    viewport()->update();
    emit objectsChanged();
}

void MapCanvas::followImages()
{
    pictures_.refresh();
    artStale_ = true;
    indexStale_ = true;
    dropAllTiles();
    viewport()->update();
}

void MapCanvas::followDocumentState()
{
    if (session_.document().documentFolder() != folder_) {
        folder_ = session_.document().documentFolder();
        followImages();
    }
}

// A picture that came may leave every size as it was (one of 16 x 16, the
// marked box's, or one decoded again): the index is rebuilt only when a size
// changed.
void MapCanvas::followPictures()
{
    if (artStale_)
        return;  // resolved at the next look anyway
    resolveArt();
    if (indexStale_)
        dropAllTiles();
    viewport()->update();
}

void MapCanvas::resolveArt()
{
    const DefinitionDocument& doc = session_.document();
    art_.clear();
    std::unordered_map<std::int32_t, MapSize> sizes;
    // The first definition of a number is the one an object shows.
    for (const ObjectImage& image : doc.images()) {
        if (art_.count(image.number))
            continue;
        Art art;
        art.path = FileNameText(doc.documentFolder() + image.file);
        art.xTiles = image.xTiles;
        art.yTiles = image.yTiles;
        const platform::PictureCache::Look look =
            image.file.empty() ? platform::PictureCache::Look{} : pictures_.look(art.path, art.xTiles, art.yTiles);
        art.waiting = look.waiting;
        if (look.size.isValid()) {
            art.picture = true;
            art.opaque = look.opaque;
            art.average = pictures_.averageColour(art.path, art.xTiles, art.yTiles);
            sizes[image.number] = MapSize{look.size.width(), look.size.height()};
        }
        art_.emplace(image.number, std::move(art));
    }
    if (sizes != imageSizes_) {
        imageSizes_ = sizes;
        index_.setImageSizes(std::move(sizes));
        indexStale_ = true;
    }
    artStale_ = false;
}

void MapCanvas::ensureIndex()
{
    if (artStale_)
        resolveArt();
    if (indexStale_) {
        index_.rebuild(session_.document().mapObjects());
        indexStale_ = false;
        updateScrollBars();
    }
}

const MapIndex& MapCanvas::index()
{
    ensureIndex();
    return index_;
}

}  // namespace qel::ui
