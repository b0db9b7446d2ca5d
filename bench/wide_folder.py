#!/usr/bin/env python3
"""Times dscp-report against du -sb on one folder of many files, interleaved, and reports
the median wall time and peak memory of each and their ratios.

    wide_folder.py DSCP_REPORT [--files N] [--runs N] [--dir DIR]

The folder (DIR, default bench/data/wide) holds N empty files (default 200,000); it is
made once and kept. dscp-report writes its full report to /dev/null, as a user would
redirect it."""

import argparse
import os
import statistics
import subprocess
import sys


def make_folder(folder: str, files: int) -> None:
    marker = os.path.join(os.path.dirname(folder), ".wide-%d" % files)
    if os.path.exists(marker):
        return
    os.makedirs(folder, exist_ok=True)
    for i in range(files):
        open(os.path.join(folder, "file%06d.dat" % i), "w").close()
    open(marker, "w").close()


def measure(command: list) -> tuple:
    """Wall seconds and peak resident kilobytes of one run, from GNU time."""
    result = subprocess.run(["/usr/bin/time", "-f", "%e %M", *command],
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    wall, rss = result.stderr.strip().splitlines()[-1].split()
    return float(wall), int(rss)


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("dscp_report")
    parser.add_argument("--files", type=int, default=200000)
    parser.add_argument("--runs", type=int, default=7)
    root = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--dir", default=os.path.join(root, "data", "wide"))
    args = parser.parse_args()

    make_folder(args.dir, args.files)
    tools = {"du -sb": ["du", "-sb", args.dir],
             "dscp-report": [args.dscp_report, args.dir]}
    samples = {name: [] for name in tools}
    for command in tools.values():
        measure(command)  # warm the cache
    for _ in range(args.runs):
        for name, command in tools.items():
            samples[name].append(measure(command))

    base_wall = statistics.median(w for w, _ in samples["du -sb"])
    base_rss = statistics.median(r for _, r in samples["du -sb"])
    print("| tool | wall median (s) | peak memory median (MB) | time ratio | memory ratio |")
    print("|---|---|---|---|---|")
    for name, runs in samples.items():
        wall = statistics.median(w for w, _ in runs)
        rss = statistics.median(r for _, r in runs)
        print("| %s | %.2f | %.1f | %.2f | %.2f |"
              % (name, wall, rss / 1024, wall / base_wall, rss / base_rss))
    return 0


if __name__ == "__main__":
    sys.exit(main())
