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
