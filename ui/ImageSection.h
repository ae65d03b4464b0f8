#pragma once
// "Image Section": the image definitions and their tile numbers.

#include <QGroupBox>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace qel::ui {

class UpDownButton;

class ImageSection : public QGroupBox {
    Q_OBJECT
public:
    explicit ImageSection(QWidget* parent = nullptr);

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
};

}  // namespace qel::ui
