// The main window's game toolbar and the game download command.
#include "shell/gui/ba1.h"

void BA1::connectToolbar()
{
}
