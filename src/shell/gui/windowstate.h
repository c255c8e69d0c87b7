#pragma once

class QWidget;

// The desktop keeps a record of a top-level window's state (minimised,
// maximised, ...) on the window itself. A window hidden while minimised keeps
// its "minimised" record on X11, and the window manager would take the next
// show for a minimised one. Clears that record of a hidden window, so that
// it is shown normally; does nothing to a shown window.
void ForgetMinimisedState(QWidget *window);

// Brings a shown top-level window to the front with the keyboard, as the
// user's own request: a window manager that keeps programs from taking the
// front by themselves lets this one through (X11: an activation with the
// source of a pager or taskbar). For answers to the user only: a new start
// of the program, a click on its icon, the boss key.
void BringToFront(QWidget *window);
