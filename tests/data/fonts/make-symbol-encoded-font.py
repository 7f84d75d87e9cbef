#!/usr/bin/python3
"""Writes symbol-encoded.ttf: a font named "Symbol" whose only character map is the symbol
encoding (platform 3, encoding 0, codes U+F020-U+F0FF), as symbol fonts on other systems have.
Every code draws a filled box. Needs fontTools (Debian: python3-fonttools)."""
import os

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib.tables._c_m_a_p import cmap_format_4

codes = range(0xF020, 0xF100)
names = [".notdef"] + ["s%04X" % c for c in codes]


def box():
    pen = TTGlyphPen(None)
    pen.moveTo((50, 0))
    pen.lineTo((50, 700))
    pen.lineTo((550, 700))
    pen.lineTo((550, 0))
    pen.closePath()
    return pen.glyph()


fb = FontBuilder(1000, isTTF=True)
fb.setupGlyphOrder(names)
fb.setupCharacterMap({})
fb.setupGlyf({name: box() for name in names})
fb.setupHorizontalMetrics({name: (600, 50) for name in names})
fb.setupHorizontalHeader(ascent=800, descent=-200)
fb.setupNameTable({"familyName": "Symbol", "styleName": "Regular"})
fb.setupOS2(usWinAscent=800, usWinDescent=200, sTypoAscender=800, sTypoDescender=-200,
            ulCodePageRange1=1 << 31)  # the symbol character set
fb.setupPost()
symbolMap = cmap_format_4(4)
symbolMap.platformID, symbolMap.platEncID, symbolMap.language = 3, 0, 0
symbolMap.cmap = {c: "s%04X" % c for c in codes}
fb.font["cmap"].tables = [symbolMap]
fb.save(os.path.join(os.path.dirname(os.path.abspath(__file__)), "symbol-encoded.ttf"))
