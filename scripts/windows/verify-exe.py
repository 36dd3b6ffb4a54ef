#!/usr/bin/env python3
"""Checks the built Windows program without running it: it imports only DLLs
that every Windows has (nothing from the compiler's runtime), and carries
exactly the icon groups IDI_ICON1 and IDI_ICON2 (32-bit images of 16, 32, 48,
64, 128 and 256 px each), the manifest requesting "asInvoker" and declaring
the program per-monitor DPI aware, and the version information of the
product.

Usage: verify-exe.py PROGRAM.exe PRODUCT_NAME VERSION
"""

import re
import struct
import sys

# DLLs that ship with Windows. A DLL outside this list is either a runtime the
# program would have to carry (libstdc++-6.dll, libwinpthread-1.dll, zlib1.dll,
# ...) or one to add here after checking that Windows has it.
SYSTEM_DLLS = {
    "advapi32.dll", "bcrypt.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll",
    "d2d1.dll", "dwmapi.dll", "dwrite.dll", "dxgi.dll", "gdi32.dll", "imm32.dll",
    "iphlpapi.dll", "kernel32.dll", "msvcrt.dll", "netapi32.dll", "ntdll.dll",
    "ole32.dll", "oleaut32.dll", "rpcrt4.dll", "secur32.dll", "setupapi.dll",
    "shell32.dll", "shlwapi.dll", "user32.dll", "userenv.dll", "uxtheme.dll",
    "version.dll", "winhttp.dll", "wininet.dll", "winmm.dll", "ws2_32.dll",
    "wsock32.dll",
}

ICON_SIZES = [16, 32, 48, 64, 128, 256]
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


class PortableExecutable:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        if machine != 0x8664:
            raise ValueError("not an x86-64 program")
        optional = pe + 24
        if struct.unpack_from("<H", data, optional)[0] != 0x20B:
            raise ValueError("not a PE32+ file")
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        directories = optional + 112
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        table = optional + optional_size
        self.sections = []
        for i in range(sections):
            _, virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((virtual_address, max(virtual_size, raw_size), raw_pointer))

    def offset(self, rva):
        for address, size, pointer in self.sections:
            if address <= rva < address + size:
                return pointer + rva - address
        raise ValueError("address 0x%x is in no section" % rva)

    def string_at(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imported_dlls(self):
        rva, _ = self.directories[1]
        names = []
        position = self.offset(rva)
        while True:
            entry = struct.unpack_from("<IIIII", self.data, position)
            if entry == (0, 0, 0, 0, 0):
                return names
            names.append(self.string_at(entry[3]))
            position += 20

    def resources(self):
        """Every resource as ((type, name, language), bytes); names are ints or strings."""
        base_rva, _ = self.directories[2]
        if base_rva == 0:
            return []
        base = self.offset(base_rva)
        found = []

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + numbered):
                key, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                if key & 0x80000000:
                    length = struct.unpack_from("<H", self.data, base + (key & 0x7FFFFFFF))[0]
                    start = base + (key & 0x7FFFFFFF) + 2
                    key = self.data[start:start + 2 * length].decode("utf-16-le")
                yield key, target

        for kind, kind_target in entries(0):
            for name, name_target in entries(kind_target & 0x7FFFFFFF):
                for language, leaf in entries(name_target & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(rva)
                    found.append(((kind, name, language), self.data[start:start + size]))
        return found


def icon_sizes_and_depths(group, icons):
    """The (size, bit depth) of each image of an icon group, read from the images themselves."""
    _, kind, count = struct.unpack_from("<HHH", group, 0)
    result = []
    for i in range(count):
        width, height, _, _, _, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        image = icons[icon_id]
        if image[:8] == b"\x89PNG\r\n\x1a\n":
            png_width, png_height, depth, colour_type = struct.unpack_from(">IIBB", image, 16)
            result.append((png_width, 32 if (depth, colour_type) == (8, 6) else depth))
        else:
            _, bmp_width, _, _, bmp_bits = struct.unpack_from("<IiiHH", image, 0)
            result.append((bmp_width, bmp_bits))
    return result


def version_string(block, key):
    """The value of a string in a version block, or None. Each string is a
    small structure: lengths and type, the key in UTF-16 with its terminator,
    padding to four bytes, then the value in UTF-16 with its terminator."""
    entry = (key + "\0").encode("utf-16-le")
    position = block.find(entry)
    if position < 6:
        return None
    value_length = struct.unpack_from("<H", block, position - 4)[0]
    position += len(entry)
    position += (4 - position % 4) % 4
    return block[position:position + 2 * value_length].decode("utf-16-le").rstrip("\0")


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2

    path, product, version = sys.argv[1:]
    with open(path, "rb") as f:
        exe = PortableExecutable(f.read())

    failures = []

    dlls = exe.imported_dlls()
    foreign = [dll for dll in dlls if dll.lower() not in SYSTEM_DLLS]
    if foreign:
        failures.append("imports DLLs that are not part of Windows: " + ", ".join(foreign))
    if exe.subsystem != 2:
        failures.append("is not a Windows GUI program (subsystem %d)" % exe.subsystem)

    resources = exe.resources()
    icons = {name: blob for (kind, name, _), blob in resources if kind == RT_ICON}
    groups = {name: blob for (kind, name, _), blob in resources if kind == RT_GROUP_ICON}
    if sorted(map(str, groups)) != ["IDI_ICON1", "IDI_ICON2"]:
        failures.append("has the icon groups %s instead of IDI_ICON1 and IDI_ICON2" % sorted(map(str, groups)))
    for name, group in groups.items():
        images = icon_sizes_and_depths(group, icons)
        if sorted(images) != [(size, 32) for size in ICON_SIZES]:
            failures.append("icon group %s holds %s instead of 32-bit %s px" % (name, images, ICON_SIZES))

    manifests = [blob for (kind, name, _), blob in resources if kind == RT_MANIFEST and name == 1]
    if len(manifests) != 1 or b'level="asInvoker"' not in manifests[0]:
        failures.append("has no application manifest requesting asInvoker")
    elif not re.search(rb"<dpiAware\b[^>]*>\s*true/pm\s*<", manifests[0]) \
            or not re.search(rb"<dpiAwareness\b[^>]*>\s*PerMonitorV2\s*,\s*PerMonitor\s*<", manifests[0]):
        failures.append("has a manifest that does not declare it per-monitor DPI aware (true/pm, PerMonitorV2)")

    versions = [blob for (kind, _, _), blob in resources if kind == RT_VERSION]
    if len(versions) != 1:
        failures.append("has %d version blocks instead of one" % len(versions))
    else:
        for key, value in (("ProductName", product), ("ProductVersion", version), ("FileVersion", version)):
            found = version_string(versions[0], key)
            if found != value:
                failures.append("version information has %s %r instead of %r" % (key, found, value))

    print("verify-exe: imports " + ", ".join(dlls))
    print("verify-exe: icon groups " + ", ".join(
        "%s (%s)" % (name, " ".join("%dpx/%dbit" % image for image in sorted(icon_sizes_and_depths(group, icons))))
        for name, group in sorted(groups.items(), key=lambda item: str(item[0]))))
    for failure in failures:
        print("verify-exe: FAILED: the program " + failure, file=sys.stderr)
    if not failures:
        print("verify-exe: %s is a self-contained 64-bit Windows GUI program with its icons, manifest and version" % path)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
