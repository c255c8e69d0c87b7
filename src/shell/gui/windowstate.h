#pragma once

class QWidget;

// The desktop keeps a record of a top-level window's state (minimised,
// maximised, ...) on the window itself. A window hidden while minimised keeps
// its "minimised" record on X11, and the window manager would take the next
// show for a minimised one. Clears that record of a hidden window, so that
// it is shown normally; does nothing to a shown window.
void ForgetMinimisedState(QWidget *window);
