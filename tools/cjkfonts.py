#!/usr/bin/python3
"""The Chinese fonts the Flash runtime draws games' device text with.

    cjkfonts.py COLLECTION "FACE FULL NAME" {gb2312|gbk} OUT.otf

Cuts one face out of a font collection of the system (Noto CJK, from the
Debian package fonts-noto-cjk) and keeps the characters a Chinese game shows:
ASCII and Latin-1, general punctuation, CJK symbols and punctuation, kana,
full- and half-width forms, and the characters of GB2312 (6,763 hanzi) or GBK
(21,886). The whole face is 16 MB; the runtime loads every font it is given
into each game, so a game pays for what is kept.

The face keeps its full name (name 4): the runtime registers a font file under
that name, and the program's settings name the fonts by it. The file is
written next to OUT first and renamed into place.
"""
import os
import sys

from fontTools import subset
from fontTools.ttLib import TTCollection


def characters(charset):
    kept = set(range(0x20, 0x7F)) | set(range(0xA0, 0x100)) | set(range(0x2000, 0x2070))
    kept |= set(range(0x3000, 0x3100)) | set(range(0xFF00, 0xFFF0))
    lead = range(0x81, 0xFF) if charset == "gbk" else range(0xA1, 0xF8)
    trail = range(0x40, 0xFF) if charset == "gbk" else range(0xA1, 0xFF)
    for a in lead:
        for b in trail:
            try:
                kept.update(ord(c) for c in bytes([a, b]).decode(charset))
            except UnicodeDecodeError:
                pass
    return kept


def main(collection, face, charset, out):
    if charset not in ("gb2312", "gbk"):
        sys.exit("charset must be gb2312 or gbk")
    for font in TTCollection(collection).fonts:
        if font["name"].getDebugName(4) == face:
            break
    else:
        sys.exit("no face %r in %s" % (face, collection))
    options = subset.Options()
    # Device text is laid out glyph by glyph, without the layout tables.
    options.layout_features = []
    options.name_IDs = [1, 2, 3, 4, 5, 6]
    options.notdef_outline = True
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=characters(charset))
    subsetter.subset(font)
    partial = out + ".part"
    font.save(partial)
    os.replace(partial, out)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
