#!/usr/bin/env python3
"""Prints the version resource of a Windows binary without running it: the fixed file
version as "FileVersion#a.b.c.d", then each string as "Name=Value", one a line.
  pe_version.py BINARY
(windres cannot be used: it loops for ever decompiling dscp.exe's other resources.)"""
import struct
import sys


def main(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit("%s: not a PE file" % path)
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    magic = struct.unpack_from("<H", data, pe + 24)[0]
    directories = pe + 24 + (96 if magic == 0x10B else 112)
    rsrc_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    table = pe + 24 + optional_size
    for i in range(sections):
        _, vsize, va, _, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
        if va <= rsrc_rva < va + max(vsize, 1):
            base, delta = raw + rsrc_rva - va, va - raw
            break
    else:
        sys.exit("%s: no resources" % path)

    def first_entry(offset, wanted=None):
        named, ids = struct.unpack_from("<HH", data, offset + 12)
        for k in range(named + ids):
            name, target = struct.unpack_from("<II", data, offset + 16 + 8 * k)
            if wanted is None or name == wanted:
                return target
        sys.exit("%s: no version resource" % path)

    entry = first_entry(base, 16)  # RT_VERSION
    while entry & 0x80000000:
        entry = first_entry(base + (entry & 0x7FFFFFFF))
    rva, size = struct.unpack_from("<II", data, base + entry)
    block = data[rva - delta:rva - delta + size]

    def parse(offset, end):
        """Yields (key, value bytes, children offset, block end) of the blocks in a range."""
        while offset + 6 <= end:
            length, value_length, kind = struct.unpack_from("<HHH", block, offset)
            if length == 0:
                return
            key_end = block.index(b"\0\0", offset + 6)
            while (key_end - offset) % 2:
                key_end = block.index(b"\0\0", key_end + 1)
            key = block[offset + 6:key_end].decode("utf-16-le")
            value = (key_end + 2 + 3) & ~3
            value_bytes = value_length * (2 if kind == 1 else 1)
            yield key, block[value:value + value_bytes], (value + value_bytes + 3) & ~3, offset + length
            offset = (offset + length + 3) & ~3

    root = next(parse(0, len(block)))
    ms, ls = struct.unpack_from("<II", root[1], 8)
    print("FileVersion#%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF))
    for key, _, children, end in parse(root[2], root[3]):
        if key != "StringFileInfo":
            continue
        for _, _, strings, table_end in parse(children, end):
            for name, value, _, _ in parse(strings, table_end):
                print("%s=%s" % (name, value.decode("utf-16-le").rstrip("\0")))


main(sys.argv[1])
