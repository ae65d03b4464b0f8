#pragma once
// Under the pointer: the map view's status bar names the object the pointer
// is over (its row, image, layer and line text), found through the map's
// index as a click would pick it; after a short rest a tip shows the same
// beside the object's picture. The status label is "StatusObject", the
// tip "ObjectTip".

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <optional>

class QFrame;
class QLabel;

namespace qel::app {
class DocumentSession;
}
namespace qel::platform {
class PictureCache;
}

namespace qel::ui {

class MapCanvas;

class PointerReport : public QObject {
    Q_OBJECT
public:
    PointerReport(MapCanvas& canvas, app::DocumentSession& session, platform::PictureCache& pictures, QLabel& status);

    // The row under a map point, as a click would pick it.
    std::optional<std::size_t> rowAt(QPointF mapPoint) const;
    // "Map objects, row N: IMAGEi, Layer - line".
    QString describe(std::size_t row) const;
    void showAt(QPointF mapPoint);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showTip(QPoint globalPos, std::size_t row);

    MapCanvas& canvas_;
    // Compared, never called: events still come while the canvas is being
    // destroyed, when it is no scroll area any more.
    QObject* viewport_ = nullptr;
    app::DocumentSession& session_;
    platform::PictureCache& pictures_;
    QLabel& status_;
    QPointer<QFrame> tip_;  // a child of the viewport: gone before the viewport's last events
    QLabel* tipPicture_;
    QLabel* tipText_;
    static constexpr int kTipPicture = 96;
};

}  // namespace qel::ui
