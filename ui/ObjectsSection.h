#pragma once
// "Objects Section": the map and screen object lists and the controls that
// describe one object.

#include <QGroupBox>
#include <optional>

#include "ObjectSort.h"
#include "ViewState.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QToolButton;

namespace qel::app {
class DocumentSession;
}

namespace qel::ui {

class ObjectListModel;
class Prompter;
class UpDownButton;

class ObjectsSection : public QGroupBox {
    Q_OBJECT
public:
    ObjectsSection(app::DocumentSession& session, Prompter& prompter, QWidget* parent = nullptr);
    ~ObjectsSection() override;

    // The section's part of ResetDocument: map objects shown, the object
    // editor's controls back to their start.
    void ResetControls();
    // The section's step of the periodic refresh.
    void Refresh();

    // The kind in view and both lists' selections and current rows.
    app::ViewState CurrentViewState() const;
    void ShowViewState(const app::ViewState& state);
    // The object kind the ObjectsBox selection stands for.
    ObjectKind ShownKind() const;

    ObjectListModel* mapModel() const { return mapModel_; }
    ObjectListModel* screenModel() const { return screenModel_; }

    // Handlers.
    void SortObjectsClick();
    // The Sort Objects dialog's Sort: sort the kind by the key (when one is
    // chosen) and regenerate both lists, as one step.
    void SortRequested(ObjectKind kind, std::optional<SortKey> key);

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

signals:
    // SortObjects was pressed: the window shows its Sort Objects dialog.
    void sortDialogRequested();

private:
    QListView* ListOf(ObjectKind kind) const;

    app::DocumentSession& session_;
    Prompter& prompter_;
    ObjectListModel* mapModel_;
    ObjectListModel* screenModel_;
};

}  // namespace qel::ui
