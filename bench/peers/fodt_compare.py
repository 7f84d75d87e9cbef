#!/usr/bin/env python3
"""What a save keeps, as the office suite reads it (bench/README.md).

Each RTF file given (or found under the folders given) is saved by quillet-convert; the office
suite (soffice, Debian's libreoffice-writer-nogui) converts the original and our save to flat
ODF text, and the two readings are compared paragraph by paragraph and word by word: alignment,
indents, spacing, line height, page breaks, tab stops and leaders, list paragraphs; bold, italic,
underline style, strike-through, capitals, small capitals, hidden text, raised and lowered text,
colour, size and font of every word; tables, rows and cells. Prints each file's share of the
original's features the save keeps, the files under 95 %, the share overall and what is lost
most.

Usage: bench/peers/fodt_compare.py [--build DIR] [--work DIR] [--worst N] [--show FILE] PATH...
The originals' readings are kept in the work folder by content, so a second round converts our
saves only.
"""

import argparse
import collections
import difflib
import hashlib
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

NS = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "fo": "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0",
    "svg": "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0",
}


def q(name):
    prefix, local = name.split(":")
    return "{%s}%s" % (NS[prefix], local)


PARA_PROPS = {
    "align": ("paragraph", "fo:text-align"),
    "left": ("paragraph", "fo:margin-left"),
    "right": ("paragraph", "fo:margin-right"),
    "indent": ("paragraph", "fo:text-indent"),
    "before": ("paragraph", "fo:margin-top"),
    "after": ("paragraph", "fo:margin-bottom"),
    "line-height": ("paragraph", "fo:line-height"),
    "line-at-least": ("paragraph", "style:line-height-at-least"),
    "line-spacing": ("paragraph", "style:line-spacing"),
    "break-before": ("paragraph", "fo:break-before"),
    "break-after": ("paragraph", "fo:break-after"),
}
SPAN_PROPS = {
    "bold": ("text", "fo:font-weight"),
    "italic": ("text", "fo:font-style"),
    "underline": ("text", "style:text-underline-style"),
    "underline-type": ("text", "style:text-underline-type"),
    "underline-mode": ("text", "style:text-underline-mode"),
    "strike": ("text", "style:text-line-through-style"),
    "caps": ("text", "fo:text-transform"),
    "small-caps": ("text", "fo:font-variant"),
    "hidden": ("text", "text:display"),
    "position": ("text", "style:text-position"),
    "color": ("text", "fo:color"),
    "size": ("text", "fo:font-size"),
    "font": ("text", "style:font-name"),
}
DEFAULTS = {
    "align": "start", "left": "0cm", "right": "0cm", "indent": "0cm", "before": "0cm",
    "after": "0cm", "line-height": "100%", "line-at-least": "", "line-spacing": "",
    "break-before": "auto", "break-after": "auto", "bold": "normal", "italic": "normal",
    "underline": "none", "underline-type": "", "underline-mode": "", "strike": "none",
    "caps": "none", "small-caps": "normal", "hidden": "", "position": "0% 100%",
    "color": "#000000", "size": "12pt", "font": "",
}


def normal(key, value):
    if value is None:
        value = DEFAULTS.get(key, "")
    if key == "align":
        return {"left": "start", "right": "end"}.get(value, value)
    if key == "underline-type" and value == "single":
        return ""
    if key == "position":
        # "super 58%" and "33% 58%" name the same raise; keep the words as written.
        return value
    if key in ("left", "right", "indent", "before", "after", "line-at-least", "line-spacing") \
            or (key == "line-height" and not value.endswith("%")):
        m = re.match(r"(-?[0-9.]+)(cm|in|pt|mm)", value)
        if m:
            factor = {"cm": 1.0, "in": 2.54, "pt": 2.54 / 72, "mm": 0.1}[m.group(2)]
            return "%.2fcm" % (float(m.group(1)) * factor)
    return value


class Styles:
    """Named and automatic styles of one document, each property followed up its parents."""

    def __init__(self, root):
        self.styles = {}
        self.fonts = {}
        for face in root.iter(q("style:font-face")):
            family = face.get(q("svg:font-family"), "").strip("'\"")
            self.fonts[face.get(q("style:name"))] = family
        self.defaults = {}
        for default in root.iter(q("style:default-style")):
            self.defaults[default.get(q("style:family"))] = self._props(default)
        for style in root.iter(q("style:style")):
            key = (style.get(q("style:family")), style.get(q("style:name")))
            self.styles[key] = (style.get(q("style:parent-style-name")), self._props(style),
                                style.get(q("style:list-style-name")))

    @staticmethod
    def _props(style):
        props = {}
        for child in style:
            kind = child.tag.split("}")[1]
            if kind == "paragraph-properties":
                for name, value in child.attrib.items():
                    props[("paragraph", name)] = value
                tabs = child.find(q("style:tab-stops"))
                if tabs is not None:
                    stops = []
                    for tab in tabs:
                        stops.append("%s:%s:%s:%s" % (
                            normal("left", tab.get(q("style:position"))),
                            tab.get(q("style:type"), "left"),
                            tab.get(q("style:leader-style"), "none"),
                            tab.get(q("style:leader-text"), "")))
                    props[("paragraph", "tabs")] = " ".join(stops)
            elif kind == "text-properties":
                for name, value in child.attrib.items():
                    props[("text", name)] = value
        return props

    def lookup(self, family, name, kind, attribute, seen=None):
        attr = q(attribute) if attribute != "tabs" else "tabs"
        seen = seen or set()
        while name and (family, name) not in seen:
            seen.add((family, name))
            entry = self.styles.get((family, name))
            if not entry:
                break
            parent, props, _ = entry
            if (kind, attr) in props:
                return props[(kind, attr)]
            name = parent
        return self.defaults.get(family, {}).get((kind, attr))


def text_of(element, styles, spans, style_stack, hidden_only=False):
    """Appends (text, text style names) pieces of a paragraph, spans followed down."""
    if element.text:
        spans.append((element.text, tuple(style_stack)))
    for child in element:
        tag = child.tag.split("}")[1]
        if tag == "span":
            name = child.get(q("text:style-name"))
            text_of(child, styles, spans, style_stack + [name])
        elif tag == "s":
            spans.append((" " * int(child.get(q("text:c"), "1")), tuple(style_stack)))
        elif tag == "tab":
            spans.append(("\t", tuple(style_stack)))
        elif tag == "line-break":
            spans.append(("\n", tuple(style_stack)))
        elif tag in ("a", "bookmark-ref", "reference-ref", "page-number", "date", "time",
                     "sequence", "hidden-text", "text-input", "meta", "ruby", "ruby-base"):
            text_of(child, styles, spans, style_stack)
        elif tag == "note":
            pass  # footnotes: their own paragraphs, not this one's words
        if child.tail:
            spans.append((child.tail, tuple(style_stack)))


class Reading:
    def __init__(self, path):
        root = ET.parse(path).getroot()
        self.styles = Styles(root)
        self.paragraphs = []
        self.tables = 0
        self.rows = 0
        self.cells = 0
        body = root.find(q("office:body"))
        self._walk(body, in_list=False)

    def _walk(self, element, in_list):
        for child in element:
            tag = child.tag.split("}")[1]
            if tag in ("p", "h"):
                self._paragraph(child, in_list)
            elif tag == "list":
                self._walk(child, True)
            elif tag == "table":
                self.tables += 1
                self._walk(child, in_list)
            elif tag == "table-row":
                self.rows += 1
                self._walk(child, in_list)
            elif tag == "table-cell":
                self.cells += 1
                self._walk(child, in_list)
            elif tag in ("note", "tracked-changes", "frame", "annotation"):
                continue
            else:
                self._walk(child, in_list)

    def _paragraph(self, p, in_list):
        name = p.get(q("text:style-name"))
        props = {}
        for key, (kind, attribute) in PARA_PROPS.items():
            props[key] = normal(key, self.styles.lookup("paragraph", name, kind, attribute))
        props["tabs"] = self.styles.lookup("paragraph", name, "paragraph", "tabs") or ""
        entry = self.styles.styles.get(("paragraph", name))
        props["list"] = "yes" if in_list or (entry and entry[2]) else "no"
        pieces = []
        text_of(p, self.styles, pieces, [])
        words = []
        for text, stack in pieces:
            chars = {}
            for key, (kind, attribute) in SPAN_PROPS.items():
                value = None
                for span in reversed(stack):
                    value = self.styles.lookup("text", span, kind, attribute)
                    if value is not None:
                        break
                if value is None:
                    value = self.styles.lookup("paragraph", name, kind, attribute)
                if key == "font" and value is not None:
                    value = self.styles.fonts.get(value, value)
                chars[key] = normal(key, value)
            for word in text.split():
                words.append((word, chars))
        self.paragraphs.append(("".join(t for t, _ in pieces).strip(), props, words))


def compare(original, ours):
    """Features of the original's reading and how many of them ours has, by kind."""
    total = collections.Counter()
    kept = collections.Counter()
    a = [p[0] for p in original.paragraphs]
    b = [p[0] for p in ours.paragraphs]
    matcher = difflib.SequenceMatcher(None, a, b, autojunk=False)
    pairs = {}
    for block in matcher.get_matching_blocks():
        for k in range(block.size):
            pairs[block.a + k] = block.b + k
    # Paragraphs whose text changed a little still pair up where they stand in a replaced run.
    for tag, a0, a1, b0, b1 in matcher.get_opcodes():
        if tag == "replace":
            for k in range(min(a1 - a0, b1 - b0)):
                pairs[a0 + k] = b0 + k
    for index, (text, props, words) in enumerate(original.paragraphs):
        other = ours.paragraphs[pairs[index]] if index in pairs else None
        for key, value in props.items():
            total[key] += 1
            if other and other[1].get(key) == value:
                kept[key] += 1
            if other:
                total["matched " + key] += 1
                kept["matched " + key] += other[1].get(key) == value
        other_words = other[2] if other else []
        wm = difflib.SequenceMatcher(None, [w for w, _ in words], [w for w, _ in other_words],
                                     autojunk=False)
        word_pairs = {}
        for block in wm.get_matching_blocks():
            for k in range(block.size):
                word_pairs[block.a + k] = block.b + k
        for wi, (word, chars) in enumerate(words):
            theirs = other_words[word_pairs[wi]][1] if wi in word_pairs else None
            total["words"] += 1
            if theirs is not None:
                kept["words"] += 1
            for key, value in chars.items():
                total[key] += 1
                if theirs is not None and theirs.get(key) == value:
                    kept[key] += 1
                if theirs is not None:
                    total["matched " + key] += 1
                    kept["matched " + key] += theirs.get(key) == value
    for key in ("tables", "rows", "cells"):
        total[key] += getattr(original, key)
        kept[key] += min(getattr(original, key), getattr(ours, key))
    return total, kept


def convert(files, outdir, work):
    os.makedirs(outdir, exist_ok=True)
    if not files:
        return
    profile = "file://" + os.path.join(work, "profile")
    subprocess.run(["soffice", "--headless", "-env:UserInstallation=" + profile,
                    "--convert-to", "fodt", "--outdir", outdir] + files,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("paths", nargs="+")
    parser.add_argument("--build", default="build")
    parser.add_argument("--work", default="/tmp/quillet-fodt")
    parser.add_argument("--worst", type=int, default=10)
    parser.add_argument("--show", help="print the lost features of the file with this name")
    args = parser.parse_args()

    files = []
    for path in args.paths:
        if os.path.isdir(path):
            for folder, _, names in os.walk(path):
                files += [os.path.join(folder, n) for n in sorted(names)
                          if n.lower().endswith(".rtf")]
        else:
            files.append(path)
    work = os.path.abspath(args.work)
    originals = os.path.join(work, "originals")
    saves = os.path.join(work, "saves")
    for folder in (originals, saves, os.path.join(work, "saves-fodt")):
        shutil.rmtree(folder, ignore_errors=True) if folder != originals else None
        os.makedirs(folder, exist_ok=True)
    cache = os.path.join(work, "original-fodt")
    os.makedirs(cache, exist_ok=True)

    names = {}
    for path in files:
        data = open(path, "rb").read()
        name = hashlib.sha1(data).hexdigest()[:16]
        names[name] = path
        with open(os.path.join(originals, name + ".rtf"), "wb") as out:
            out.write(data)
    converter = os.path.join(args.build, "quillet-convert")
    for name in names:
        subprocess.run([converter, os.path.join(originals, name + ".rtf"),
                        os.path.join(saves, name + ".rtf")],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    missing = [os.path.join(originals, n + ".rtf") for n in names
               if not os.path.exists(os.path.join(cache, n + ".fodt"))]
    convert(missing, cache, work)
    convert([os.path.join(saves, n + ".rtf") for n in names
             if os.path.exists(os.path.join(saves, n + ".rtf"))],
            os.path.join(work, "saves-fodt"), work)

    overall_total = collections.Counter()
    overall_kept = collections.Counter()
    results = []
    for name, path in names.items():
        a = os.path.join(cache, name + ".fodt")
        b = os.path.join(work, "saves-fodt", name + ".fodt")
        if not os.path.exists(a):
            continue  # the office suite does not read it either
        try:
            original = Reading(a)
            ours = Reading(b) if os.path.exists(b) else None
        except ET.ParseError:
            continue
        if ours is None:
            ours = Reading.__new__(Reading)
            ours.paragraphs, ours.tables, ours.rows, ours.cells = [], 0, 0, 0
        total, kept = compare(original, ours)
        overall_total += total
        overall_kept += kept
        share = sum(v for k, v in kept.items() if not k.startswith("matched")) / max(
            1, sum(v for k, v in total.items() if not k.startswith("matched")))
        lost = {k: total[k] - kept[k] for k in total
                if total[k] != kept[k] and not k.startswith("matched")}
        results.append((share, path, lost, total))
        if args.show and os.path.basename(path) == args.show:
            for index, para in enumerate(original.paragraphs[:400]):
                print("orig", index, para[0][:50], para[1])

    results.sort()
    within = sum(1 for r in results if r[0] >= 0.95)
    plain = [k for k in overall_total if not k.startswith("matched")]
    matched = [k for k in overall_total if k.startswith("matched")]
    share = sum(overall_kept[k] for k in plain) / max(1, sum(overall_total[k] for k in plain))
    share_matched = sum(overall_kept[k] for k in matched) / max(
        1, sum(overall_total[k] for k in matched))
    print("files compared: %d; keep >= 95%% of their features: %d; kept overall: %.2f%%"
          % (len(results), within, 100 * share))
    print("of the paragraphs and words both readings hold, features kept: %.2f%%"
          % (100 * share_matched))
    print("lost where the text is the same, most first:")
    for key in sorted(matched, key=lambda k: overall_kept[k] - overall_total[k]):
        if overall_total[key] != overall_kept[key]:
            print("  %-14s %6d of %6d" % (key[8:], overall_total[key] - overall_kept[key],
                                          overall_total[key]))
    print("lost, most first:")
    losses = {k: overall_total[k] - overall_kept[k] for k in plain}
    for key, count in sorted(losses.items(), key=lambda kv: -kv[1]):
        if count:
            print("  %-14s %6d of %6d" % (key, count, overall_total[key]))
    print("worst files:")
    for share, path, lost, total in results[:args.worst]:
        detail = ", ".join("%s %d" % (k, v) for k, v in sorted(lost.items(), key=lambda kv: -kv[1]))
        print("  %6.2f%%  %s  (%s)" % (100 * share, path, detail))


if __name__ == "__main__":
    sys.exit(main())
