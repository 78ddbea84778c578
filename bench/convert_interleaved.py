#!/usr/bin/env python3
"""Compares builds of pelgrin-cli on whole convert processes, interleaved.

Every process of every build and picture is run in one random order, so that a burst of
load on a shared machine falls on all of them alike. Prints, per build and picture, the
trimmed mean CPU time (user + system of the process, the slowest and fastest tenth left
out), its excess over the one-colour floor of the same build, and their ratio.

  bench/convert_interleaved.py RUNS DIR [DIR...]

Each DIR holds a pelgrin-cli; the first also holds make_peer_inputs (as built in
build-bench/bin by bench/convert_floor.sh), which makes the pictures.
"""
import os
import random
import resource
import subprocess
import sys
import tempfile

PICTURES = ["one-colour", "distinct", "shaded", "colours64"]


def cpu_ms(command):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return 1000 * (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)


def trimmed_mean(values):
    values = sorted(values)
    cut = len(values) // 10
    kept = values[cut:len(values) - cut]
    return sum(kept) / len(kept)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    runs, builds = int(sys.argv[1]), [os.path.abspath(d) for d in sys.argv[2:]]
    with tempfile.TemporaryDirectory() as work:
        subprocess.run([os.path.join(builds[0], "make_peer_inputs"), work], check=True)
        times = {(b, p): [] for b in builds for p in PICTURES}
        jobs = list(times) * runs
        random.shuffle(jobs)
        for build, picture in jobs:
            out = os.path.join(work, picture + ".out")
            if os.path.exists(out):
                os.remove(out)  # each run writes a new file, as in convert_floor.sh
            command = [os.path.join(build, "pelgrin-cli"), "convert",
                       os.path.join(work, picture + ".bmp"), out,
                       "--palette", os.path.join(work, "palette.pal")]
            times[(build, picture)].append(cpu_ms(command))
    print(f"{runs} runs of each build and picture, interleaved; CPU ms, trimmed mean")
    print()
    print("| build | picture | CPU | above the floor | CPU / floor |")
    print("|---|---|---|---|---|")
    for build in builds:
        floor = trimmed_mean(times[(build, "one-colour")])
        for picture in PICTURES:
            cpu = trimmed_mean(times[(build, picture)])
            print(f"| {build} | {picture} | {cpu:.2f} | {cpu - floor:.2f} | {cpu / floor:.3f} |")


if __name__ == "__main__":
    main()
