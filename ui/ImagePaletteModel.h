#pragma once
// The images as a palette: one row per image, in image order, with its number,
// its cell size and its file name, and a thumbnail of its first cell at most
// kThumbSide square. Thumbnails come from the picture cache the map draws
// from, decoded beside the window's thread: a row whose picture is on its
// way shows an empty thumbnail until it comes; one without a picture to
// show, the marked box. Only the rows asked for (those in view) are decoded.

#include <QAbstractListModel>
#include <QHash>
#include <QImage>

#include "app/DocumentSession.h"

namespace qel::platform {
class PictureCache;
}

namespace qel::ui {

class ImagePaletteModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kThumbSide = 64;

    ImagePaletteModel(app::DocumentSession& session, platform::PictureCache& pictures, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Rows whose thumbnail is still on its way.
    int waiting() const { return static_cast<int>(waiting_.size()); }

private:
    struct Thumb {
        QImage image;
        QString size;
    };
    Thumb thumb(int row) const;
    void followImages();
    void followPictures();

    app::DocumentSession& session_;
    platform::PictureCache& pictures_;
    int rows_ = 0;
    mutable QHash<int, Thumb> thumbs_;
    mutable QHash<int, bool> waiting_;
};

}  // namespace qel::ui
