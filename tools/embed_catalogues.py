#!/usr/bin/env python3
"""Appends message catalogues to a copy of CXAddinReg.exe, which then needs no locale folder.

    embed_catalogues.py INPUT_EXE OUTPUT_EXE RELATIVE_PATH=CATALOGUE.mo ...

RELATIVE_PATH is where the catalogue would lie beside the executable, such as
locale/de/LC_MESSAGES/CXAddinReg.mo (slashes become backslashes). The executable holds the marker text
6637DB2E-62E1-4A60-AC19-C23867046A89 followed by eight zero bytes; the marker must occur exactly once.
The catalogues are appended, then a chain of records, and the chain's file offset is written over the
zero bytes (64-bit little-endian). A record is: offset of the next record (0 ends the chain), offset
of the catalogue, its size (each 64-bit little-endian), then the relative path, ended by a zero byte
and padded with blanks up to the next record. The zero byte bounds the last path, which no next
record does: a signature that signing appends later does not become part of it. Appending breaks an
existing signature, so sign afterwards.
"""
import struct
import sys

MARKER = b"6637DB2E-62E1-4A60-AC19-C23867046A89"
ALIGN = 8


def pad_to(data, alignment, fill):
    return data + fill * (-len(data) % alignment)


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    source, target, entries = sys.argv[1], sys.argv[2], sys.argv[3:]
    exe = bytearray(open(source, "rb").read())
    at = exe.find(MARKER)
    if at < 0 or exe.find(MARKER, at + 1) >= 0:
        sys.exit(f"{source}: the marker must occur exactly once")
    slot = at + len(MARKER)
    if exe[slot:slot + 8] != bytes(8):
        sys.exit(f"{source}: catalogues are embedded already")

    catalogues = []
    seen = set()
    for entry in entries:
        relative, sep, path = entry.partition("=")
        relative = relative.replace("/", "\\").strip()
        if not sep or not relative or not path:
            sys.exit(f"not RELATIVE_PATH=FILE: {entry}")
        if relative.lower() in seen:
            sys.exit(f"{relative} given twice")
        seen.add(relative.lower())
        catalogues.append((relative, open(path, "rb").read()))

    out = pad_to(bytes(exe), ALIGN, b"\0")
    placed = []
    for relative, data in catalogues:
        placed.append((relative, len(out), len(data)))
        out = pad_to(out + data, ALIGN, b"\0")

    # Records follow one another; each path ends at its zero byte (readers that only trim the blanks
    # and control characters before the next record find the same path).
    records = []
    for relative, offset, size in placed:
        records.append((pad_to(relative.encode("utf-8") + b"\0", ALIGN, b" "), offset, size))
    chain = len(out)
    position = chain
    for i, (name, offset, size) in enumerate(records):
        next_record = position + 24 + len(name) if i + 1 < len(records) else 0
        out += struct.pack("<QQQ", next_record, offset, size) + name
        position += 24 + len(name)

    out = bytearray(out)
    out[slot:slot + 8] = struct.pack("<Q", chain)
    with open(target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
