#pragma once
// "Objects Section": the map and screen object lists and the controls that
// describe one object.

#include <QGroupBox>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QToolButton;

namespace qel::ui {

class UpDownButton;

class ObjectsSection : public QGroupBox {
    Q_OBJECT
public:
    explicit ObjectsSection(QWidget* parent = nullptr);

    QComboBox* ObjectsBox;
    QToolButton* SortObjects;
    QToolButton* Switch;
    QListView* MapObjectList;
    QListView* ScreenObjectList;
    QToolButton* ClearObjectList;
    QLabel* eObjectXLabel;
    QLineEdit* eObjectX;
    QLabel* eObjectYLabel;
    QLineEdit* eObjectY;
    QLabel* ObjectImageLabel;
    QComboBox* ObjectImageBox;
    QLabel* ObjectLayerLabel;
    QComboBox* ObjectLayerBox;
    QLabel* ObjectModeLabel;
    QComboBox* ObjectModeBox;
    QLabel* eObjectDsplyTimeLabel;
    QLineEdit* eObjectDsplyTime;
    UpDownButton* DsplyTimeUpDown;
    QLabel* eObjectIDLabel;
    QLineEdit* eObjectID;
    UpDownButton* ObjectIDUpDown;
    QToolButton* AddObject;
    QToolButton* DelObject;
    QToolButton* ApplyObject;
    QToolButton* Presets;
    QMenu* PresetPopUp;
    QAction* CenterSafe;
    QAction* SplashScreenCenter;
    QAction* BackgroundTiledZindle1;
};

}  // namespace qel::ui
