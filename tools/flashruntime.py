#!/usr/bin/python3
"""The program's own copy of the Flash runtime.

    flashruntime.py NPM_PACKAGE_DIR DOOR_URL OUT_DIR

Copies the runtime's script, chunks and WebAssembly modules of the npm
package into OUT_DIR and changes two things in its script, so that the copy
can stand beside a copy a page brings itself:

  - it registers as the source "kavo" (the package registers as "local", and
    a second "local" replaces the first: a page's own copy would push the
    program's out);
  - it loads its chunk and its module from DOOR_URL, whatever the page sets
    as publicPath (a page's setting is meant for the page's own copy, and
    the program's copy is run from a script, where it cannot find its own
    address).

The package is pinned: each change must apply exactly once, or the build
stops here rather than ship a runtime that loads from the wrong place.
"""
import os
import re
import shutil
import sys

REGISTRATION = re.compile(
    r'\("local",\{onFirstLoad:\(\)=>\{a\.p=function\(e\)\{let n=pa\?\.href\?\?"";'
    r'return"publicPath"in e&&null!==e\.publicPath&&void 0!==e\.publicPath&&\(n=e\.publicPath\),'
    r'""===n\|\|n\.endsWith\("/"\)\|\|\(n\+="/"\),n\}\(window\.RufflePlayer\?\.config\)\}\}\)')


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    package, door, out = argv[1:]
    if not door.endswith("/") or '"' in door or "\\" in door:
        sys.exit("flashruntime.py: the door address must end in / and hold no quotes")
    os.makedirs(out, exist_ok=True)
    for name in sorted(os.listdir(package)):
        if name.endswith(".wasm") or (name.startswith("core.ruffle.") and name.endswith(".js")):
            shutil.copyfile(os.path.join(package, name), os.path.join(out, name))
    with open(os.path.join(package, "ruffle.js"), encoding="utf-8") as f:
        script = f.read()
    script, count = REGISTRATION.subn('("kavo",{onFirstLoad:()=>{a.p="%s"}})' % door, script)
    if count != 1:
        sys.exit("flashruntime.py: the runtime's registration was found %d times, not once: "
                 "the package changed; review this script" % count)
    target = os.path.join(out, "ruffle.js")
    with open(target + ".new", "w", encoding="utf-8") as f:
        f.write(script)
    os.replace(target + ".new", target)


if __name__ == "__main__":
    main(sys.argv)
