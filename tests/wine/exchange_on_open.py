#!/usr/bin/env python3
"""Exchanges a folder of a test prefix with a link the moment a program opens it.

    exchange_on_open.py PREFIX

The race tests of the folder guard ask for an exchange through files in
C:\\tav_exchange (drive_c/tav_exchange):

    <id>.req       two or three lines: the folder to exchange, the folder the
                   link leads to, and the folder whose opening is awaited (the
                   first when none), relative to drive_c with "/" between
                   components
    <id>.armed     written here once the folder is watched; the link
                   <id>.link is ready beside the request files (relative, and
                   leading into the prefix once it is in the folder's place)
    <id>.exchanged written here when the awaited folder was opened and the
                   folder was exchanged with the link in one step (renameat2 RENAME_EXCHANGE): the folder
                   is then the link, and <id>.link the real folder
    <id>.missed    written here instead when the folder was gone by the time
                   the open was seen (the program was quicker)
    <id>.undo      written by the test when it is done
    <id>.undone    written here once the link is gone and the real folder is
                   back in its place

Only an open of the awaited folder itself counts (not of a file in it). The
script ends when its parent (the harness) ends.
"""
import ctypes
import os
import select
import struct
import sys

IN_OPEN = 0x20
IN_CLOSE_WRITE = 0x08
IN_MOVED_TO = 0x80
IN_NONBLOCK = 0x800
AT_FDCWD = -100
RENAME_EXCHANGE = 2

libc = ctypes.CDLL(None, use_errno=True)
libc.renameat2.argtypes = [ctypes.c_int, ctypes.c_char_p, ctypes.c_int, ctypes.c_char_p, ctypes.c_uint]


def check(result):
    if result < 0:
        err = ctypes.get_errno()
        raise OSError(err, os.strerror(err))
    return result


def main():
    drive_c = os.path.join(os.path.abspath(sys.argv[1]), "drive_c")
    control = os.path.join(drive_c, "tav_exchange")
    os.makedirs(control, exist_ok=True)
    parent = os.getppid()
    fd = check(libc.inotify_init1(IN_NONBLOCK))
    check(libc.inotify_add_watch(fd, control.encode(), IN_CLOSE_WRITE | IN_MOVED_TO))
    watched = {}  # watch descriptor -> request id
    requests = {}  # request id -> (folder, link)

    def signal(rid, what):
        with open(os.path.join(control, f"{rid}.{what}"), "w") as f:
            f.write("1")

    def arm(rid):
        with open(os.path.join(control, f"{rid}.req")) as f:
            lines = f.read().splitlines()
        folder = os.path.join(drive_c, lines[0])
        target = os.path.join(drive_c, lines[1])
        awaited = os.path.join(drive_c, lines[2]) if len(lines) > 2 and lines[2] else folder
        link = os.path.join(control, f"{rid}.link")
        # Relative to where the link will be once exchanged: the folder's parent.
        os.symlink(os.path.relpath(target, os.path.dirname(folder)), link)
        requests[rid] = (folder, link)
        wd = check(libc.inotify_add_watch(fd, awaited.encode(), IN_OPEN))
        watched[wd] = rid
        signal(rid, "armed")

    def exchange(wd):
        rid = watched.pop(wd)
        libc.inotify_rm_watch(fd, wd)
        folder, link = requests[rid]
        if libc.renameat2(AT_FDCWD, folder.encode(), AT_FDCWD, link.encode(), RENAME_EXCHANGE) < 0:
            signal(rid, "missed")
        else:
            signal(rid, "exchanged")

    def undo(rid):
        folder, link = requests.pop(rid)
        for wd, r in list(watched.items()):
            if r == rid:
                libc.inotify_rm_watch(fd, wd)
                del watched[wd]
        if os.path.islink(folder) and not os.path.islink(link):
            os.unlink(folder)  # the link itself, never what it leads to
            os.rename(link, folder)
        elif os.path.islink(link):
            os.unlink(link)
        signal(rid, "undone")

    while os.getppid() == parent:
        ready, _, _ = select.select([fd], [], [], 0.5)
        if not ready:
            continue
        try:
            data = os.read(fd, 65536)
        except BlockingIOError:
            continue
        offset = 0
        while offset < len(data):
            wd, mask, _, length = struct.unpack_from("iIII", data, offset)
            name = data[offset + 16:offset + 16 + length].rstrip(b"\0").decode()
            offset += 16 + length
            try:
                if wd in watched:
                    if mask & IN_OPEN and not name:
                        exchange(wd)
                elif name.endswith(".req") and name[:-4] not in requests:
                    arm(name[:-4])
                elif name.endswith(".undo") and name[:-5] in requests:
                    undo(name[:-5])
            except OSError as e:  # the test sees no answer and fails
                print(f"exchange_on_open: {name}: {e}", file=sys.stderr)


if __name__ == "__main__":
    main()
