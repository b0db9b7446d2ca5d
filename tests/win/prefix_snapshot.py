#!/usr/bin/env python3
"""What a Wine prefix holds, to tell what an installation left behind.
  prefix_snapshot.py take PREFIX OUT.json     every file and folder under drive_c, every
                                             registry key and value name (the prefix's
                                             wineserver must have ended: it writes the
                                             registry files when it goes)
  prefix_snapshot.py added BEFORE AFTER       prints what AFTER has and BEFORE has not,
                                             one a line"""
import json
import os
import sys


def registry(path, hive):
    entries = set()
    key = None
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            if line.startswith("["):
                key = hive + "\\" + line[1:line.index("]")].replace("\\\\", "\\")
                entries.add(key)
            elif key and line.startswith('"'):
                end = line.index('"=', 1) if '"=' in line else len(line)
                entries.add(key + " : " + line[1:end])
            elif key and line.startswith("@="):
                entries.add(key + " : @")
    return entries


def take(prefix, out):
    entries = set()
    drive = os.path.join(prefix, "drive_c")
    for folder, dirs, files in os.walk(drive):
        for name in dirs + files:
            entries.add("C:\\" + os.path.relpath(os.path.join(folder, name), drive).replace("/", "\\"))
    entries |= registry(os.path.join(prefix, "system.reg"), "HKLM")
    entries |= registry(os.path.join(prefix, "user.reg"), "HKCU")
    with open(out, "w") as f:
        json.dump(sorted(entries), f)


def added(before, after):
    with open(before) as f:
        old = set(json.load(f))
    with open(after) as f:
        new = json.load(f)
    for entry in new:
        if entry not in old:
            print(entry)


if sys.argv[1] == "take":
    take(sys.argv[2], sys.argv[3])
elif sys.argv[1] == "added":
    added(sys.argv[2], sys.argv[3])
else:
    sys.exit(2)
