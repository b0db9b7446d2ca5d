#!/usr/bin/env python3
"""Generates the two trees the hard-link costs are measured on.

    make_link_trees.py deep DIR     3,000 folders one inside the other, and 10,000 names
                                    of one file in the deepest
    make_link_trees.py copies DIR   DIR/a, the benchmark tree (make_tree.py, seed 1), and
                                    DIR/b, a copy of it made of hard links (cp -al)

The deep tree's paths are longer than the kernel takes in one piece: every folder is made
relative to the one above it."""

import os
import subprocess
import sys


def deep(root: str) -> None:
    os.makedirs(root, exist_ok=False)
    fd = os.open(root, os.O_RDONLY | os.O_DIRECTORY)
    for _ in range(3000):
        os.mkdir("d", dir_fd=fd)
        inner = os.open("d", os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
        os.close(fd)
        fd = inner
    with open(os.open("n0", os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd), "wb") as out:
        out.write(b"x" * 4096)
    for i in range(1, 10000):
        os.link("n0", "n%d" % i, src_dir_fd=fd, dst_dir_fd=fd)
    os.close(fd)


def copies(root: str) -> None:
    os.makedirs(root, exist_ok=False)
    here = os.path.dirname(os.path.abspath(__file__))
    subprocess.run([sys.executable, os.path.join(here, "make_tree.py"), os.path.join(root, "a")],
                   check=True)
    subprocess.run(["cp", "-al", os.path.join(root, "a"), os.path.join(root, "b")], check=True)


def main() -> int:
    if len(sys.argv) != 3 or sys.argv[1] not in ("deep", "copies"):
        print(__doc__, file=sys.stderr)
        return 2
    (deep if sys.argv[1] == "deep" else copies)(sys.argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main())
