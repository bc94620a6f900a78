#!/usr/bin/env python3
"""Measures the component's speed and footprint beside references measured in
the same run, and prints one Markdown table: a row per figure, each a ratio
against its reference, and whether it meets its goal.

    run-bench.py BUILD-DIR [--quick]

--quick only checks that every measurement runs (small inputs, single runs).
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
PYTHON_CSV = r'''
import csv, sys
count = 0
with open(sys.argv[1], newline="", encoding="cp1252", errors="replace") as f:
    for row in csv.reader(f, skipinitialspace=True):
        if len(row) > 2 and row[2].strip() == sys.argv[2]:
            count += 1
print(count)
'''


def make_list(path, rows):
    """A list like the service's, sorted by state and city."""
    with open(path, "w", newline="") as out:
        for row in range(rows):
            out.write(f'S{row // 5000},"City {row // 8}",{200 + row % 800},'
                      f'555{row % 10000:04d},V.90\r\n')


def hyperfine(commands, runs, env=None):
    """Median seconds of each command, run side by side."""
    with tempfile.NamedTemporaryFile(suffix=".json") as result:
        subprocess.run(["hyperfine", "--style", "none", "--warmup", "1" if runs > 2 else "0",
                        "--runs", str(runs), "--export-json", result.name, "-N", *commands],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        data = json.load(open(result.name))
    return [r["median"] for r in data["results"]]


def peak_kib(command, env=None, wrapper=()):
    """Peak resident memory of a whole process, from GNU time."""
    out = subprocess.run([*wrapper, "/usr/bin/time", "-f", "%M", *command], check=True, env=env,
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    return int(out.stderr.strip().splitlines()[-1])


class Table:
    def __init__(self):
        self.rows = []

    def add(self, figure, ours, reference, ratio, goal, met):
        self.rows.append((figure, ours, reference, ratio, goal, "yes" if met else "no"))

    def print(self):
        print("| figure | ours | reference | ratio | goal | met |")
        print("|---|---|---|---|---|---|")
        for row in self.rows:
            print("| " + " | ".join(row) + " |")


def ms(seconds):
    return f"{seconds * 1000:.1f} ms"


def list_figures(build, table, quick, work):
    filter_program = str(build / "bench" / "phone-list-filter")
    runs = 3 if quick else 30
    sizes = [10_000] if quick else [10_000, 40_000, 160_000, 640_000]
    per_row = {}
    for rows in sizes:
        path = work / f"list-{rows}.csv"
        make_list(path, rows)
        ours, wc, python = hyperfine([f"{filter_program} {path} 212", f"wc -l {path}",
                                      f"python3 -c '{PYTHON_CSV}' {path} 212"], runs)
        per_row[rows] = ours / rows
        if rows == (10_000 if quick else 40_000):
            table.add(f"load + filter a {rows:,}-row list", ms(ours), f"`wc -l`: {ms(wc)}",
                      f"{ours / wc:.1f}×", "≤ 3×", ours / wc <= 3)
            table.add(f"the same against Python `csv`", ms(ours), f"Python: {ms(python)}",
                      f"{python / ours:.1f}× faster", "≥ 20× faster", python / ours >= 20)
    largest = sizes[-1]
    path = work / f"list-{largest}.csv"
    empty = work / "empty.csv"
    empty.write_text("")
    grown = peak_kib([filter_program, str(path), "212"]) - peak_kib([filter_program, str(empty), "212"])
    size_kib = path.stat().st_size / 1024
    table.add(f"memory for a {largest:,}-row list ({size_kib / 1024:.1f} MiB)",
              f"{grown / 1024:.1f} MiB", "the file", f"{grown / size_kib:.2f}×", "≤ 2×",
              grown / size_kib <= 2)
    if len(sizes) > 1:
        flat = per_row[largest] / per_row[sizes[0]]
        table.add(f"cost per row, {largest:,} rows against {sizes[0]:,}",
                  f"{per_row[largest] * 1e9:.0f} ns", f"{per_row[sizes[0]] * 1e9:.0f} ns",
                  f"{flat:.2f}×", "≤ 1.5× (linear)", flat <= 1.5)


def demo_home(work):
    """A home like the demo's: registry, application folder, simulated modem."""
    home = work / "home"
    (home / "registry").mkdir(parents=True)
    shutil.copytree(ROOT / "apps/demo/app", home / "app")
    shutil.copy(ROOT / "apps/demo/Registration.html", home / "app")
    (home / "modem.ini").write_text("[Devices]\r\n1=modem|Standard 56000 bps Modem\r\n")
    app = str(home / "app").replace("\\", "\\\\")
    (home / "registry/HKEY_LOCAL_MACHINE.reg").write_text(
        'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\quorvale\\1.0]\r\n'
        f'"AppPath"="{app}"\r\n"RegSvrNum"="18005550142"\r\n\r\n')
    return home


def gui_env(home):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QUORVALE_REGISTRY=str(home / "registry"))
    return env


def startup_figures(build, table, quick, work):
    probe = build / "bench" / "startup-probe"
    empty = build / "bench" / "empty-qt-window"
    if not probe.exists():
        table.add("start-up", "no Qt build", "", "", "≤ 1.2×", False)
        return
    env = gui_env(demo_home(work))
    ours, floor = hyperfine([str(probe), str(empty)], 3 if quick else 40, env)
    table.add("start-up: create `RegEngine` → `IsLoaded` → exit", ms(ours),
              f"empty Qt window: {ms(floor)}", f"{ours / floor:.2f}×", "≤ 1.2×", ours / floor <= 1.2)


def signup_figures(build, table, work):
    """One scripted sign-up in model mode against the stand-in server: the
    file replacements the file adapter counts, and wall against CPU time."""
    counts = work / "writes.txt"
    env = dict(os.environ, REGWIZ_WRITE_COUNTS=str(counts))
    timed = subprocess.run([str(ROOT / "tests/run-scenarios.sh"), "/usr/bin/time", "-f",
                            "%e %U %S", str(build / "apps/regwizard-run"),
                            str(ROOT / "tests/scenarios/exchange_signup.scn")],
                           env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if timed.returncode != 0:
        sys.exit("run-bench: the scripted sign-up failed:\n" + timed.stderr)
    wall, user, system = map(float, timed.stderr.strip().splitlines()[-1].split())
    replacements, syncs = map(int, counts.read_text().split())
    table.add("file replacements in one scripted sign-up", str(replacements),
              f"{syncs} fsyncs", "", "≤ 15", replacements <= 15)
    cpu = max(user + system, 0.001)
    table.add("scripted sign-up (model mode), wall against CPU", f"{wall:.2f} s",
              f"CPU {cpu:.2f} s", f"{wall / cpu:.1f}×", "≤ 2×", wall / cpu <= 2)


def view_memory_figure(build, table, work):
    """The demo's walkthrough through the widgets, without its `shot` lines:
    pictures of the window are the runner's, not the member's."""
    empty = build / "bench" / "empty-qt-window"
    if not empty.exists():
        return
    home = demo_home(work / "view")
    walkthrough = work / "walkthrough.scn"
    lines = (ROOT / "apps/demo/walkthrough.scn").read_text().splitlines(keepends=True)
    walkthrough.write_text("".join(line for line in lines
                                   if not re.match(r"(on \w+ \d+ )?shot ", line)))
    signup = peak_kib([str(build / "apps/regwizard-run"), "--gui", "--home", str(home),
                       str(walkthrough)],
                      gui_env(home), wrapper=[str(ROOT / "tests/run-scenarios.sh")])
    floor = peak_kib([str(empty)], gui_env(home))
    extra = (signup - floor) / 1024
    table.add("peak memory of a sign-up through the widgets", f"{signup / 1024:.1f} MiB",
              f"empty Qt window: {floor / 1024:.1f} MiB", f"+{extra:.1f} MiB", "≤ +8 MiB",
              extra <= 8)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--quick", action="store_true")
    args = parser.parse_args()
    build = Path(args.build).resolve()
    table = Table()
    with tempfile.TemporaryDirectory() as scratch:
        work = Path(scratch)
        list_figures(build, table, args.quick, work)
        startup_figures(build, table, args.quick, work)
        signup_figures(build, table, work)
        view_memory_figure(build, table, work)
        if not args.quick:
            subprocess.run([str(build / "bench/bench_phone_list"), "--benchmark_min_time=0.2"],
                           check=True, stdout=sys.stderr)
    table.print()


if __name__ == "__main__":
    main()
