#pragma once
// View > Images (Ctrl+I): every image as a thumbnail with its number, cell
// size and file name, in image order. The image chosen here is the object
// editor's (ObjectImageBox), which Add, Place and the stamp use, and it
// follows the editor's choice. Typing a number chooses the image of that
// number; a double click shows the image in the main window's Image
// Section. The list is "ImagePalette".

#include <QElapsedTimer>
#include <QWidget>
#include <functional>

#include "app/DocumentSession.h"

class QListView;

namespace qel::platform {
class PictureCache;
}

namespace qel::ui {

class ImagePaletteModel;

class ImagesPanel : public QWidget {
    Q_OBJECT
public:
    using Choose = std::function<void(int position)>;

    ImagesPanel(app::DocumentSession& session, platform::PictureCache& pictures, QWidget* parent = nullptr);

    // Who takes a choice (the object editor), and who shows an image.
    void setChoose(Choose choose) { choose_ = std::move(choose); }
    void setShowImage(Choose show) { show_ = std::move(show); }
    // The editor chose `position` (-1: none): the palette shows it.
    void showChoice(int position);
    // The image at `position` chosen, as a click on it does.
    void choose(int position);
    // The digits typed so far choose the image of that number.
    void typeDigit(int digit);
    QListView* list() const { return list_; }
    ImagePaletteModel* model() const { return model_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListView* list_;
    ImagePaletteModel* model_;
    app::DocumentSession& session_;
    Choose choose_;
    Choose show_;
    int shown_ = -1;
    QString typed_;
    QElapsedTimer typedAt_;
};

}  // namespace qel::ui
