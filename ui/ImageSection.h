#pragma once
// "Image Section": the image definitions and their tile numbers.

#include <QGroupBox>

class QComboBox;

namespace qel::app {
class DocumentSession;
}
class QLabel;
class QLineEdit;
class QToolButton;

namespace qel::ui {

class Prompter;
class UpDownButton;

class ImageSection : public QGroupBox {
    Q_OBJECT
public:
    ImageSection(app::DocumentSession& session, Prompter& prompter, QWidget* parent = nullptr);

    // The section's part of ResetDocument: empty file edit, "0" in the three
    // numbers, no image chosen.
    void ResetControls();
    // The section's steps of the periodic refresh.
    void Refresh();

    QLabel* ImageLabel;
    QComboBox* ImageBox;
    QToolButton* AddImage;
    QToolButton* DelImage;
    QLabel* eImageFileLabel;
    QLineEdit* eImageFile;
    QLabel* eImageXLabel;
    QLineEdit* eImageX;
    UpDownButton* ImageXUpDown;
    QLabel* eImageYLabel;
    QLineEdit* eImageY;
    UpDownButton* ImageYUpDown;
    QLabel* eImageTimeLabel;
    QLineEdit* eImageTime;
    UpDownButton* ImageTimeUpDown;
    QToolButton* AniPreview;

private:
    // The image keys as the document has them; the chosen item stays chosen
    // while it is still there.
    void ShowImageKeys();

    app::DocumentSession& session_;
    Prompter& prompter_;
};

}  // namespace qel::ui
