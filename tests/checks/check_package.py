#!/usr/bin/env python3
"""Checks the release package.

    check_package.py ZIP VERSION EXE [NAME=TEXT]...

ZIP must hold exactly one folder named like the package with the program EXE
byte for byte (the file the import and resource checks passed) and each text
NAME, which is TEXT (a UTF-8 file) as Windows readers get it: a byte order
mark and CRLF line ends. The version resources of the program and of the
uninstaller it carries both say VERSION, and so does the package's name.
"""
import os
import struct
import sys
import zipfile

from pe_resource import PeError, resource

RT_VERSION = 16
FIXED_INFO_SIGNATURE = 0xFEEF04BD


def version_strings(block, offset=0):
    """Key/value pairs of a VS_VERSIONINFO tree: the fixed file version under
    "FIXED" and every string of its StringFileInfo tables under its own key."""
    found = {}
    length, value_length, is_text = struct.unpack_from("<HHH", block, offset)
    end = offset + length
    key_end = offset + 6
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = block[offset + 6:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    if key == "VS_VERSION_INFO" and value_length:
        signature, _, high, low = struct.unpack_from("<IIII", block, value_at)
        if signature != FIXED_INFO_SIGNATURE:
            raise PeError("version resource without fixed file information")
        found["FIXED"] = "%d.%d.%d.%d" % (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)
    elif is_text and value_length:
        found[key] = block[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
    child = (value_at + (2 if is_text else 1) * value_length + 3) & ~3
    while child < end:
        child_length = struct.unpack_from("<H", block, child)[0]
        if child_length == 0:
            break
        found.update(version_strings(block, child))
        child = (child + child_length + 3) & ~3
    return found


def check_version(what, exe_bytes, version, failures):
    try:
        strings = version_strings(resource(exe_bytes, RT_VERSION, 1, None))
    except (PeError, struct.error, UnicodeDecodeError) as e:
        failures.append("%s: no readable version resource (%s)" % (what, e))
        return
    expected = {"FIXED": version + ".0", "FileVersion": version, "ProductVersion": version}
    for key, value in expected.items():
        if strings.get(key) != value:
            failures.append("%s: version resource %s is %r, not %r"
                            % (what, key, strings.get(key), value))
    print("%s: version %s" % (what, strings.get("FileVersion")))


def windows_text(path):
    with open(path, "rb") as f:
        text = f.read()
    text = text.removeprefix(b"\xef\xbb\xbf").replace(b"\r\n", b"\n")
    return b"\xef\xbb\xbf" + text.replace(b"\n", b"\r\n")


def main(argv):
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    package, version, exe = argv[1], argv[2], argv[3]
    texts = dict(arg.split("=", 1) for arg in argv[4:])
    folder = "Tavrino2-%s-win32" % version
    if os.path.basename(package) != folder + ".zip":
        print("FAIL %s: the package's name does not carry version %s" % (package, version))
        return 1
    if not os.path.exists(package):
        print("FAIL %s is missing: cmake --build --preset win32 --target package" % package)
        return 1
    with open(exe, "rb") as f:
        built = f.read()

    failures = []
    with zipfile.ZipFile(package) as archive:
        files = {i.filename: i for i in archive.infolist() if not i.is_dir()}
        expected = {folder + "/" + name for name in ["Tavrino2.exe", *texts]}
        for name in sorted(expected - set(files)):
            failures.append("missing: " + name)
        for name in sorted(set(files) - expected):
            failures.append("not expected: " + name)
        for name in sorted(expected & set(files)):
            content = archive.read(name)
            base = name.split("/", 1)[1]
            if base == "Tavrino2.exe":
                if content != built:
                    failures.append("%s differs from %s (the package is older than the build?)"
                                    % (name, exe))
                check_version(name, content, version, failures)
                try:
                    uninstaller = resource(content, "CUSTOM", 101, 1031)
                    check_version(name + " CUSTOM/101 (Tav_uninstall.exe)", uninstaller,
                                  version, failures)
                except (PeError, struct.error) as e:
                    failures.append("%s carries no uninstaller (%s)" % (name, e))
            elif content != windows_text(texts[base]):
                failures.append("%s is not %s with CRLF line ends and a byte order mark"
                                % (name, texts[base]))
            print("%s: %d bytes" % (name, len(content)))

    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
