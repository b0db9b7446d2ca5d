#!/usr/bin/env python3
"""Makes a tree of FILES files (default 100,000) for timing duplicate finders: a tenth of
them copies of others (some large, many small), and files that only look alike: equal
sizes with other bytes, and equal first 4 KiB with other tails.
    make_dupes.py FOLDER [FILES]"""
import os
import random
import sys

folder = sys.argv[1]
count = int(sys.argv[2]) if len(sys.argv) > 2 else 100000
rng = random.Random(20261210)
os.makedirs(folder, exist_ok=True)


def size():
    # Mostly small files, a few large ones.
    r = rng.random()
    if r < 0.90:
        return rng.randint(1, 16 * 1024)
    if r < 0.99:
        return rng.randint(16 * 1024, 1024 * 1024)
    return rng.randint(1024 * 1024, 8 * 1024 * 1024)


made = []  # (path, bytes) of files copies may be made of
for i in range(count):
    sub = os.path.join(folder, f"d{i // 1000:03d}", f"e{i // 100 % 10}")
    os.makedirs(sub, exist_ok=True)
    path = os.path.join(sub, f"f{i:06d}.bin")
    kind = rng.random()
    if made and kind < 0.10:  # a copy
        body = rng.choice(made)[1]
    elif made and kind < 0.13:  # the same size, other bytes
        body = rng.randbytes(len(rng.choice(made)[1]))
    elif made and kind < 0.15:  # the same first 4 KiB, another tail
        source = rng.choice(made)[1]
        body = source[:4096] + rng.randbytes(max(0, len(source) - 4096)) if len(source) > 4096 else rng.randbytes(len(source))
    else:
        body = rng.randbytes(size())
    with open(path, "wb") as f:
        f.write(body)
    if len(made) < 5000:
        made.append((path, body))
    elif rng.random() < 0.05:
        made[rng.randrange(len(made))] = (path, body)
