#include "shell/gui/ba1.h"

// The update check and the promotion windows it opens.

void BA1::shengji()
{
}
