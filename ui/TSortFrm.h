#pragma once
// The Sort Objects dialog: chooses the object kind and the field to sort by.
// It is created once and only hidden when it closes, so the chosen field
// carries over to the next showing.

#include <QDialog>

#include "core/EntryLine.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QRadioButton;
class QToolButton;

class TSortFrm : public QDialog {
    Q_OBJECT
public:
    explicit TSortFrm(QWidget* parent = nullptr);

    // What the next showing starts from: the kind in view, and how many
    // objects each kind has (a kind without objects cannot be chosen).
    void prepare(qel::ObjectKind shown, int mapObjectCount, int screenObjectCount);

    // Index of the chosen "Sort by:" item, -1 when none is chosen.
    int sortKeyIndex() const;
    qel::ObjectKind chosenKind() const;

signals:
    // Sort pressed: sort that kind by the key (when one is chosen, -1 when
    // not), then recompose both lists.
    void sortRequested(qel::ObjectKind kind, int keyIndex);
    // The dialog was hidden, by Sort or by any other way of closing it.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormCreate();
    void SortMapObjectsClick();
    void SortScreenObjectsClick();
    void SortClick();

    // Found by these names, as the sections' controls are.
    QGroupBox* SortByRadio;
    QRadioButton* SortMapObjects;
    QRadioButton* SortScreenObjects;
    QToolButton* Sort;
    QButtonGroup* sortBy_;
    qel::ObjectKind shown_ = qel::ObjectKind::Map;
    int mapObjectCount_ = 0;
    int screenObjectCount_ = 0;
};
