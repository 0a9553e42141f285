#pragma once

class QRadioButton;
class QTreeWidget;
class QWidget;

namespace qx {

// The look of the lobby's lists, fields and choices, beside the game's
// self-drawn controls: black, teal frames, aqua headings, white text.

// A list with columns: aqua headings over white rows.
void ApplyListLook(QTreeWidget* list);
// Text fields, text areas and plain lists inside `widget`: teal frames that
// light up with the focus; read-only fields are darker.
void ApplyFieldLook(QWidget* widget);
// A radio button whose circle stands out on black.
void ApplyChoiceLook(QRadioButton* choice);

} // namespace qx
