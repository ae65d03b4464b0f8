#pragma once
// How the file, image and preview sections reach each other and the
// object editor's ObjectImageBox, which the window assembles.

class QComboBox;
class TMainFrm;

namespace qel::ui {

// Gives `objectImageBox` exactly the items of `imageBox`. Its text stays as
// it was, and no item is chosen in it afterwards.
void CopyImageItems(const QComboBox& imageBox, QComboBox& objectImageBox);

// The first step of the periodic refresh: the items are copied when the two
// boxes hold different numbers of items (equal counts are left alone).
void FollowImageBox(const QComboBox& imageBox, QComboBox& objectImageBox);

// Connects the sections' requests to each other (hiding the preview picture,
// previewing the clicked file, starting an animation, a delete's new items),
// hands the file section the settings and the image box's choice, and the
// preview section the program folder and the animation timer.
void LinkSections(TMainFrm& frm);

}  // namespace qel::ui
