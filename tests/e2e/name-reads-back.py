#!/usr/bin/env python3
"""Tells whether a profile's name reads back from a screenshot as written.

usage: name-reads-back.py SCREENSHOT WxH+X+Y LANGUAGE NAME [--after-gap]

Crops the area (light text on the pages' dark ground), and with --after-gap
keeps only what follows the widest gap between the drawn columns (the name
at the end of "Logged in as  NAME"), then trims it to its light pixels (the
text, not the frames, the ground or the entry's caret) with a dark margin. Then reads one line
with tesseract in LANGUAGE (as a line, then as a word), the text enlarged
(Lanczos) to 40, 60 and then 80 pixels high, whatever the display's scale, turned grey and inverted, and
compares it with NAME in composed form without blanks (and without a caret
read as "|"). Exits 0 on a match; prints what was read.
"""
import os
import subprocess
import sys
import tempfile
import unicodedata


def run(*command, data=None):
    return subprocess.run(command, input=data, capture_output=True, check=True).stdout


def grey_pixels(path):
    """The crop's width, height and grey levels (one byte a pixel)."""
    pgm = run("convert", path, "-background", "black", "-alpha", "remove", "-colorspace", "gray", "-depth", "8", "pgm:-")
    fields, offset = [], 0
    while len(fields) < 4:
        while pgm[offset:offset + 1].isspace():
            offset += 1
        end = offset
        while not pgm[end:end + 1].isspace():
            end += 1
        fields.append(pgm[offset:end])
        offset = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, pgm[offset + 1:]


def lit_columns(path):
    width, height, pixels = grey_pixels(path)
    return width, height, [any(pixels[y * width + x] > 128 for y in range(height)) for x in range(width)]


def without_caret(lit):
    """The lit pixels without a caret: a bar at most 4 pixels wide at either
    end of the line, apart from the text and as tall as it."""
    columns = sorted({x for x, _ in lit})
    runs, start = [], columns[0]
    for previous, x in zip(columns, columns[1:]):
        if x - previous > 2:
            runs.append((start, previous))
            start = x
    runs.append((start, columns[-1]))
    if len(runs) < 2:
        return lit
    top, bottom = min(y for _, y in lit), max(y for _, y in lit)
    for first, last in (runs[0], runs[-1]):
        rows = [y for x, y in lit if first <= x <= last]
        if last - first < 4 and max(rows) - min(rows) >= 0.8 * (bottom - top):
            lit = [(x, y) for x, y in lit if not first <= x <= last]
    return lit


def trim_to_text(path, out):
    """Crops to the light pixels with a dark margin; returns the text's height."""
    width, height, pixels = grey_pixels(path)
    lit = [(x, y) for y in range(height) for x in range(width) if pixels[y * width + x] > 128]
    if not lit:
        return 0
    lit = without_caret(lit)
    left, right = min(x for x, _ in lit), max(x for x, _ in lit)
    top, bottom = min(y for _, y in lit), max(y for _, y in lit)
    run("convert", path, "-crop", f"{right - left + 1}x{bottom - top + 1}+{left}+{top}", "+repage",
        "-bordercolor", "black", "-border", str(max(4, (bottom - top) // 3)), out)
    return bottom - top + 1


def after_widest_gap(path, out):
    width, height, lit = lit_columns(path)
    columns = [x for x in range(width) if lit[x]]
    if not columns:
        return False
    best, best_start, run_start = 0, None, None
    for x in range(columns[0], columns[-1] + 1):
        if not lit[x]:
            run_start = x if run_start is None else run_start
            if x - run_start + 1 > best:
                best, best_start = x - run_start + 1, run_start
        else:
            run_start = None
    if best_start is None:
        return False
    left = max(0, best_start + best - 4)
    run("convert", path, "-crop", f"{width - left}x{height}+{left}+0", "+repage", out)
    return True


def comparable(text):
    return "".join(unicodedata.normalize("NFC", text).replace("|", "").split())


def main():
    arguments = [a for a in sys.argv[1:] if not a.startswith("--")]
    if len(arguments) != 4:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    screenshot, area, language, name = arguments
    with tempfile.TemporaryDirectory() as work:
        crop = os.path.join(work, "crop.png")
        run("convert", screenshot, "-crop", area, "+repage", crop)
        if "--after-gap" in sys.argv and not after_widest_gap(crop, crop):
            print("nothing drawn")
            return 1
        text_height = trim_to_text(crop, crop)
        if text_height == 0:
            print("nothing drawn")
            return 1
        read = []
        for target in (40, 60, 80):
            prepared = os.path.join(work, f"prepared-{target}.png")
            run("convert", crop, "-background", "black", "-alpha", "remove", "-filter", "Lanczos",
                "-resize", f"{100 * target / text_height:.0f}%", "-colorspace", "gray", "-negate", prepared)
            # As one line, then as one word (which reads short Han names).
            for mode in ("7", "8"):
                text = run("tesseract", prepared, "stdout", "-l", language, "--psm", mode).decode("utf-8", "replace").strip()
                read.append(text)
                if comparable(text) == comparable(name):
                    print(text)
                    return 0
    print(" / ".join(read))
    return 1


if __name__ == "__main__":
    sys.exit(main())
