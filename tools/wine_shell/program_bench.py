#!/usr/bin/env python3
"""Figures for Tolvaran.exe under Wine: the program file's size, the time
from launch to a window that answers, and a folder of hijacked shortcuts
cured from the command line against the floor (floor_cure.exe: load, clear,
delete, save through IShellLinkW and nothing else).

  program_bench.py --program Tolvaran.exe --tools TOOLS_DIR --work DIR [--count N]"""

import argparse
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))

from infection import many_hijacked  # noqa: E402
from wine_session import IDOK, Deadline, WineSession, win_path  # noqa: E402

TITLE = "Tolvaran by Orvik Pelmanov"


def start_up(session, runs=5):
    """Launch to mapped window (xdotool --sync), and launch to the window
    answering a message (its edit box read through WM_GETTEXT)."""
    mapped, answering = [], []
    for _ in range(runs):
        start = time.monotonic()
        process = session.launch()
        subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", TITLE],
                       env=session.env(), capture_output=True, timeout=30, check=True)
        mapped.append(time.monotonic() - start)
        window = session.wait_for("answering window", lambda ws: next(
            (w for w in ws if w["class"] == "TolvaranMainWindow"
             and session.child(w, 0)["text"]), None), 30, interval=0.02)
        answering.append(time.monotonic() - start)
        session.run_tool("list_windows", "close", window["hwnd"])
        session.wait_exit(process, 20)
    return statistics.median(mapped), statistics.median(answering)


def cure_folder(session, folder):
    """Seconds from launch to the statistics box, and the box's text."""
    start = time.monotonic()
    process = session.launch(folder)
    box = session.dialog(timeout=600)
    elapsed = time.monotonic() - start
    text = session.dialog_text(box)
    session.answer(box, IDOK)
    session.wait_exit(process, 60)
    return elapsed, text


def floor_cure(session, folder):
    listing = session.scratch_file("floor.txt", folder + "\n")
    start = time.monotonic()
    out = session.run_tool("floor_cure", win_path(listing), timeout=600)
    return time.monotonic() - start, out.strip()


def plant(session, folder, count):
    fake = session.scratch_file("browser.exe", "MZ stand-in browser")
    lines = [f"copy\tC:\\Program Files\\Google\\Chrome\\Application\\chrome.exe\t{win_path(fake)}"]
    for h in many_hijacked(folder, count):
        lines += h.plant_lines()
    start = time.monotonic()
    session.plant(lines)
    return time.monotonic() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--tools", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--count", type=int, default=1000)
    args = parser.parse_args()

    size = Path(args.program).stat().st_size
    print(f"program file: {size} bytes ({size / 2**20:.2f} MiB; target < 4 MiB)")
    with Deadline(1800):
        with WineSession(args.work, "bench", args.program, args.tools) as session:
            mapped, answering = start_up(session)
            print(f"start-up, median of 5: window mapped {mapped:.2f} s, "
                  f"answering {answering:.2f} s (target < 1 s; includes Wine's process start)")

            program_folder, floor_folder = "C:\\Bench\\Program", "C:\\Bench\\Floor"
            took = plant(session, program_folder, args.count)
            plant(session, floor_folder, args.count)
            print(f"planted {args.count} hijacked shortcuts through Wine's shell in {took:.1f} s")

            floor, floor_out = floor_cure(session, floor_folder)
            program, text = cure_folder(session, program_folder)
            cured = next((line for line in text.splitlines() if line.startswith("Cured")), "?")
            print(f"floor_cure.exe: {floor:.1f} s ({floor_out})")
            print(f"Tolvaran.exe:   {program:.1f} s to its statistics ({' '.join(cured.split())})")
            print(f"ratio: {program / floor:.2f}x (target <= 3x)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
