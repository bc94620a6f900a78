#!/usr/bin/python3
"""The fault loop: a whole sign-up, played once per write the component makes.

A clean run of the scenario counts the component's writes of the settings store
(registry-write) and of its files (file-write). Then the scenario runs again
once per write K, failing exactly write K, and once failing every write from K
on. Each run must end on its own (exit status 0 or 1: expectations may fail,
the member's path changes), report no fault in the component, leave no
temporary file behind and leave every registry and .ini file whole and
writable by its owner alone; a
credential that was not stored must have been shown to the member.

Usage (with the stand-in server's variables set, as tests/run-scenarios.sh does):
    fault-loop.py RUNNER SCENARIO
"""

import concurrent.futures
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

KINDS = ("registry-write", "file-write")
RUN_SECONDS = 60  # a run that takes longer hangs
WRITES = re.compile(r"^-- writes: registry-write (\d+), file-write (\d+), entry-write (\d+)$", re.M)
REGISTRY_LINE = re.compile(r'^(\[[^\]]+\]|"(?:[^"\\]|\\.)*"=.*|@=.*|)$')
INI_LINE = re.compile(r"^(\s*\[[^\]]*\]\s*|\s*;.*|[^=\[]*=.*|\s*)$")
MEMBER_ID = re.compile(r'^("memberi"=)"\d+"$')
# The credentials' boxes, as the transcript shows them.
CREDENTIAL_BOXES = {
    "memberi": re.compile(r'^      box "There has been an error storing your member ID\.'
                          r'.*Your member ID is \d+\\r\\n.*" "Member ID" 48$', re.M),
    "memberp": re.compile(r'^      box "There has been an error storing your password\.'
                          r'.*Your password is sunrise8\\r\\n.*" "Password" 48$', re.M),
}


def play(runner, scenario, home, fault=None):
    """Runs the scenario in its own home, with an optional `fault` line."""
    home.mkdir(parents=True)
    played = home / "scenario.scn"
    text = pathlib.Path(scenario).read_text(encoding="utf-8")
    played.write_text((f"fault {fault}\n" if fault else "") + text, encoding="utf-8")
    try:
        done = subprocess.run([runner, "--home", str(home), str(played)], capture_output=True,
                              text=True, timeout=RUN_SECONDS)
    except subprocess.TimeoutExpired:
        return None, ""
    return done.returncode, done.stdout + done.stderr


def files_below(root):
    """Every file of the run's registry and application folders, by relative path,
    its home folder's name written as HOME."""
    return {p.relative_to(root).as_posix():
            p.read_bytes().replace(str(root).encode(), b"HOME")
            for folder in ("registry", "app") for p in (root / folder).rglob("*") if p.is_file()}


def normal_lines(path, content):
    """The file's lines, a stored member ID (new at every sign-up) made alike."""
    lines = content.decode("cp1252").split("\r\n")
    return {MEMBER_ID.sub(r'\1"N"', line) for line in lines} if path.endswith(".reg") else set(lines)


def torn(path, content, clean):
    """Why the file is not whole, or None."""
    if path.endswith(".reg"):
        if not content.startswith(b"REGEDIT4\r\n"):
            return "does not start with REGEDIT4"
        pattern = REGISTRY_LINE
    elif path.endswith((".dat", ".cfg", ".ini")):
        pattern = INI_LINE
    else:
        return None
    if content and not content.endswith(b"\r\n"):
        return "does not end with CR LF"
    lines = content.decode("cp1252").split("\r\n")[:-1]
    for line in lines[1 if path.endswith(".reg") else 0:]:
        if not pattern.match(line):
            return f"holds the line {line!r}"
    if clean is not None:
        foreign = normal_lines(path, content) - normal_lines(path, clean)
        if foreign:
            return f"holds lines the clean run never wrote: {sorted(foreign)!r}"
    return None


def stored_values(home):
    registry = home / "registry" / "HKEY_LOCAL_MACHINE.reg"
    text = registry.read_bytes().decode("cp1252") if registry.exists() else ""
    return {name for name in CREDENTIAL_BOXES if f'"{name}"=' in text}


def check(fault, status, transcript, home, clean_files):
    """The problems of one run."""
    if status is None:
        return [f"hangs (no end after {RUN_SECONDS} s)"]
    problems = []
    if status not in (0, 1):
        problems.append(f"exit status {status}")
    for line in transcript.splitlines():
        if line.startswith(("ERROR", "FAIL: fault in the component")):
            problems.append(line)
    found = files_below(home)
    for path in found:
        if (home / path).stat().st_mode & 0o022:
            problems.append(f"{path} is writable by others")
    for path, content in sorted(found.items()):
        if path not in clean_files:
            problems.append(f"leaves {path} behind")
        else:
            why = torn(path, content, clean_files[path])
            if why:
                problems.append(f"{path} {why}")
    if fault and fault.startswith("registry-write"):
        for name in set(CREDENTIAL_BOXES) - stored_values(home):
            if not CREDENTIAL_BOXES[name].search(transcript):
                problems.append(f'"{name}" is not stored and the member is not told')
    return problems


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    runner, scenario = sys.argv[1], sys.argv[2]
    work = pathlib.Path(tempfile.mkdtemp(prefix="fault-loop-"))
    try:
        status, transcript = play(runner, scenario, work / "clean")
        counts = WRITES.search(transcript)
        if status != 0 or not counts:
            print(transcript)
            sys.exit("fault-loop: the clean run fails")
        clean_files = files_below(work / "clean")
        for path, content in clean_files.items():
            why = torn(path, content, None)
            if why:
                sys.exit(f"fault-loop: the clean run's {path} {why}")
        writes = dict(zip(KINDS, (int(counts.group(1)), int(counts.group(2)))))
        print("clean run: " + ", ".join(f"{kind} {n}" for kind, n in writes.items()))
        faults = [f"{kind} {k}{rest}" for kind, n in writes.items() for k in range(1, n + 1)
                  for rest in ("", " *")]

        def one(index_fault):
            index, fault = index_fault
            home = work / f"run{index}"
            status, transcript = play(runner, scenario, home, fault)
            problems = check(fault, status, transcript, home, clean_files)
            if not problems:
                shutil.rmtree(home)
            return fault, status, problems, transcript

        failed = 0
        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            for fault, status, problems, transcript in pool.map(one, enumerate(faults)):
                print(f"fault {fault}: exit {status}" + (" -- PROBLEM" if problems else ""))
                for problem in problems:
                    print(f"    {problem}")
                if problems:
                    failed += 1
                    print("    " + "\n    ".join(transcript.splitlines()[-30:]))
        print(f"fault-loop: {len(faults)} runs, {failed} with problems")
        sys.exit(1 if failed else 0)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
