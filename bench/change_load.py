#!/usr/bin/env python3
"""Keeps a folder changing at a steady rate, as a build or a download would: files created,
appended to and deleted in turn, RATE changes a second for SECONDS (bench/watch_bench.sh).

    change_load.py FOLDER SECONDS [--rate N] [--live N] [--ready FILE]

Each change is one create (a small file written), one append (to the file created last)
or one delete (of the file created LIVE creates ago): the folder keeps about LIVE files.
With --ready, waits for FILE to exist before starting (the program has shown the folder).
Prints the changes made and the rate held; what it made is gone when it ends.
"""
import argparse
import os
import sys
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("seconds", type=float)
    parser.add_argument("--rate", type=int, default=10000, help="changes a second")
    parser.add_argument("--live", type=int, default=200, help="files kept at once")
    parser.add_argument("--ready", help="start once this file exists")
    args = parser.parse_args()

    os.makedirs(args.folder, exist_ok=True)
    if args.ready:
        deadline = time.monotonic() + 1800
        while not os.path.exists(args.ready):
            if time.monotonic() > deadline:
                sys.exit("change_load: %s never came" % args.ready)
            time.sleep(0.05)

    payload = b"x" * 100
    names = {}  # creation number -> path, for the files alive
    created = 0
    changes = 0
    start = time.monotonic()
    end = start + args.seconds
    late_ticks = 0

    def create():
        nonlocal created
        path = os.path.join(args.folder, "load%07d.tmp" % created)
        fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
        os.write(fd, payload)
        os.close(fd)
        names[created] = path
        created += 1

    def append():
        path = names.get(created - 1)
        if path:
            fd = os.open(path, os.O_WRONLY | os.O_APPEND)
            os.write(fd, payload)
            os.close(fd)

    def delete():
        path = names.pop(created - 1 - args.live, None)
        if path:
            os.unlink(path)

    steps = (create, append, delete)
    # Paced in ticks of 10 ms: each tick makes the changes due by then.
    while True:
        now = time.monotonic()
        if now >= end:
            break
        due = int((now - start) * args.rate)
        if due - changes > args.rate // 10:
            late_ticks += 1  # more than 100 ms behind: the rate is not held
        while changes < due:
            steps[changes % 3]()
            changes += 1
        time.sleep(max(0.0, 0.01 - (time.monotonic() - now)))
    took = time.monotonic() - start
    for path in names.values():
        os.unlink(path)
    print("change_load: %d changes in %.1f s (%.0f a second; %d ticks over 100 ms behind)"
          % (changes, took, changes / took, late_ticks))


if __name__ == "__main__":
    main()
