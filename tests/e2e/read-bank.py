#!/usr/bin/env python3
"""Prints a preset bank as the decoder plug-in would find it on disk.

The bank is one tree in JUCE's binary tree format: a type name, its
properties (name, then a value with its size and a type marker) and its
children. This reader is independent of the program, so the end-to-end tests
check the file itself rather than the program's view of it.

usage: read-bank.py BANK_FILE
Prints one line per property: "bank.KEY=VALUE" for the bank's own and
"preset.INDEX.KEY=VALUE" for each preset's, presets in bank order. Exits 1 on
a file it cannot read.
"""
import struct
import sys


class BankError(Exception):
    pass


class Reader:
    def __init__(self, data):
        self.data = data
        self.pos = 0

    def take(self, count):
        if count < 0 or self.pos + count > len(self.data):
            raise BankError("truncated at byte %d" % self.pos)
        chunk = self.data[self.pos:self.pos + count]
        self.pos += count
        return chunk

    def string(self):
        end = self.data.find(b"\0", self.pos)
        if end < 0:
            raise BankError("unterminated text at byte %d" % self.pos)
        text = self.data[self.pos:end].decode("utf-8")
        self.pos = end + 1
        return text

    def compressed_int(self):
        head = self.take(1)[0]
        size = head & 0x7F
        if size > 4:
            raise BankError("bad number at byte %d" % (self.pos - 1))
        value = int.from_bytes(self.take(size), "little")
        return -value if head & 0x80 else value

    def value(self):
        size = self.compressed_int()
        if size < 1:
            raise BankError("empty value at byte %d" % self.pos)
        payload = self.take(size)
        marker, body = payload[0], payload[1:]
        if marker == 1:
            return struct.unpack("<i", body)[0]
        if marker == 2:
            return True
        if marker == 3:
            return False
        if marker == 4:
            return struct.unpack("<d", body)[0]
        if marker == 5:
            return body.rstrip(b"\0").decode("utf-8")
        if marker == 6:
            return struct.unpack("<q", body)[0]
        return "<value of kind %d>" % marker

    def tree(self):
        kind = self.string()
        properties = {}
        for _ in range(self.compressed_int()):
            name = self.string()
            properties[name] = self.value()
        children = [self.tree() for _ in range(self.compressed_int())]
        return kind, properties, children


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        with open(sys.argv[1], "rb") as f:
            kind, properties, children = Reader(f.read()).tree()
    except (OSError, BankError, UnicodeDecodeError, struct.error) as e:
        print("read-bank: %s: %s" % (sys.argv[1], e), file=sys.stderr)
        return 1
    if kind != "bank":
        print("read-bank: %s: the root is \"%s\", not \"bank\"" % (sys.argv[1], kind), file=sys.stderr)
        return 1
    for name, value in properties.items():
        print("bank.%s=%s" % (name, value))
    for index, (child_kind, child_properties, _) in enumerate(children):
        for name, value in child_properties.items():
            print("%s.%d.%s=%s" % (child_kind, index, name, value))
    return 0


if __name__ == "__main__":
    sys.exit(main())
