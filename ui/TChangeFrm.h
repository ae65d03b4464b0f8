#pragma once
// "Change Selected Objects": for each field an input and a box "Change",
// unticked at first; OK hands back the fields as they were left.

#include <QDialog>
#include <QStringList>
#include <array>

#include "ui/Prompter.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

class TChangeFrm : public QDialog {
    Q_OBJECT
public:
    TChangeFrm(const QStringList& imageItems, const qel::ui::ObjectChangeFields& start, QWidget* parent = nullptr);

    qel::ui::ObjectChangeFields fields() const;

private:
    enum Row { X, Y, Image, Layer, Mode, DsplyTime, ID, kRows };
    static qel::ui::ObjectChangeFields::Field qel::ui::ObjectChangeFields::*Member(Row row);

    // Found by these names, as the sections' controls are.
    std::array<QWidget*, kRows> inputs_{};
    std::array<QCheckBox*, kRows> change_{};
};
