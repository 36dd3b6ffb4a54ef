#!/usr/bin/env python3
"""Writes the fuzzer's seed banks into corpus/bank: a few banks as the
program writes them, in JUCE's tree stream format, and a few damaged ones."""
import os
import struct

def cint(v):
    mag = abs(v)
    body = b""
    while mag:
        body += bytes([mag & 0xff])
        mag >>= 8
    return bytes([len(body) | (0x80 if v < 0 else 0)]) + body

def name(s):
    return s.encode() + b"\0"

def value(v):
    if v is None:
        return cint(0)
    if isinstance(v, bool):
        return cint(1) + bytes([2 if v else 3])
    if isinstance(v, int):
        if -2**31 <= v < 2**31:
            return cint(5) + b"\x01" + struct.pack("<i", v)
        return cint(9) + b"\x06" + struct.pack("<q", v)
    if isinstance(v, float):
        return cint(9) + b"\x04" + struct.pack("<d", v)
    if isinstance(v, str):
        data = v.encode() + b"\0"
        return cint(len(data) + 1) + b"\x05" + data
    if isinstance(v, bytes):
        return cint(len(v) + 1) + b"\x08" + v
    if isinstance(v, list):
        body = cint(len(v)) + b"".join(value(e) for e in v)
        return cint(len(body) + 1) + b"\x07" + body
    raise TypeError(v)

def tree(kind, props, children=()):
    out = name(kind) + cint(len(props))
    for k, v in props:
        out += name(k) + value(v)
    out += cint(len(children))
    for c in children:
        out += c
    return out

def preset(profile, hrtf_id=""):
    props = [("timestamp", "2024-05-01 10:00:00"), ("hrtf_allowed", 3), ("hrtf_requested", 1),
             ("pull_allowed", 5), ("pull_requested", 1), ("hrtf_status_code", 200),
             ("hrtf_return_code", 0), ("hrtf_message", "ok"),
             ("software_update_message", "new version"), ("release_notes", "notes"),
             ("download_url", "https://dl.example/a"), ("latest_release_version", "0.0.11"),
             ("software_update_status_code", 200), ("software_update_return_code", 1),
             ("force_update", True)]
    if hrtf_id:
        props += [("hrtf_id", hrtf_id), ("hrtf_url", "https://cdn.example/" + hrtf_id),
                  ("img_id", "img_2"), ("auralis_id", "a-" + hrtf_id)]
    props += [("profileName", profile), ("localMachineId", "ABCDEF0123")]
    return tree("preset", props)

one = tree("bank", [], [preset("Ann", "h-1")])
three = tree("bank", [("lastSelectedPreset", 2)],
             [preset("Ann"), preset("Zoë ✓", "6f1c2a9e_3"),
              tree("preset", [("profileName", "Carl"), ("big", 2**40), ("ratio", 0.5), ("blob", b"\0\1\2"),
                              ("list", [1, "two", [3.0, False]]), ("nothing", None)])])
empty = tree("bank", [])
deep = b"".join(name("p") + cint(0) + cint(1) for _ in range(40)) + name("p") + cint(0) + cint(0)

seeds = {
    "one-profile": one,
    "three-profiles": three,
    "empty-bank": empty,
    "truncated": three[:len(three) // 2],
    "huge-property-count": b"a\0\x04\xff\xff\xff\x7f",
    "huge-list": name("bank") + cint(1) + name("p") + cint(6) + b"\x07" + b"\x04\xff\xff\xff\x7f" + cint(0),
    "too-deep": deep,
}

folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "bank")
os.makedirs(folder, exist_ok=True)
for file_name, data in seeds.items():
    with open(os.path.join(folder, file_name), "wb") as f:
        f.write(data)
