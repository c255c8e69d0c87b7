#!/usr/bin/env python3
"""Checks that every #include "..." under src/ follows the layers of the code.

The layers, bottom up; a file includes headers of its own layer and of the
layers below it, never of a layer above:

  common       common/: paths, safe files, text helpers
  core         the window-free subsystem folders (the files directly in
               them, built into kavo_core); besides common/ and itself a
               core folder includes only the core folders CORE_USES names,
               and what those use in turn
  base gui     resources/gui/ and shell/gui/: the skin, generic widgets
               (PictureBox, ImageButton, ClickLabel, message boxes) and the
               desktop plumbing (tray, hooks, window state)
  subsystem    <folder>/gui/ of the other subsystem folders: the reusable
  gui          pieces the main window uses (WebPane, bkDLControl, the
               promotion windows, the settings dialog BA2)
  main window  mainwindow/: the main window BA1 in all its files and its
               menu form BA3
  app          app/: the process entry

The gui/ folders of both gui layers stand in one order, GUI_ORDER: a gui/
folder includes only itself and the gui/ folders before it, so no two gui/
folders include each other. A gui/ folder that needs one listed after it
moves up the list, which it can only while that one does not include it.

A file outside these folders (or in a gui/ folder missing from GUI_ORDER)
fails the check until its folder is added here.
Includes that name no file under src/ (generated files such as the .moc of a
file) are left alone; an include of a file under src/ must be written from
src/ ("lists/gamelist.h").

Usage: layercheck.py [SRC_DIR]   (default: the src/ folder of this checkout)
       layercheck.py --self-test
Ends with 1 and one line per broken rule (file:line: ...) when any is broken.
"""

import os
import re
import subprocess
import sys
import tempfile

CORE = ["startup", "lists", "download", "services", "portal", "dialogs", "player", "shell", "resources", "flash"]
# The core folders each core folder uses besides common/ and itself.
CORE_USES = {
    "startup": ["lists", "download", "services"],
    "portal": ["lists", "download"],
    "dialogs": ["startup"],
    "flash": ["portal", "download"],
}
BASE_GUI = ["resources", "shell"]
# The gui/ folders bottom up (the base gui layer first): each includes only
# itself and those before it. The flash page scripts go into every web pane,
# the panes into the promotion windows.
GUI_ORDER = ["resources/gui", "shell/gui", "flash/gui", "portal/gui", "download/gui", "player/gui",
             "services/gui", "dialogs/gui"]

LAYERS = ["common", "core", "base gui", "subsystem gui", "main window", "app"]

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c", ".inl")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def unit_of(path):
    """(layer, unit) of a path relative to src/, or None when it is in no
    known folder. The unit is the folder the rules name ("portal",
    "portal/gui")."""
    parts = path.split("/")
    top = parts[0]
    if len(parts) < 2:
        return None
    if top == "common" and len(parts) == 2:
        return ("common", "common")
    if top in ("mainwindow", "app"):
        return ("main window" if top == "mainwindow" else "app", top)
    if top in CORE:
        if len(parts) == 2:
            return ("core", top)
        if len(parts) == 3 and parts[1] == "gui" and top + "/gui" in GUI_ORDER:
            return ("base gui" if top in BASE_GUI else "subsystem gui", top + "/gui")
    return None


def core_reach(folder):
    """The core folders a core folder may include: itself and what it uses,
    followed through."""
    reach, todo = set(), [folder]
    while todo:
        f = todo.pop()
        if f not in reach:
            reach.add(f)
            todo.extend(CORE_USES.get(f, []))
    return reach


def allowed_text(layer, unit):
    if layer == "core":
        names = ["common/"] + [f + "/" for f in sorted(core_reach(unit))]
        return "%s/ is a window-free core folder and may include only %s" % (unit, ", ".join(names))
    below = LAYERS[: LAYERS.index(layer) + 1]
    text = "%s/ is in the %s layer and may include only the layers %s" % (unit, layer, ", ".join(below))
    if unit in GUI_ORDER:
        earlier = GUI_ORDER[: GUI_ORDER.index(unit)]
        text += ", and of the gui/ folders only those before it in GUI_ORDER (%s)" % (
            ", ".join(g + "/" for g in earlier) or "none")
    return text


def broken_rule(src_unit, dst_unit):
    """None when a file of src_unit may include a header of dst_unit, else
    the rule it breaks."""
    (src_layer, src_name), (dst_layer, dst_name) = src_unit, dst_unit
    src_rank, dst_rank = LAYERS.index(src_layer), LAYERS.index(dst_layer)
    if src_layer == "core" and dst_layer == "core":
        if dst_name in core_reach(src_name):
            return None
    elif src_name in GUI_ORDER and dst_name in GUI_ORDER:
        if GUI_ORDER.index(dst_name) <= GUI_ORDER.index(src_name):
            return None
    elif dst_rank <= src_rank:
        return None
    rule = allowed_text(src_layer, src_name)
    if dst_layer == "main window":
        rule += "; nothing below mainwindow/ includes its headers"
    return rule


def check(src):
    problems = []
    for folder, dirs, files in os.walk(src):
        dirs.sort()
        for name in sorted(files):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            full = os.path.join(folder, name)
            rel = os.path.relpath(full, src).replace(os.sep, "/")
            unit = unit_of(rel)
            if unit is None:
                problems.append("src/%s: not in a folder of a known layer (add its folder to %s)"
                                % (rel, os.path.basename(__file__)))
                continue
            with open(full, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    target = m.group(1)
                    where = "src/%s:%d: includes \"%s\"" % (rel, number, target)
                    if not os.path.isfile(os.path.join(src, target)):
                        if os.path.isfile(os.path.join(folder, target)):
                            problems.append(where + ": write it from src/ (\"%s\")"
                                            % os.path.relpath(os.path.join(folder, target), src))
                        continue
                    target_unit = unit_of(target)
                    if target_unit is None:
                        problems.append(where + ": a header outside the known layers")
                        continue
                    rule = broken_rule(unit, target_unit)
                    if rule:
                        problems.append(where + ": " + rule)
    return problems


def self_test():
    """A tree with one include of each kind the rules turn away fails with a
    line for each; the same tree without them passes."""
    good = {
        "common/a.h": "",
        "lists/l.h": '#include "common/a.h"\n',
        "startup/s.cpp": '#include "lists/l.h"\n',
        "dialogs/d.h": '#include "lists/l.h"\n',
        "shell/gui/w.h": '#include "startup/s.cpp"\n',
        "portal/gui/p.h": '#include "shell/gui/w.h"\n',
        "dialogs/gui/g.h": '#include "portal/gui/p.h"\n#include "x.moc"\n',
        "mainwindow/m.h": '#include "mainwindow/n.h"\n#include "portal/gui/p.h"\n',
        "mainwindow/n.h": "",
        "app/main.cpp": '#include "mainwindow/m.h"\n',
    }
    bad = {
        "common/b.h": ('#include "lists/l.h"\n', "common/b.h:1:"),
        "lists/c.h": ('#include "startup/s.cpp"\n', "lists/c.h:1:"),
        "shell/d.h": ('#include "shell/gui/w.h"\n', "shell/d.h:1:"),
        "shell/gui/e.h": ('#include "portal/gui/p.h"\n', "shell/gui/e.h:1:"),
        "portal/gui/f.h": ('\n#include "mainwindow/m.h"\n', "portal/gui/f.h:2:"),
        "portal/gui/j.h": ('#include "dialogs/gui/g.h"\n', "portal/gui/j.h:1:"),
        "mainwindow/g.h": ('#include "app/main.cpp"\n', "mainwindow/g.h:1:"),
        "lists/h.h": ('#include "l.h"\n', "lists/h.h:1:"),
        "misc/i.h": ("", "misc/i.h:"),
    }
    with tempfile.TemporaryDirectory() as tmp:
        for files in (good, {k: v[0] for k, v in bad.items()}):
            for rel, text in files.items():
                os.makedirs(os.path.dirname(os.path.join(tmp, rel)), exist_ok=True)
                with open(os.path.join(tmp, rel), "w", encoding="utf-8") as f:
                    f.write(text)
        run = subprocess.run([sys.executable, __file__, tmp], capture_output=True, text=True)
        lines = run.stdout.splitlines()
        missing = [where for _, where in bad.values() if not any(l.startswith("src/" + where) for l in lines)]
        if run.returncode != 1 or missing or len(lines) != len(bad) + 1:
            print("layer check self-test: a broken rule went through or a good include was "
                  "turned away:\n" + run.stdout + run.stderr)
            return 1
        for rel in bad:
            os.remove(os.path.join(tmp, rel))
        run = subprocess.run([sys.executable, __file__, tmp], capture_output=True, text=True)
        if run.returncode != 0:
            print("layer check self-test: a tree that keeps the layers fails:\n" + run.stdout)
            return 1
    return 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    src = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    problems = check(src)
    for p in problems:
        print(p)
    if problems:
        print("layer check: %d include(s) break the layers (the rules are in scripts/%s)"
              % (len(problems), os.path.basename(__file__)))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
