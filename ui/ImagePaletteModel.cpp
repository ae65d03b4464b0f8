#include "ui/ImagePaletteModel.h"

#include <QPainter>

#include "platform/PictureCache.h"
#include "ui/Latin1Text.h"
#include "ui/MapPainting.h"
#include "ui/ObjectArt.h"

namespace qel::ui {

namespace {

QImage MarkedBox()
{
    QImage box(ImagePaletteModel::kThumbSide, ImagePaletteModel::kThumbSide, QImage::Format_ARGB32_Premultiplied);
    box.fill(Qt::transparent);
    QPainter painter(&box);
    DrawMarkerBox(painter, QRectF(8.5, 8.5, 47, 47));
    return box;
}

}  // namespace

ImagePaletteModel::ImagePaletteModel(app::DocumentSession& session, platform::PictureCache& pictures, QObject* parent)
    : QAbstractListModel(parent), session_(session), pictures_(pictures)
{
    rows_ = static_cast<int>(session.document().images().size());
    connect(&session, &app::DocumentSession::imagesChanged, this, &ImagePaletteModel::followImages);
    connect(&session, &app::DocumentSession::documentReplaced, this, &ImagePaletteModel::followImages);
    connect(&pictures, &platform::PictureCache::pictureArrived, this, &ImagePaletteModel::followPictures);
    connect(&pictures, &platform::PictureCache::forgotten, this, &ImagePaletteModel::followImages);
}

int ImagePaletteModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

ImagePaletteModel::Thumb ImagePaletteModel::thumb(int row) const
{
    if (const auto found = thumbs_.constFind(row); found != thumbs_.constEnd())
        return *found;
    const DefinitionDocument& doc = session_.document();
    if (static_cast<std::size_t>(row) >= doc.images().size())
        return {};
    const ObjectArt art = ArtOf(doc, doc.images()[static_cast<std::size_t>(row)], pictures_);
    Thumb made;
    if (art.look.waiting) {
        waiting_.insert(row, true);
        return made;  // not kept: asked again once the picture comes
    }
    waiting_.remove(row);
    if (!art.picture()) {
        static const QImage box = MarkedBox();
        made.image = box;
        made.size = QStringLiteral("no picture");
    } else {
        made.size = QStringLiteral("%1 x %2").arg(art.look.size.width()).arg(art.look.size.height());
        const QImage cell = pictures_.cell(art.path, art.xTiles, art.yTiles);
        if (cell.isNull()) {
            waiting_.insert(row, true);
            return made;
        }
        made.image = cell.width() > kThumbSide || cell.height() > kThumbSide
                         ? cell.scaled(kThumbSide, kThumbSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                         : cell;
    }
    thumbs_.insert(row, made);
    return made;
}

QVariant ImagePaletteModel::data(const QModelIndex& index, int role) const
{
    // A view may lay itself out while the images change, before the notice
    // that resets this model: rows past the document's images show nothing.
    const std::vector<ObjectImage>& images = session_.document().images();
    if (!index.isValid() || index.row() >= rows_ || static_cast<std::size_t>(index.row()) >= images.size())
        return {};
    const ObjectImage& image = images[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole: {
        const Thumb t = thumb(index.row());
        return QStringLiteral("IMAGE%1\n%2\n%3")
            .arg(image.number)
            .arg(t.size.isEmpty() ? QStringLiteral("...") : t.size, VisibleText(image.file));
    }
    case Qt::DecorationRole: {
        const Thumb t = thumb(index.row());
        if (!t.image.isNull())
            return t.image;
        QImage empty(kThumbSide, kThumbSide, QImage::Format_ARGB32_Premultiplied);
        empty.fill(Qt::transparent);
        return empty;
    }
    case Qt::ToolTipRole:
        return VisibleText(image.file);
    default:
        return {};
    }
}

void ImagePaletteModel::followImages()
{
    beginResetModel();
    thumbs_.clear();
    waiting_.clear();
    rows_ = static_cast<int>(session_.document().images().size());
    endResetModel();
}

void ImagePaletteModel::followPictures()
{
    if (waiting_.isEmpty())
        return;
    int first = rows_, last = -1;
    for (auto it = waiting_.constBegin(); it != waiting_.constEnd(); ++it) {
        first = std::min(first, it.key());
        last = std::max(last, it.key());
    }
    waiting_.clear();
    if (last >= 0 && first < rows_)
        emit dataChanged(index(first), index(std::min(last, rows_ - 1)));
}

}  // namespace qel::ui
