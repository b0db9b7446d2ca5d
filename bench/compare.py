#!/usr/bin/env python3
"""Times folder-size tools on the same tree, interleaved, and checks their totals.

    compare.py TREE DSCP_REPORT [--runs N] [--baseline OTHER_DSCP_REPORT]

Every tool's totals are checked against an oracle made with find (bytes in files and
links, bytes of the folders themselves, numbers of folders and files). Every tool then
runs once to warm the cache, and the tools take turns, N rounds. Prints the median,
minimum and maximum wall time, the median user and system CPU time, the median peak
resident memory (each timed run goes through /usr/bin/time, whose figure it is: a child
forked from this script would count the script's own memory), and the ratio of
the medians to du -sb's and, with --baseline (another build of dscp-report, e.g. the
previous commit's), to that build's. The JSON export (--json to /dev/null) runs in the same
rounds; its ratio to the plain report follows the table, beside ncdu's own export's."""

import argparse
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def find_oracle(tree: str) -> dict:
    def sizes(*args):
        out = subprocess.run(["find", tree, *args, "-printf", "%s\n"],
                             capture_output=True, text=True, check=True).stdout.split()
        return [int(x) for x in out]
    files = sizes("-mindepth", "1", "!", "-type", "d")
    subdirs = sizes("-mindepth", "1", "-type", "d")
    return {"file_bytes": sum(files), "files": len(files), "folders": len(subdirs),
            "dir_bytes": sum(subdirs) + os.lstat(tree).st_size}


def export_bytes(cmd: list) -> int:
    """Apparent bytes of everything in an ncdu-format export, folders included; `cmd` writes
    the export to the file named by its "{}" argument."""
    with tempfile.NamedTemporaryFile(suffix=".json") as export:
        subprocess.run([export.name if a == "{}" else a for a in cmd], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        data = json.loads(open(export.name, "rb").read().decode("utf-8", "surrogateescape"))

    def total(node):
        if isinstance(node, list):
            return sum(total(child) for child in node)
        return node.get("asize", 0)
    return total(data[3])


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("tree")
    parser.add_argument("dscp_report")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--baseline")
    args = parser.parse_args()
    tree = os.path.abspath(args.tree)

    tools = {
        "du -sb": ["du", "-sb", tree],
        "dscp-report": [args.dscp_report, "--exact", tree],
        "dscp-report --threads 1": [args.dscp_report, "--exact", "--threads", "1", tree],
        "dscp-report --json": [args.dscp_report, "--json", "-o", "/dev/null", tree],
    }
    if args.baseline:
        tools["baseline dscp-report"] = [args.baseline, "--exact", tree]
        tools["baseline dscp-report --threads 1"] = [args.baseline, "--exact", "--threads", "1",
                                                     tree]
    if shutil.which("gdu"):
        tools["gdu"] = ["gdu", "-n", "-p", "-c", "-s", "-a", "--no-prefix", tree]
    if shutil.which("ncdu"):
        tools["ncdu"] = ["ncdu", "-0", "-x", "-o", "/dev/null", tree]

    oracle = find_oracle(tree)
    everything = oracle["file_bytes"] + oracle["dir_bytes"]
    print(f"tree: {tree}: {oracle['folders']} folders, {oracle['files']} files, "
          f"{oracle['file_bytes']} bytes in files, {oracle['dir_bytes']} in the folders themselves")

    # Totals, checked against the oracle.
    failures = 0
    for name, cmd in tools.items():
        run = subprocess.run(cmd, capture_output=True, text=True, check=True)
        if name == "dscp-report --json":
            got = export_bytes([args.dscp_report, "--json", "-o", "{}", tree])
            want = everything
        elif "dscp-report" in name:
            m = re.search(r"^(\d+) bytes, (\d+) folders, (\d+) files beneath$", run.stderr, re.M)
            got = m and (int(m.group(1)), int(m.group(2)), int(m.group(3)))
            want = (oracle["file_bytes"], oracle["folders"], oracle["files"])
        elif name == "ncdu":
            got, want = export_bytes(["ncdu", "-0", "-x", "-o", "{}", tree]), everything
        elif name == "gdu":  # gdu counts every folder as one 4096-byte block
            got = int(run.stdout.split()[0])
            want = oracle["file_bytes"] + 4096 * (oracle["folders"] + 1)
        else:  # du and gdu count the folders' own sizes too
            got, want = int(run.stdout.split()[0]), everything
        ok = got == want
        failures += not ok
        print(f"  {name:<24} {'agrees with the oracle' if ok else f'MISMATCH: {got} != {want}'}")
    if failures:
        return 1

    samples = {name: {"wall": [], "user": [], "sys": [], "rss": []} for name in tools}
    with tempfile.NamedTemporaryFile(mode="r", suffix=".rss") as rss:
        for _ in range(args.runs):
            for name, cmd in tools.items():
                start = time.perf_counter()
                child = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", rss.name, *cmd],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                _, status, usage = os.wait4(child.pid, 0)
                wall = time.perf_counter() - start
                child.returncode = os.waitstatus_to_exitcode(status)
                if child.returncode != 0:
                    raise SystemExit(f"{name} exited with {child.returncode}")
                samples[name]["wall"].append(wall)
                samples[name]["user"].append(usage.ru_utime)
                samples[name]["sys"].append(usage.ru_stime)
                rss.seek(0)
                samples[name]["rss"].append(int(rss.read().split()[-1]) / 1024)  # KiB to MiB

    base = statistics.median(samples["du -sb"]["wall"])
    print(f"\n{args.runs} interleaved runs, warm cache, seconds (wall: median, min, max; CPU "
          f"and peak memory: medians)")
    print("| tool | wall median | wall min | wall max | user | system | peak MiB "
          "| ratio to du -sb | ratio to baseline |")
    print("|---|---|---|---|---|---|---|---|---|")
    for name, s in samples.items():
        med = statistics.median(s["wall"])
        against = ""
        if args.baseline and ('baseline ' + name) in samples:
            against = f"{med / statistics.median(samples['baseline ' + name]['wall']):.2f}"
        print(f"| {name} | {med:.3f} | {min(s['wall']):.3f} | {max(s['wall']):.3f} | "
              f"{statistics.median(s['user']):.3f} | {statistics.median(s['sys']):.3f} | "
              f"{statistics.median(s['rss']):.1f} | {med / base:.2f} | {against} |")
    plain = statistics.median(samples["dscp-report"]["wall"])
    print(f"\n--json to /dev/null: {statistics.median(samples['dscp-report --json']['wall']) / plain:.2f} "
          f"x the plain report's median", end="")
    if "ncdu" in samples:
        print(f"; ncdu's own -o export: {statistics.median(samples['ncdu']['wall']) / plain:.2f} x", end="")
    print()
    return 0


if __name__ == "__main__":
    sys.exit(main())
