#!/usr/bin/env python3
"""Writes the fuzzers' seeds: into corpus/bank a few banks as the program
writes them, in JUCE's tree stream format, and a few damaged ones; into
corpus/reply replies as the service sends them, and a few broken ones; into
corpus/submission image ids; into corpus/picture small PNG, JPEG and GIF
pictures (drawn with ImageMagick's convert) and hostile ones made from them:
huge declared sizes, a cut end, a header that disagrees with the data."""
import json
import os
import struct
import subprocess
import tempfile
import zlib

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

status_check = {
    "exec_id": "e-41", "status_code": 200, "return_code": 0, "message": "Done.",
    "timestamp": "2026-12-09 10:00:00",
    "user_hrtf_info": {"status_code": 200, "return_code": 0, "message": "ok",
                       "hrtf_allowed": 5, "hrtf_requested": 1, "pull_allowed": 5, "pull_requested": 1},
    "software_update_info": {"status_code": 200, "return_code": 1, "message": "A new version is available",
                             "download_url": "https://127.0.0.1:8443/download/0.0.11",
                             "release_notes": "Faster downloads.", "latest_release_version": "0.0.11",
                             "force_update": 0},
    "auralis_update_info": {"status_code": 200, "return_code": 2, "message": "Auralis update available!"},
}
pull = {
    "exec_id": "e-42", "status_code": 200, "return_code": 0, "message": "Done.",
    "urls": [{"hrtf_id": "6f1c2a9e_1", "hrtf_url": "https://127.0.0.1:8443/hrtf/6f1c2a9e_1",
              "img_id": "img_1", "auralis_id": "a-1"},
             {"hrtf_id": "6f1c2a9e_2", "hrtf_url": "http://127.0.0.1:8443/hrtf/6f1c2a9e_2",
              "img_id": "3b9d_img_2", "auralis_id": "a-2"}],
}
replies = {
    "status-check": json.dumps(status_check, indent=2).encode(),
    "pull": json.dumps(pull).encode(),
    "qr-code": b'{"exec_id":"e-43","status_code":200,"return_code":0,"message":"QR code created.",'
               b'"qr_image_url":"https://127.0.0.1:8443/qr/abc.png"}',
    "refused": b'{"status_code":403,"return_code":7,"message":"Maximum HRTFs reached."}',
    "no-status": b'{"message":"\\u00e9t\\u00e9 \\ud83d\\ude00","urls":[]}',
    "odd-values": b'{"status_code":1e308,"return_code":-2147483648,"user_hrtf_info":{"hrtf_allowed":"9",'
                  b'"pull_allowed":[1,2],"message":{"a":null}},"urls":[{"hrtf_id":"..","img_id":"x_99999999999"}]}',
    "wide-numbers": b'{"status_code":200,"served_at_ns":1733740000123456789,"trace":18446744073709551615,'
                    b'"user_hrtf_info":{"hrtf_allowed":9223372036854775808,"pull_allowed":-9223372036854775808,'
                    b'"hrtf_requested":0.00000000000000000000001e30,"pull_requested":0.001e310,'
                    b'"status_code":-1.5E-1000000000,"return_code":2e400}}',
    "run-on": b'{"status_code":200,"served_at_ns":0.00000e-1000e-10000000000000}',
    "unsafe-id": b'{"status_code":200,"urls":[{"hrtf_id":"../Presets","hrtf_url":"file:///etc/passwd"}]}',
    "array": b'[1,2,{"status_code":200}]',
    "html": b"<html><body>502 Bad Gateway</body></html>",
    "utf16": "\ufeff".encode("utf-16-le") + json.dumps(pull).encode("utf-16-le"),
    "deep": b"[" * 70 + b"]" * 70,
}
submissions = {
    "plain": b"img_2", "hex-prefix": b"3b9d_img_17", "no-underscore": b"42", "signed": b"x_ -7",
    "overflow": b"x_2147483648", "minimum": b"x_-2147483648", "trailing": b"x_12abc", "empty": b"",
}

def drawn(extension, *options):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "picture." + extension)
        subprocess.run(["convert", "-size", "12x9", "gradient:red-blue", *options, path], check=True)
        with open(path, "rb") as f:
            return f.read()

def png_sized(data, width, height):
    """The PNG with its IHDR declaring another size (and a correct CRC)."""
    ihdr = b"IHDR" + struct.pack(">II", width, height) + data[24:29]
    return data[:12] + ihdr + struct.pack(">I", zlib.crc32(ihdr)) + data[33:]

def jpeg_sized(data, width, height):
    """The JPEG with its frame header declaring another size."""
    for marker in (b"\xff\xc0", b"\xff\xc2"):
        at = data.find(marker)
        if at >= 0:
            return data[:at + 5] + struct.pack(">HH", height, width) + data[at + 9:]
    raise ValueError("no frame header")

def gif_sized(data, width, height):
    """The GIF with its screen and first frame declaring another size."""
    patched = data[:6] + struct.pack("<HH", width, height) + data[10:]
    at = patched.find(b"\x2c", 13)
    return patched[:at + 5] + struct.pack("<HH", width, height) + patched[at + 9:]

png = drawn("png")
jpeg = drawn("jpg", "-quality", "80")
progressive = drawn("jpg", "-interlace", "plane")
gif = drawn("gif")
pictures = {
    "png": png, "png-palette": drawn("png", "-colors", "4", "-type", "Palette"), "png-interlaced": drawn("png", "-interlace", "PNG"),
    "jpeg": jpeg, "jpeg-progressive": progressive, "jpeg-grey": drawn("jpg", "-colorspace", "Gray"),
    "gif": gif,
    "png-huge": png_sized(png, 1000000, 1000000), "jpeg-huge": jpeg_sized(jpeg, 65000, 65000),
    "gif-huge": gif_sized(gif, 65535, 65535), "png-disagrees": png_sized(png, 24, 18),
    "png-cut": png[:len(png) - 20], "jpeg-cut": progressive[:len(progressive) // 2], "gif-cut": gif[:len(gif) - 10],
    "garbage": bytes(range(256)),
}

here = os.path.dirname(os.path.abspath(__file__))
for kind, files in (("bank", seeds), ("reply", replies), ("submission", submissions), ("picture", pictures)):
    folder = os.path.join(here, "corpus", kind)
    os.makedirs(folder, exist_ok=True)
    for file_name, data in files.items():
        with open(os.path.join(folder, file_name), "wb") as f:
            f.write(data)
