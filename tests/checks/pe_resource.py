#!/usr/bin/env python3
"""Reads one resource out of a PE file's resource directory.

    pe_resource.py EXE TYPE ID LANG [--equals FILE]

TYPE and ID are names ("CUSTOM") or numbers (101); LANG is a language ID
(1031). Without --equals the resource's bytes go to stdout; with it, the
check passes (exit 0) only when the resource exists and its bytes equal FILE.
"""
import struct
import sys


class PeError(Exception):
    pass


def sections(data):
    if data[:2] != b"MZ":
        raise PeError("no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise PeError("no PE signature")
    count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + {0x10B: 96, 0x20B: 112}[magic]
    resource_rva, resource_size = struct.unpack_from("<II", data, directories + 2 * 8)
    table = optional + optional_size
    result = []
    for i in range(count):
        vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        result.append((vaddr, max(vsize, raw_size), raw_ptr))
    return resource_rva, resource_size, result


def rva_to_offset(rva, secs):
    for vaddr, size, raw_ptr in secs:
        if vaddr <= rva < vaddr + size:
            return rva - vaddr + raw_ptr
    raise PeError("RVA 0x%x lies in no section" % rva)


def entries(data, base, offset):
    """(key, is_directory, target offset) of one resource directory table."""
    named, numbered = struct.unpack_from("<HH", data, offset + 12)
    for i in range(named + numbered):
        name, target = struct.unpack_from("<II", data, offset + 16 + 8 * i)
        if name & 0x80000000:
            at = base + (name & 0x7FFFFFFF)
            length = struct.unpack_from("<H", data, at)[0]
            key = data[at + 2:at + 2 + 2 * length].decode("utf-16-le").upper()
        else:
            key = name
        yield key, bool(target & 0x80000000), base + (target & 0x7FFFFFFF)


def find(data, base, offset, key):
    """The entry with that key; key None: the first entry."""
    for k, is_dir, target in entries(data, base, offset):
        if key is None or k == key:
            return is_dir, target
    return None


def resource(data, rtype, rid, lang):
    """The bytes of resource TYPE/ID/LANG (LANG None: in whichever language it has)."""
    rva, size, secs = sections(data)
    if not rva or not size:
        raise PeError("no resource directory")
    base = rva_to_offset(rva, secs)
    offset = base
    for level, key in enumerate((rtype, rid, lang)):
        hit = find(data, base, offset, key)
        if hit is None:
            raise PeError("no resource %s/%s/%s (level %d missing)" % (rtype, rid, lang, level))
        is_dir, offset = hit
        if is_dir != (level < 2):
            raise PeError("malformed resource directory")
    data_rva, data_size = struct.unpack_from("<II", data, offset)
    start = rva_to_offset(data_rva, secs)
    return data[start:start + data_size]


def key_of(text):
    return int(text) if text.isdigit() else text.upper()


def main(argv):
    if len(argv) not in (5, 7) or (len(argv) == 7 and argv[5] != "--equals"):
        print(__doc__, file=sys.stderr)
        return 2
    exe, rtype, rid, lang = argv[1], key_of(argv[2]), key_of(argv[3]), int(argv[4])
    with open(exe, "rb") as f:
        data = f.read()
    try:
        found = resource(data, rtype, rid, lang)
    except (PeError, struct.error, KeyError) as e:
        print("FAIL %s: %s" % (exe, e))
        return 1
    if len(argv) == 5:
        sys.stdout.buffer.write(found)
        return 0
    with open(argv[6], "rb") as f:
        expected = f.read()
    if found != expected:
        print("FAIL %s: %s/%s/%s has %d bytes that differ from %s (%d bytes)"
              % (exe, argv[2], argv[3], lang, len(found), argv[6], len(expected)))
        return 1
    print("%s carries %s byte for byte (%d bytes) as %s/%s/%d"
          % (exe, argv[6], len(found), argv[2], argv[3], lang))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
