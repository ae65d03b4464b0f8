#pragma once
// View > Properties: the selected objects' X, Y, image, layer, mode, time
// and id, editable in place. One object shows its values; several show what
// they share and leave the fields where they differ blank ("(mixed)"). A
// change goes to every selected object as one step (Change Selected
// Objects). With X or Y mixed, a number typed there is a distance to move
// them all by; otherwise it is the new position.
//
// It follows the selection of the list it is given and every step at once.
// Its controls are found by objectName: "PropertyCount", "PropertyX",
// "PropertyY", "PropertyImage", "PropertyLayer", "PropertyMode",
// "PropertyTime", "PropertyId".

#include <QItemSelectionModel>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "app/DocumentSession.h"
#include "core/CommonFields.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace qel::ui {

class PanelCommands;

class PropertiesPanel : public QWidget {
    Q_OBJECT
public:
    PropertiesPanel(app::DocumentSession& session, PanelCommands& commands, QWidget* parent = nullptr);

    // The list whose selected objects are shown (the tab in view).
    void follow(ObjectKind kind, QItemSelectionModel* selection);
    // Reads the selection and the document again and shows them.
    void refresh();
    const CommonFields& shown() const { return common_; }
    const std::vector<std::size_t>& rows() const { return rows_; }

private:
    enum class Text { X, Y, Time, Id };
    enum class Choice { Image, Layer, Mode };
    void refreshLater();
    void showTexts();
    void showChoices();
    void commitText(Text which);
    void commitChoice(Choice which, int index);

    app::DocumentSession& session_;
    PanelCommands& commands_;
    ObjectKind kind_ = ObjectKind::Map;
    QPointer<QItemSelectionModel> selection_;
    std::vector<std::size_t> rows_;
    CommonFields common_;
    bool pending_ = false;
    QLabel* count_;
    QLineEdit* x_;
    QLineEdit* y_;
    QComboBox* image_;
    QComboBox* layer_;
    QComboBox* mode_;
    QLineEdit* time_;
    QLineEdit* id_;
};

}  // namespace qel::ui
