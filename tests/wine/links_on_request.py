#!/usr/bin/env python3
"""Makes Linux symbolic links in a test prefix when a test asks for them.

    links_on_request.py PREFIX

Wine's CreateSymbolicLink makes nothing, so a test that needs a link at a
name (a link standing where a program writes or deletes a file of its own)
asks through files in C:\\tav_links (drive_c/tav_links):

    <id>.req     two lines, each ending in a line break (a request is read
                 once it is complete): where the link stands and what it leads to,
                 relative to drive_c with "/" between components
    <id>.made    written here once the link stands (relative, inside the prefix)
    <id>.failed  written here instead when it could not be made (a name
                 outside the prefix, an entry already at the name)
    <id>.undo    written by the test when it is done
    <id>.undone  written here once the link is gone (the link itself, never
                 what it leads to; a link already removed counts as gone)

The script ends when its parent (the harness) ends.
"""
import os
import sys
import time


def main():
    prefix = os.path.realpath(sys.argv[1])
    drive_c = os.path.join(prefix, "drive_c")
    control = os.path.join(drive_c, "tav_links")
    os.makedirs(control, exist_ok=True)
    parent = os.getppid()
    links = {}  # request id -> link path

    def signal(rid, what):
        with open(os.path.join(control, f"{rid}.{what}"), "w") as f:
            f.write("1")

    def inside(path):
        return os.path.realpath(path).startswith(prefix + os.sep)

    def make(rid):
        with open(os.path.join(control, f"{rid}.req")) as f:
            text = f.read()
        lines = text.splitlines()
        if not text.endswith("\n") or len(lines) < 2:
            return  # still being written: read again on the next round
        link = os.path.join(drive_c, lines[0])
        target = os.path.join(drive_c, lines[1])
        if not inside(os.path.dirname(link)) or not inside(target) or os.path.lexists(link):
            signal(rid, "failed")
            return
        os.symlink(os.path.relpath(target, os.path.dirname(link)), link)
        links[rid] = link
        signal(rid, "made")

    def undo(rid):
        link = links.pop(rid)
        if os.path.islink(link):
            os.unlink(link)
        signal(rid, "undone")

    while os.getppid() == parent:
        for name in sorted(os.listdir(control)):
            rid, _, kind = name.rpartition(".")
            try:
                if kind == "req" and rid not in links and not os.path.exists(os.path.join(control, rid + ".made")) \
                        and not os.path.exists(os.path.join(control, rid + ".failed")):
                    make(rid)
                elif kind == "undo" and rid in links:
                    undo(rid)
            except (OSError, ValueError) as e:  # the test sees no answer and fails
                print(f"links_on_request: {name}: {e}", file=sys.stderr)
                signal(rid, "failed")
        time.sleep(0.02)


if __name__ == "__main__":
    main()
