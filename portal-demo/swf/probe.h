#pragma once

#include "swfwriter.h"

#include <string>

// A hostile movie for security tests. When it plays it
//  1. asks reportBase + "hello" (proof that it runs),
//  2. loads `localUrl` with the runtime's own loader (loadVariablesNum), and
//     asks its page's script, through a javascript: address, to read
//     `localUrl` with XMLHttpRequest and fetch and send what it got to
//     reportBase + "page?...",
//  3. sends any variable "secret" it got to reportBase + "leak?d=<value>", or,
//     after about forty checks without one, asks reportBase + "done".
swf::Bytes buildProbe(const std::string &reportBase, const std::string &localUrl);

// A movie that reports the keys it hears. When it plays it asks
// reportBase + "keys-ready"; for each arrow key pressed it asks
// reportBase + "key?code=<37..40>&ctrl=<true|false>", ctrl telling whether
// the movie believes Ctrl held at that moment.
swf::Bytes buildKeyProbe(const std::string &reportBase);

// The device-font names a Chinese game's text fields ask for, in the order
// buildFontProbe lays them out; the last three hold Latin text.
extern const char *const kDeviceFontNames[];
extern const int kDeviceFontCount;
// Text of field i: "中文游戏开始", or "Latin Text 123" for the Latin names.
std::string deviceFontText(int i);
// Colour of field i (0xRRGGBB).
uint32_t deviceFontColour(int i);

// A movie whose text fields use device fonts, as most Chinese games write
// their menus and scores: field i (name kDeviceFontNames[i], 20 px, its own
// colour) at (10 + 200 * (i % 4), 10 + 80 * (i / 4)) of an 800 x 570 stage
// of grey 200 x 80 cells. In its first frame it asks
// reportBase + "fonts?n=<count>&W0=<textWidth>&H0=<textHeight>&W1=...".
swf::Bytes buildFontProbe(const std::string &reportBase);
