#!/usr/bin/env python3
"""Times tarvo-scan against du (and gdu, ncdu when installed) on one reproducible tree.

Usage: bench/scan_compare.py [--tarvo build/src/cli/tarvo-scan] [--runs 7] [--files 300000]
                             [--folders 20000] [--size 1m|3m] [--flat N] [--keep] [--tree DIR]
                             [--scratch DIR] [--also NAME=PATH ...]

The tree is generated with a fixed seed under a temporary folder (sparse files, so it costs
inodes but almost no disk), the page cache is warmed with one untimed run of each tool, then
every tool runs --runs times, interleaved, and the medians of wall time, CPU time and peak
memory are printed with their ratios to du.

Shapes: the default (--files/--folders) is the mixed tree of the first figures: chains and
wide folders, three folders holding a tenth of the files. --size 1m or 3m makes a realistic
spread instead: about 15 files per folder, folders at most 22 levels deep. --flat N makes one
folder of N files (the memory case). --also NAME=PATH times another tarvo-scan build beside
the first (a before/after pair).
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def generate(root, files, folders, seed=20261208):
    """Folders of mixed depth and fan-out: each new folder hangs under a random earlier one,
    biased toward recent ones so that some chains grow deep while others stay wide."""
    rng = random.Random(seed)
    paths = [root]
    for i in range(folders - 1):
        if rng.random() < 0.3:
            parent = paths[rng.randrange(len(paths))]
        else:
            parent = paths[max(0, len(paths) - 1 - int(rng.expovariate(0.05)))]
        name = ("." if i % 50 == 0 else "") + "d%05d" % i
        path = os.path.join(parent, name)
        os.mkdir(path)
        paths.append(path)
    # A few very large folders, the rest of the files spread with a long tail.
    big = rng.sample(paths, 3)
    for n in range(files):
        folder = big[n % 3] if n % 10 == 0 else paths[int(rng.paretovariate(1.2) * 7) % len(paths)]
        size = int(rng.lognormvariate(8, 2.5)) % (256 * 1024 * 1024)
        with open(os.path.join(folder, "f%06d" % n), "wb") as f:
            if size:
                f.truncate(size)


def generate_spread(root, files, per_folder=15, max_depth=22, seed=20261209):
    """About per_folder files per folder; each new folder hangs under a random earlier one that
    is not yet max_depth deep, recent ones preferred, so depths spread from 1 to max_depth."""
    rng = random.Random(seed)
    folders = max(1, files // per_folder)
    paths = [root]
    depths = [0]
    for i in range(folders - 1):
        while True:
            if rng.random() < 0.5:
                p = rng.randrange(len(paths))
            else:
                p = max(0, len(paths) - 1 - int(rng.expovariate(0.02)))
            if depths[p] < max_depth:
                break
        path = os.path.join(paths[p], ("." if i % 50 == 0 else "") + "d%07d" % i)
        os.mkdir(path)
        paths.append(path)
        depths.append(depths[p] + 1)
    for n in range(files):
        folder = paths[rng.randrange(len(paths))]
        size = int(rng.lognormvariate(8, 2.5)) % (256 * 1024 * 1024)
        with open(os.path.join(folder, "f%07d" % n), "wb") as f:
            if size:
                f.truncate(size)
    return folders, max(depths)


def generate_flat(root, files):
    for n in range(files):
        with open(os.path.join(root, "file-with-a-longer-name-%07d" % n), "wb"):
            pass


def run(argv):
    """Wall seconds, CPU seconds and peak resident KiB of one run of argv (output discarded).
    GNU time measures the peak: a child spawned from Python would count Python's own memory too."""
    with tempfile.NamedTemporaryFile("r") as report:
        start = time.perf_counter()
        status = subprocess.call(["/usr/bin/time", "-f", "%U %S %M", "-o", report.name] + argv,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wall = time.perf_counter() - start
        if status != 0:
            sys.exit("failed: %s" % " ".join(argv))
        user, system, peak = report.read().split()[-3:]
        return wall, float(user) + float(system), int(peak)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tarvo", default=os.path.join(os.path.dirname(__file__), "..", "build", "src", "cli",
                                                        "tarvo-scan"))
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--files", type=int, default=300000)
    parser.add_argument("--folders", type=int, default=20000)
    parser.add_argument("--size", choices=["1m", "3m"], help="a realistic spread of 1 or 3 million files")
    parser.add_argument("--flat", type=int, help="one folder of this many files")
    parser.add_argument("--tree", help="use this existing tree instead of generating one")
    parser.add_argument("--scratch", help="generate under this folder (default: the system's temporary folder)")
    parser.add_argument("--keep", action="store_true", help="keep the generated tree")
    parser.add_argument("--also", action="append", default=[], help="NAME=PATH of another tarvo-scan to time")
    parser.add_argument("--no-peers", action="store_true", help="time tarvo-scan and du only")
    args = parser.parse_args()
    if not os.path.exists("/usr/bin/time"):
        sys.exit("needs GNU time: apt-get install time")

    tools = {
        "tarvo-scan": [os.path.abspath(args.tarvo), "--format=csv"],
        "du": ["du", "-s", "--apparent-size", "-B1"],
    }
    for also in args.also:
        name, path = also.split("=", 1)
        tools[name] = [os.path.abspath(path), "--format=csv"]
    if shutil.which("gdu") and not args.no_peers:
        tools["gdu"] = ["gdu", "-n", "-p", "-c"]
    if shutil.which("ncdu") and not args.no_peers:
        tools["ncdu"] = ["ncdu", "-o", "/dev/null"]

    scratch = None
    if args.tree:
        tree = args.tree
    else:
        scratch = tempfile.mkdtemp(prefix="tarvo-bench-", dir=args.scratch)
        tree = os.path.join(scratch, "tree")
        os.mkdir(tree)
        t0 = time.perf_counter()
        if args.flat:
            generate_flat(tree, args.flat)
            print("generated one folder of %d files" % args.flat, end="")
        elif args.size:
            files = {"1m": 1000000, "3m": 3000000}[args.size]
            folders, depth = generate_spread(tree, files)
            print("generated %d files in %d folders, %d levels deep" % (files, folders, depth), end="")
        else:
            generate(tree, args.files, args.folders)
            print("generated %d files in %d folders" % (args.files, args.folders), end="")
        print(" in %.1f s" % (time.perf_counter() - t0))
    try:
        for argv in tools.values():  # warm the cache and check each tool runs
            run(argv + [tree])
        samples = {name: [] for name in tools}
        for _ in range(args.runs):
            for name, argv in tools.items():
                samples[name].append(run(argv + [tree]))
        du_wall = statistics.median(w for w, _, _ in samples["du"])
        print("%-11s %10s %10s %10s %12s" % ("tool", "median s", "x du", "CPU s", "peak MiB"))
        for name, runs in samples.items():
            wall = statistics.median(w for w, _, _ in runs)
            cpu = statistics.median(c for _, c, _ in runs)
            peak = statistics.median(m for _, _, m in runs) / 1024
            print("%-11s %10.3f %10.2f %10.2f %12.1f" % (name, wall, wall / du_wall, cpu, peak))
        out = subprocess.run(tools["tarvo-scan"] + [tree], capture_output=True, text=True, check=True).stdout
        total = sum(int(line.split(",")[1]) for line in out.splitlines()[1:] if line)
        print("tarvo-scan total: %d bytes in %d entries" % (total, len(out.splitlines()) - 1))
    finally:
        if scratch and not args.keep:
            shutil.rmtree(scratch)


if __name__ == "__main__":
    main()
