#pragma once

// Whether the X display named by DISPLAY accepts a connection (an X server,
// or XWayland beside a Wayland compositor). Needs no application object.
bool XDisplayAnswers();
