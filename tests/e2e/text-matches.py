#!/usr/bin/env python3
"""Tells whether text read off the screen says what is expected.

usage: text-matches.py EXPECTED < TEXT_READ
Compares letters and digits only, ignoring case, blanks and punctuation, and
allows a misread character here and there: exits 0 when some stretch of the
text read matches EXPECTED at least 85 %.
"""
import difflib
import re
import sys


def letters(text):
    return re.sub(r"[^a-z0-9]", "", text.lower())


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    want = letters(sys.argv[1])
    got = letters(sys.stdin.read())
    if not want or want in got:
        return 0
    size = len(want)
    best = 0.0
    for start in range(0, max(1, len(got) - size // 2)):
        for length in (size - size // 10, size, size + size // 10):
            piece = got[start:start + length]
            best = max(best, difflib.SequenceMatcher(None, piece, want).ratio())
    return 0 if best >= 0.85 else 1


if __name__ == "__main__":
    sys.exit(main())
