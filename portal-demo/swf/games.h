#pragma once

#include "swfwriter.h"

#include <string>
#include <vector>

// The demo portal's games. Each one is a small animated movie built from
// shapes, sprites and frames; some react to the keyboard or the mouse through
// AVM1 actions.
struct DemoGame
{
    int id;                 // portal number, also the file name <id>.swf
    swf::Bytes (*build)();
};

const std::vector<DemoGame> &demoGames();

swf::Bytes buildBouncingBalls();  // animated main timeline
swf::Bytes buildCatchApples();    // arrow keys move the basket
swf::Bytes buildBalloons();       // click a balloon to pop it
swf::Bytes buildWindmill();       // click the windmill to stop or restart it
swf::Bytes buildLuckyWheel();     // click the centre to stop or restart the wheel
swf::Bytes buildRacing();         // arrow keys steer the car
swf::Bytes buildSaveCounter();    // counts space bar presses, saved with SharedObject
// A guestbook: one input text field, focused by the movie at its start. It
// asks reportBase + "guestbook/ready" when it plays, and reportBase +
// "guestbook/report?t=<escaped text>" each time the field's text changes.
swf::Bytes buildGuestbook(const std::string &reportBase);
