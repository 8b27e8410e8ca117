#pragma once

class QAbstractButton;
class QCoreApplication;

namespace plx {

// A button pressed by a key acts exactly as a click on it. A click first takes
// the focus to the button, so the box being edited is left and runs its rules
// (reformatting, the amount calculation, a tag-grid cell's edit written into
// its cell) before the button's handler reads the boxes. A key press does not
// move the focus by itself (a mnemonic such as Alt+R, Enter on a dialog's
// default button, the space bar); this makes every button take the focus when
// it is pressed, before it acts, however it was pressed.
//
// Installed once on the application, it serves every window. A button that a
// click would not focus (no click focus) is left alone, as a click leaves the
// box alone.
void installKeyClicks(QCoreApplication& app);

// Presses `button` from a key of the window's own (PageUp for 前頁): the focus
// goes to it as a click would take it there, then it is clicked. Nothing
// happens when the button is disabled or hidden.
void clickByKey(QAbstractButton& button);

} // namespace plx
