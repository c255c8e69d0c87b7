// The main window's handlers of the web panes: command URLs, pane events and
// context menus.
#include "shell/gui/ba1.h"

#include "portal/gui/webpane.h"

void BA1::connectPortalEvents()
{
}
