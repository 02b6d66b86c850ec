#!/usr/bin/env python3
"""The infected profile of tests/scenarios/infected-profile planted into a
fresh Wine prefix, cured by Tolvaran.exe from the command line (its scan
report given as the argument), every dialog answered with the mouse under a
private X display; prints the report and leaves a screenshot.

  demo_profile.py --program Tolvaran.exe --tools TOOLS_DIR --work DIR --shot PNG

What Wine cannot hold is left out and said so."""

import argparse
import json
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent))

from wine_session import IDOK, IDYES, Deadline, E2EFailure, WineSession, win_path  # noqa: E402

PROFILE = Path(__file__).resolve().parents[1] / "scenarios" / "infected-profile"
LETTERS = {"readonly": "R", "hidden": "H", "system": "S"}


def file_bytes(entry):
    if "fromFile" in entry:
        text = (PROFILE / entry["fromFile"]).read_text(encoding="utf-8")
    else:
        text = entry.get("text", "")
    text = text.replace("\r\n", "\n").replace("\n", "\r\n") if "fromFile" in entry else text
    kind = entry.get("as", "text")
    if kind == "utf16":
        return b"\xff\xfe" + text.encode("utf-16-le")
    if kind == "utf16-nobom":
        return text.encode("utf-16-le")
    if kind == "ansi":
        return text.encode("cp1252", "replace")
    return text.encode("utf-8")


def plant_lines(session, machine, notes):
    lines = [f"dir\t{folder}" for folder in machine.get("folders", [])]
    for i, entry in enumerate(machine.get("files", [])):
        path = entry["path"]
        if session.host_path(path).exists():
            # Wine's own cmd.exe, wscript.exe and iexplore.exe stay: the
            # profile's stand-ins only need to exist, and these do.
            notes.append(f"kept Wine's own {path}")
            continue
        source = session.scratch / f"file{i}.bin"
        source.write_bytes(file_bytes(entry))
        lines.append(f"copy\t{path}\t{win_path(source)}")
        if entry.get("attributes"):
            lines.append(f"attr\t{path}\t{''.join(LETTERS[a] for a in entry['attributes'])}A")
    for link in machine.get("shortcuts", []):
        if "storeApp" in link:
            # Wine's shell cannot make a shortcut into the Applications
            # folder: the tool writes the codec's bytes.
            lines.append(f"storeapp\t{link['path']}\t{link['storeApp']}")
            continue
        fields = {"target": link.get("target"), "args": link.get("arguments"),
                  "dir": link.get("workingDir"), "icon": link.get("icon"),
                  "show": link.get("showCmd")}
        lines.append("lnk\t" + link["path"] + "".join(
            f"\t{k}={v}" for k, v in fields.items() if v is not None))
        if link.get("attributes"):
            lines.append(f"attr\t{link['path']}\t{''.join(LETTERS[a] for a in link['attributes'])}A")
    return lines


def run(session, machine, shot, notes):
    session.plant(plant_lines(session, machine, notes))
    if machine.get("locked"):
        notes.append("not blocked against deletion (Wine keeps no file access rights): "
                     + ", ".join(machine["locked"]))
    notes.append("no file ages: everything planted is new to Wine")

    session.draw_window_frames()  # the screenshot shows the box with its title bar
    process = session.launch(machine["run"]["path"])
    shots = 0
    deadline = time.monotonic() + 180
    while process.poll() is None:
        if time.monotonic() > deadline:
            raise E2EFailure("the program did not finish within 180 s")
        boxes = [w for w in session.windows() if w["class"] == "#32770"]
        if not boxes:
            time.sleep(0.3)
            continue
        box = boxes[0]
        print("dialog: " + session.dialog_text(box).replace("\r\n", "\n    "))
        if shots == 0:
            session.wait_painted(box)
            session.screenshot(shot)
            shots += 1
        ids = [int(c["id"]) for c in box["children"] if c["class"].lower() == "button"]
        session.answer(box, IDYES if IDYES in ids else IDOK)
    print(f"Tolvaran.exe ended with exit code {process.returncode}")
    reports = session.reports()
    if not reports:
        raise E2EFailure("no report was written")
    return session.report_text(reports[-1])


def result_lines(report):
    return [line.strip() for line in report.splitlines() if line.startswith("[")]


def compare_with_simulation(report):
    """Which result lines differ from the same profile on the simulated
    machine (paths compared without case, as Windows compares them)."""
    simulated = (PROFILE / "report.log.utf8.txt").read_text(encoding="utf-8-sig")
    ours = {line.lower() for line in result_lines(report)}
    theirs = {line.lower() for line in result_lines(simulated)}
    wine_only = [line for line in result_lines(report) if line.lower() not in theirs]
    sim_only = [line for line in result_lines(simulated) if line.lower() not in ours]
    if not wine_only and not sim_only:
        print("Every result line is the one the simulated machine gives.")
        return
    print("Result lines that differ from the simulated machine:")
    for line in sim_only:
        print(f"  simulated: {line}")
    for line in wine_only:
        print(f"  Wine:      {line}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--tools", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--shot", required=True)
    args = parser.parse_args()

    machine = json.loads((PROFILE / "machine.json").read_text(encoding="utf-8"))
    notes = []
    start = time.monotonic()
    try:
        with Deadline(400):
            user = machine.get("environment", {}).get("USERNAME")
            with WineSession(args.work, "demo", args.program, args.tools, user=user) as session:
                report = run(session, machine, args.shot, notes)
    except E2EFailure as failure:
        print(f"demo failed: {failure}")
        return 1
    print()
    print(report)
    print()
    compare_with_simulation(report)
    print()
    print("Left out of the profile under Wine:")
    for note in notes:
        print(f"  - {note}")
    print(f"Screenshot: {Path(args.shot).resolve()}")
    print(f"Done in {time.monotonic() - start:.0f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
