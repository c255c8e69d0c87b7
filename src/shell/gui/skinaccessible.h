#pragma once

// What assistive technology (a screen reader over AT-SPI) learns about the
// skinned controls. A PictureBox, ImageButton or ClickLabel that is clicked
// like a button looks to a reader like any other picture or text; Describe()
// gives it a role, a name and, for tabs and two-state buttons, whether it is
// on. Name and state are functions that every question of the reader calls,
// so they tell the control's state as it is at that moment; the name comes
// back without line breaks or surrounding blanks. A control without a
// description reads as before (a panel, or a label by its text).
//
// The press action (QAccessibleActionInterface::pressAction) does what a mouse
// click does: while the control is shown and enabled it emits the control's
// clicked() signal, from the event loop (a click may open a menu or a message
// box, and the reader's request must not wait for it to close). Nothing here
// gives focus: the keyboard stays where it is.

#include <QString>

#include <functional>

class QWidget;

namespace SkinAccessible
{
enum class Kind {
    Button, // a push button
    Tab,    // a page tab; `on` tells the selected one
    Toggle, // a two-state button; `on` tells the checked state
    Link,   // text that acts when clicked
    Window, // a window of the program's own drawing; named by its title
};

// `control` is a PictureBox (or ImageButton) or a ClickLabel, or for Window a
// top-level widget described in its constructor. Without `name` the control's
// own text (a window's title) is read.
void Describe(QWidget *control, Kind kind, std::function<QString()> name = {}, std::function<bool()> on = {});

// Tells readers that the control's name or state may have changed (a reader
// that shows or speaks it asks again). Labels tell their text changes
// themselves.
void Changed(QWidget *control);

// Lets the skinned controls answer the reader's questions; the controls'
// constructors call it.
void Install();
} // namespace SkinAccessible
