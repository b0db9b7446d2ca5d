#!/usr/bin/env python3
"""Generates the benchmark tree: a reproducible folder tree of about 300,000 files in
20,000 folders, shaped like a real disk (a few wide folders, most narrow, some deep).

    make_tree.py DIR [--folders N] [--files N] [--seed S] [--list]

Files are sparse: their sizes follow a long-tailed spread from empty to a few GiB,
but they take no room on disk. The same arguments give the same tree. With --list nothing is
made: the tree is printed, a line "D<TAB>path" per folder and "F<TAB>size<TAB>path" per file,
paths beneath DIR, for benchmarks that build the same tree in memory."""

import argparse
import os
import random
import sys


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("dir")
    parser.add_argument("--folders", type=int, default=20000)
    parser.add_argument("--files", type=int, default=300000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--list", action="store_true")
    args = parser.parse_args()

    rng = random.Random(args.seed)
    root = os.path.abspath(args.dir)
    if not args.list:
        os.makedirs(root, exist_ok=False)

    # Folders: each new one goes under a random earlier one, favouring recent ones,
    # which gives both depth and some wide parents.
    folders = [root]
    for i in range(args.folders):
        parent = folders[max(0, len(folders) - 1 - int(rng.expovariate(1 / 40)))] \
            if rng.random() < 0.8 else rng.choice(folders)
        path = os.path.join(parent, f"dir{i:05d}{rng.choice(['', '.d', '_old', ' copy'])}")
        if args.list:
            print(f"D\t{os.path.relpath(path, root)}")
        else:
            os.mkdir(path)
        folders.append(path)

    extensions = ["txt", "jpg", "dll", "log", "dat", "", "cpp", "h", "png", "xml"]
    for i in range(args.files):
        folder = folders[min(len(folders) - 1, int(rng.paretovariate(1.2)) * 7 % len(folders))] \
            if rng.random() < 0.3 else rng.choice(folders)
        ext = rng.choice(extensions)
        name = f"file{i:06d}" + (f".{ext}" if ext else "")
        size = int(min(rng.lognormvariate(8, 3), 6 << 30))
        if args.list:
            print(f"F\t{size}\t{os.path.relpath(os.path.join(folder, name), root)}")
            continue
        with open(os.path.join(folder, name), "wb") as f:
            if size:
                f.truncate(size)
    print(f"{root}: {args.folders} folders, {args.files} files", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
