#include "ui/TChangeFrm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <limits>

#include "core/Keywords.h"
#include "ui/Controls.h"
#include "ui/Latin1Text.h"

using qel::ui::ObjectChangeFields;

namespace {

QStringList Items(const auto& keywords)
{
    QStringList items;
    for (std::string_view keyword : keywords)
        items << qel::ui::FromBytes(keyword);
    return items;
}

}  // namespace

ObjectChangeFields::Field ObjectChangeFields::*TChangeFrm::Member(Row row)
{
    static constexpr ObjectChangeFields::Field ObjectChangeFields::*kMembers[kRows] = {
        &ObjectChangeFields::dx,      &ObjectChangeFields::dy,   &ObjectChangeFields::image,
        &ObjectChangeFields::layer,   &ObjectChangeFields::mode, &ObjectChangeFields::displayTime,
        &ObjectChangeFields::objectId};
    return kMembers[row];
}

TChangeFrm::TChangeFrm(const QStringList& imageItems, const ObjectChangeFields& start, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("ChangeFrm"));
    setWindowTitle(QStringLiteral("Change Selected Objects"));
    setFont(qel::ui::ControlFont());
    auto* grid = new QGridLayout(this);
    const struct {
        const char* caption;
        const char* name;
    } rows[kRows] = {{"X offset:", "eChangeX"},    {"Y offset:", "eChangeY"},  {"Image:", "ChangeImageBox"},
                     {"Layer:", "ChangeLayerBox"}, {"Mode:", "ChangeModeBox"}, {"DsplyTime:", "eChangeDsplyTime"},
                     {"Object ID:", "eChangeID"}};
    for (int row = 0; row < kRows; ++row) {
        const ObjectChangeFields::Field& field = start.*Member(static_cast<Row>(row));
        QWidget* input = nullptr;
        if (row == Image || row == Layer || row == Mode) {
            auto* box = new QComboBox(this);
            box->addItems(row == Image   ? imageItems
                          : row == Layer ? Items(qel::kLayerKeywords)
                                         : Items(qel::kModeKeywords));
            box->setCurrentIndex(field.value >= 0 && field.value < box->count() ? field.value : 0);
            input = box;
        } else {
            auto* spin = new QSpinBox(this);
            // Offsets either way; display time and id as the editor's arrows
            // keep them, never below 0.
            spin->setRange(row <= Y ? std::numeric_limits<int>::min() : 0, std::numeric_limits<int>::max());
            spin->setValue(field.value);
            input = spin;
        }
        input->setObjectName(QString::fromLatin1(rows[row].name));
        auto* label = new QLabel(QString::fromLatin1(rows[row].caption), this);
        label->setBuddy(input);
        auto* change = new QCheckBox(QStringLiteral("Change"), this);
        change->setObjectName(QString::fromLatin1(rows[row].name) + QStringLiteral("Change"));
        change->setChecked(field.change);
        grid->addWidget(label, row, 0);
        grid->addWidget(input, row, 1);
        grid->addWidget(change, row, 2);
        inputs_[static_cast<std::size_t>(row)] = input;
        change_[static_cast<std::size_t>(row)] = change;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    grid->addWidget(buttons, kRows, 0, 1, 3);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ObjectChangeFields TChangeFrm::fields() const
{
    ObjectChangeFields out;
    for (int row = 0; row < kRows; ++row) {
        ObjectChangeFields::Field& field = out.*Member(static_cast<Row>(row));
        field.change = change_[static_cast<std::size_t>(row)]->isChecked();
        QWidget* input = inputs_[static_cast<std::size_t>(row)];
        if (auto* box = qobject_cast<QComboBox*>(input))
            field.value = box->currentIndex();
        else
            field.value = static_cast<QSpinBox*>(input)->value();
    }
    return out;
}
