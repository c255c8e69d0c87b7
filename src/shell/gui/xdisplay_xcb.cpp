#include "shell/gui/xdisplay.h"

#include <QtGlobal>

#include <xcb/xcb.h>

bool XDisplayAnswers()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool answers = connection && xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}
