#!/usr/bin/env python3
"""Times folder-size tools on the same tree, interleaved, and checks that they agree.

    compare.py TREE DSCP_REPORT [--runs N]

Every tool runs once to warm the cache, then the tools take turns, N rounds. Prints the
median, minimum and maximum wall time of each, and the ratio of medians to du -sb's."""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import time


def directory_bytes(tree: str) -> int:
    """Sizes of the folders themselves, which du counts and dscp-report does not."""
    total = os.lstat(tree).st_size
    for parent, dirs, _ in os.walk(tree):
        for d in dirs:
            total += os.lstat(os.path.join(parent, d)).st_size
    return total


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("tree")
    parser.add_argument("dscp_report")
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    tree = os.path.abspath(args.tree)

    tools = {
        "du -sb": ["du", "-sb", tree],
        "dscp-report": [args.dscp_report, "--exact", tree],
    }
    if shutil.which("gdu"):
        tools["gdu"] = ["gdu", "-n", "-p", "-c", "-s", tree]
    if shutil.which("ncdu"):
        tools["ncdu"] = ["ncdu", "-0", "-x", "-o", "/dev/null", tree]

    outputs = {}
    for name, cmd in tools.items():  # warm the cache, keep the output for the check
        outputs[name] = subprocess.run(cmd, capture_output=True, text=True, check=True)

    du_bytes = int(outputs["du -sb"].stdout.split()[0])
    file_bytes = du_bytes - directory_bytes(tree)
    match = re.search(r"^(\d+) bytes, (\d+) folders, (\d+) files beneath$",
                      outputs["dscp-report"].stderr, re.M)
    if not match:
        print("dscp-report gave no exact totals:", outputs["dscp-report"].stderr, file=sys.stderr)
        return 1
    dscp_bytes = int(match.group(1))
    print(f"tree: {tree}: {match.group(2)} folders, {match.group(3)} files, "
          f"{dscp_bytes} bytes in files")
    if dscp_bytes != file_bytes:
        print(f"MISMATCH: du -sb gives {file_bytes} bytes in files, dscp-report {dscp_bytes}",
              file=sys.stderr)
        return 1
    print("du -sb (less the folders' own sizes) and dscp-report agree on the total bytes")

    times = {name: [] for name in tools}
    for _ in range(args.runs):
        for name, cmd in tools.items():
            start = time.perf_counter()
            subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
            times[name].append(time.perf_counter() - start)

    base = statistics.median(times["du -sb"])
    print(f"\n{args.runs} interleaved runs, warm cache, wall time in seconds")
    print(f"{'tool':<14}{'median':>9}{'min':>9}{'max':>9}{'ratio':>8}")
    for name, samples in times.items():
        med = statistics.median(samples)
        print(f"{name:<14}{med:>9.3f}{min(samples):>9.3f}{max(samples):>9.3f}{med / base:>8.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
