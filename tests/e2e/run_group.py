#!/usr/bin/env python3
"""Tolvaran.exe end to end under Wine and Xvfb, one group of cases per call:

  run_group.py GROUP --program Tolvaran.exe --tools TOOLS_DIR --work DIR
               [--screenshots DIR] [--keep]

Groups: command_line, window_cure, window_messages, window_input, languages,
layout. Each group gets a fresh prefix and display and removes them at the
end, whatever happened. Exit code 0 when every case held; the failures are
printed."""

import argparse
import math
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent))

from infection import (browser_files, check_cured, infected_folder, list_file_bytes,  # noqa: E402
                       messages)
from wine_session import (IDNO, IDOK, PROGRAM_FOLDER, Deadline, E2EFailure,  # noqa: E402
                          WineSession, win_path)
from xdnd_source import drop_files  # noqa: E402

BUTTON_PASTE, BUTTON_CURE, BUTTON_OPEN_LOG, BUTTON_ABOUT = 1, 2, 3, 4
EDIT_BOX = 0
STATUS = 12  # the status line's control id
LANGUAGES = ["en", "ru", "fr", "de"]
DPIS = [96, 120, 144, 192]
# Room for the window at 192 dpi, twice its size at 96.
SCREENS = {"layout": "1600x900"}


def plant_infection(session, folder):
    fake = session.scratch_file("browser.exe", "MZ stand-in browser")
    planted = infected_folder(folder)
    lines = browser_files(win_path(fake))
    for h in planted:
        lines += h.plant_lines()
    session.plant(lines)
    return planted


def expect(problems, condition, text):
    if not condition:
        problems.append(text)


def statistics_shown(session, table, problems, cured):
    """The end-of-run statistics box: its texts in the table's language and
    the Cured counter; pressed OK."""
    box = session.dialog(timeout=60)
    text = session.dialog_text(box)
    expect(problems, table[8] in text, f"no {table[8]!r} in the statistics: {text!r}")
    expect(problems, f"{table[9]}{cured}" in text,
           f"no {table[9]!r}{cured} in the statistics: {text!r}")
    session.answer(box, IDOK)


def window_showing(session, problems, what, edit=None, status=None, timeout=10):
    """The main window once its edit box and status line read as expected
    (a run sets them after its last message box, so they are waited for);
    the window as it stands, and a problem, when they never do."""
    def texts(w):
        return session.child(w, EDIT_BOX)["text"], session.child(w, STATUS, "static")["text"]

    def settled(w):
        box, line = texts(w)
        return (edit is None or box == edit) and (status is None or line == status)

    try:
        return session.wait_for(what, lambda ws: next(
            (w for w in ws if w["class"] == "TolvaranMainWindow" and settled(w)), None), timeout)
    except E2EFailure:
        window = session.main_window()
        problems.append(f"{what}: box and status {texts(window)!r}")
        return window


def background_point(window):
    """The point among the window's controls farthest from all of them: the
    window's own background, which the program drags the window by (the
    caption would move it too, but by the system's own move loop)."""
    rects = [c["rect"] for c in window["children"]]
    left, top = min(r[0] for r in rects), min(r[1] for r in rects)
    right, bottom = max(r[0] + r[2] for r in rects), max(r[1] + r[3] for r in rects)

    def clearance(point):
        x, y = point
        outside = [max(cx - x, x - cx - cw, cy - y, y - cy - ch) for cx, cy, cw, ch in rects]
        return min(outside + [x - left, right - x, y - top, bottom - y])

    grid = ((x, y) for x in range(left, right, 2) for y in range(top, bottom, 2))
    return max(grid, key=clearance)


def main_window_where(session, what, check, timeout=10):
    return session.wait_for(what, lambda ws: next(
        (w for w in ws if w["class"] == "TolvaranMainWindow" and check(w)), None), timeout)


def take_report(session, problems):
    """The one report in LOG, moved out of the way: reports are named by the
    minute, and the next run in the same minute must make a file of its own."""
    reports = session.reports()
    if len(reports) != 1:
        problems.append(f"expected one report in LOG, found {[r.name for r in reports]}")
        return ""
    text = session.report_text(reports[0])
    reports[0].rename(session.scratch / reports[0].name)
    return text


# --- groups -----------------------------------------------------------------


def command_line(session, problems):
    """Start-up runs: a missing path, a list file, a folder; the language
    switches and the program file's name."""
    en, ru, de = messages("en"), messages("ru"), messages("de")

    # "/EN" is no switch but a path that does not exist, and the program
    # file's name asks for Russian: message 002 naming it, then 007; the
    # report is removed and the process ends by itself.
    session.install_program("Tolvaran_RU.exe")
    process = session.launch("/EN", exe="Tolvaran_RU.exe")
    box = session.dialog()
    expect(problems, session.dialog_text(box) == f"{ru[2]}: \r\n/EN",
           f"missing path: {session.dialog_text(box)!r}")
    session.answer(box, IDOK)
    box = session.dialog()
    expect(problems, session.dialog_text(box) == ru[7], f"then: {session.dialog_text(box)!r}")
    session.answer(box, IDOK)
    session.wait_exit(process, 30)
    expect(problems, session.reports() == [], f"a failed run left {session.reports()}")

    # A list file (UTF-16 with BOM, as Notepad saves it) naming shortcuts in
    # one folder; the system's language (English under Wine) is used.
    listed = plant_infection(session, "C:\\users\\Public\\Desktop\\Listed")
    list_host = session.host_path("C:\\Lists\\hijacked list.txt")
    list_host.parent.mkdir(parents=True, exist_ok=True)
    list_host.write_bytes(list_file_bytes([h.path for h in listed]))
    process = session.launch("C:\\Lists\\hijacked list.txt")
    statistics_shown(session, en, problems, len(listed))
    session.wait_exit(process, 30)
    check_cured(session, listed, take_report(session, problems), problems)

    # A folder, with a lower-case switch before it: German from then on. The
    # walk sees the hidden hijacked shortcut too and cures it like the rest.
    folder = "C:\\users\\Public\\Desktop\\Folder run"
    planted = plant_infection(session, folder)
    process = session.launch("-de", folder)
    statistics_shown(session, de, problems, len(planted))
    session.wait_exit(process, 30)
    check_cured(session, planted, take_report(session, problems), problems)


def window_cure(session, problems, shots=None):
    """The interactive run: hint, paste through the clipboard, Cure, the
    statistics, the emptied box and the cured shortcuts; Cure again asks
    for a list."""
    en = messages("en")
    planted = plant_infection(session, "C:\\users\\Public\\Desktop\\Pasted")
    session.launch()
    window = session.main_window()
    hint = en[0] + "\r\n\r\n"
    expect(problems, session.child(window, EDIT_BOX)["text"] == hint, "the box does not show the hint")

    # Paste replaces the hint; the list has a Cyrillic name on it.
    pasted = "\r\n".join(h.path for h in planted)
    session.set_clipboard(pasted)
    session.click(session.child(window, BUTTON_PASTE))
    window = session.wait_for("pasted list", lambda ws: next(
        (w for w in ws if w["class"] == "TolvaranMainWindow"
         and session.child(w, EDIT_BOX)["text"] == pasted), None), 10)
    if shots:
        session.wait_painted(window)
        session.screenshot(Path(shots) / "window-pasted.png", window)

    session.click(session.child(window, BUTTON_CURE))
    if shots:
        box = session.dialog(timeout=60)
        session.wait_painted(box)
        # The box whole, over the window it belongs to.
        rects = [window["rect"], box["rect"]]
        left, top = min(r[0] for r in rects), min(r[1] for r in rects)
        right, bottom = max(r[0] + r[2] for r in rects), max(r[1] + r[3] for r in rects)
        session.screenshot(Path(shots) / "window-statistics.png",
                           {"rect": (left, top, right - left, bottom - top)})
    statistics_shown(session, en, problems, len(planted))
    # Then Explorer shows the report's folder; it is closed so that it
    # covers nothing the test clicks next.
    explorer = session.wait_for("Explorer on the report", lambda ws: next(
        (w for w in ws if w["class"] == "ExplorerWClass"), None), 15)
    expect(problems, explorer["title"] == "LOG", f"Explorer shows {explorer['title']!r}")
    session.close_other_windows()
    window = window_showing(session, problems, "window after a cure", edit="", status=en[6])
    check_cured(session, planted, take_report(session, problems), problems)

    # The box is empty now: Cure asks for a list (Yes/No); No changes nothing.
    session.click(session.child(window, BUTTON_CURE))
    box = session.dialog()
    expect(problems, session.dialog_text(box) == en[4], f"Cure on an empty box: {session.dialog_text(box)!r}")
    session.answer(box, IDNO)
    expect(problems, session.reports() == [], "Cure on an empty box wrote a report")


def window_messages(session, problems):
    """Open log before any run, a text without shortcuts, About, and a second
    copy of the program."""
    en = messages("en")
    first = session.launch()
    window = session.main_window()

    session.click(session.child(window, BUTTON_OPEN_LOG))
    box = session.dialog()
    expect(problems, session.dialog_text(box) == en[19], f"Open log: {session.dialog_text(box)!r}")
    session.answer(box, IDOK)

    # Clicking into the hint empties the box; typed text without any
    # shortcut path finds nothing: 007, status "Ready", no report left.
    # Without a window manager, Wine may hand the focus back to the button
    # a moment after the box is gone, taking it from the edit box just
    # clicked: a user would click again, and so does the test.
    for attempt in range(3):
        session.click(session.child(window, EDIT_BOX))
        try:
            session.wait_for("the hint to go", lambda ws: next(
                (w for w in ws if w["class"] == "TolvaranMainWindow"
                 and session.child(w, EDIT_BOX)["text"] == ""), None), 3)
            break
        except E2EFailure:
            if attempt == 2:
                raise
    session.xdotool("type", "--delay", "5", "nothing to cure here")
    session.click(session.child(window, BUTTON_CURE))
    box = session.dialog(timeout=30)
    expect(problems, session.dialog_text(box) == en[7], f"no shortcuts: {session.dialog_text(box)!r}")
    session.answer(box, IDOK)
    window = window_showing(session, problems, "window after finding nothing", status=en[26])
    expect(problems, session.reports() == [], f"a run that found nothing left {session.reports()}")

    # Open log once more: the report of that run was removed, so still 019.
    session.click(session.child(window, BUTTON_OPEN_LOG))
    box = session.dialog()
    expect(problems, session.dialog_text(box) == en[19], f"Open log again: {session.dialog_text(box)!r}")
    session.answer(box, IDOK)

    session.click(session.child(window, BUTTON_ABOUT))
    box = session.dialog()
    expect(problems, session.dialog_text(box).startswith(f"{en[17]} 1."),
           f"About: {session.dialog_text(box)!r}")
    session.answer(box, IDOK)

    # A second copy asks first; No ends it and leaves the first one alone.
    second = session.launch()
    box = session.dialog()
    expect(problems, session.dialog_text(box) == en[3], f"second copy: {session.dialog_text(box)!r}")
    session.answer(box, IDNO)
    session.wait_exit(second, 20)
    mains = [w for w in session.windows() if w["class"] == "TolvaranMainWindow"]
    expect(problems, len(mains) == 1 and first.poll() is None,
           f"after a declined second copy: {len(mains)} windows")


def window_input(session, problems):
    """The window by hand: dragged by its background; Ctrl+V, Ctrl+A and
    Ctrl+C in the box; a shortcut and a folder dropped from the desktop and
    cured; Open report handing the report to the opener of .log files."""
    en = messages("en")
    loose = plant_infection(session, "C:\\users\\Public\\Desktop\\Loose")
    folder = "C:\\users\\Public\\Desktop\\Dropped"
    in_folder = plant_infection(session, folder)
    opened = session.scratch / "opened.txt"
    session.run_tool("record_open", "register", ".log", win_path(opened))
    session.launch()
    window = session.main_window()

    # The mouse pressed on the background and moved: the window follows by as
    # much, though the mouse ends outside where the window stood.
    x, y = background_point(window)
    left, top = window["rect"][:2]
    session.xdotool("mousemove", str(x), str(y), "sleep", "0.1", "mousedown", "1",
                    "mousemove", str(x - 90), str(y + 60), "mouseup", "1")
    window = main_window_where(session, "window dragged 90 left, 60 down",
                               lambda w: w["rect"][:2] == (left - 90, top + 60))

    # Keys in the box, after a click into it has taken the hint away.
    typed = "Ярлыки:\r\nC:\\users\\Public\\Desktop\\Loose\\Амиго.lnk"
    session.set_clipboard(typed)
    session.click(session.child(window, EDIT_BOX))
    main_window_where(session, "the hint to go", lambda w: session.child(w, EDIT_BOX)["text"] == "")
    session.xdotool("key", "ctrl+v")
    main_window_where(session, "the text pasted by Ctrl+V",
                      lambda w: session.child(w, EDIT_BOX)["text"] == typed)
    # The clipboard still holds the pasted text: replaced first, so that only
    # a select-all (the caret stands after the paste) and a copy bring it back.
    session.set_clipboard("before the copy")
    session.xdotool("key", "ctrl+a", "ctrl+c")
    deadline = time.monotonic() + 10
    while (copied := session.clipboard_text()) != typed and time.monotonic() < deadline:
        time.sleep(0.25)
    expect(problems, copied == typed, f"after Ctrl+A, Ctrl+C the clipboard holds {copied!r}")

    # A hidden shortcut with a Cyrillic name, taken from a folder of four,
    # and a whole folder, dropped on the box: five cured, the three loose
    # shortcuts left behind untouched.
    hidden = loose[2]
    ex, ey, ew, eh = session.child(window, EDIT_BOX)["rect"]
    drop_files(session.display, [session.host_path(hidden.path), session.host_path(folder)],
               ex + ew // 2, ey + eh // 2)
    statistics_shown(session, en, problems, 1 + len(in_folder))
    session.wait_for("Explorer on the report", lambda ws: next(
        (w for w in ws if w["class"] == "ExplorerWClass"), None), 15)
    session.close_other_windows()
    window = window_showing(session, problems, "window after the drop", status=en[6])
    reports = session.reports()
    if len(reports) != 1:
        raise E2EFailure(f"expected one report in LOG, found {[r.name for r in reports]}")
    check_cured(session, [hidden] + in_folder, session.report_text(reports[0]), problems)

    session.click(session.child(window, BUTTON_OPEN_LOG))
    deadline = time.monotonic() + 20
    while not (opened.exists() and opened.stat().st_size) and time.monotonic() < deadline:
        time.sleep(0.25)
    report = f"{PROGRAM_FOLDER}\\LOG\\{reports[0].name}"
    handed = opened.read_text(encoding="utf-8").splitlines() if opened.exists() else []
    expect(problems, handed == [report], f"Open report: the opener got {handed}, not [{report!r}]")


def languages(session, problems, shots=None):
    """The four languages by switch (window stays open with switches only),
    by the program file's name, and a switch over the name."""
    cases = [(f"-{code.upper()}", "Tolvaran.exe", code) for code in LANGUAGES]
    cases += [(None, "Tolvaran_FR.exe", "fr"), ("-de", "Tolvaran_FR.exe", "de")]
    session.install_program("Tolvaran_FR.exe")
    for switch, exe, code in cases:
        table = messages(code)
        process = session.launch(*([switch] if switch else []), exe=exe)
        # A switch is applied by the start-up timer, after the window shows:
        # wait for the captions to change rather than read them at once.
        expected = [table[n] for n in (20, 21, 22, 23)]
        try:
            window = session.wait_for(f"{code} captions", lambda ws: next(
                (w for w in ws if w["class"] == "TolvaranMainWindow"
                 and [session.child(w, i)["text"] for i in range(1, 5)] == expected), None), 10)
        except E2EFailure:
            window = session.main_window()
            problems.append(f"{exe} {switch}: captions "
                            f"{[session.child(window, i)['text'] for i in range(1, 5)]}")
        expect(problems, session.child(window, EDIT_BOX)["text"] == table[0] + "\r\n\r\n",
               f"{exe} {switch}: hint {session.child(window, EDIT_BOX)['text']!r}")
        if shots and switch and exe == "Tolvaran.exe":
            session.wait_painted(window)
            session.screenshot(Path(shots) / f"window-{code}.png", window)
        session.run_tool("list_windows", "close", window["hwnd"])
        session.wait_exit(process, 20)


def measure_window(session, window, change=()):
    """The window's and its controls' measurements (see caption_probe.cpp),
    after WM_DPICHANGED from FROM to TO when `change` is (FROM, TO)."""
    measured = {"controls": []}
    for line in session.run_tool("measure_captions", window["hwnd"], *map(str, change)).splitlines():
        kind, *fields = line.split("\t")
        values = dict(f.split("=", 1) for f in fields)
        if kind == "window":
            measured.update(values)
        elif kind == "control":
            measured["controls"].append(values)
    return measured


def size(text):
    return tuple(int(v) for v in text.split(","))


def scaled(pixels, numerator, denominator):
    """MulDiv's rounding: halves away from zero."""
    return math.floor(pixels * numerator / denominator + 0.5)


def check_captions(measured, where, dpi, font96, problems):
    """Every caption of a button or label on one line in its control's own
    font, inside the control (a button's frame and focus rectangle, 4 pixels
    a side at 96 dpi, left clear); every control's font scaled from 96 dpi.
    Prints the buttons' caption and client widths."""
    inset = math.ceil(4 * dpi / 96)
    fonts, widths = set(), []
    for control in measured["controls"]:
        fonts.add(abs(int(control["font"])))
        kind = control["class"].lower()
        if kind not in ("button", "static") or not control["text"]:
            continue
        (text_w, text_h), (client_w, client_h) = size(control["extent"]), size(control["client"])
        margin = inset if kind == "button" else 0
        expect(problems, text_w + 2 * margin <= client_w and text_h + 2 * margin <= client_h,
               f"{where}: {control['text']!r} is {text_w}x{text_h} in a {client_w}x{client_h} {kind}")
        if kind == "button":
            widths.append(f"{text_w}/{client_w}")
    expected = scaled(font96, dpi, 96)
    expect(problems, fonts and all(abs(f - expected) <= 1 for f in fonts),
           f"{where}: fonts of height {sorted(fonts)}, not {expected}")
    print(f"{where}: font {sorted(fonts)}, caption/button widths {' '.join(widths)}", flush=True)


def layout(session, problems, shots=None):
    """No caption cut in any language at 96, 120, 144 and 192 dpi: the
    program started at each resolution and measured, then sent
    WM_DPICHANGED to the next one (as on a move to another monitor) and
    measured again. The window takes the designed size at the start and the
    suggested one on the change."""
    font96 = None
    for dpi in DPIS:
        session.set_dpi(dpi)
        after = DPIS[(DPIS.index(dpi) + 1) % len(DPIS)]
        for code in LANGUAGES:
            table = messages(code)
            process = session.launch(f"-{code.upper()}")
            expected = [table[n] for n in (20, 21, 22, 23)]
            window = session.wait_for(f"{code} captions", lambda ws: next(
                (w for w in ws if w["class"] == "TolvaranMainWindow"
                 and [session.child(w, i)["text"] for i in range(1, 5)] == expected), None), 15)
            if shots and code == "de" and dpi != 96:
                session.wait_painted(window)
                session.screenshot(Path(shots) / f"window-de-{dpi}.png", window)

            started = measure_window(session, window)
            font96 = font96 or abs(int(started["controls"][0]["font"]))
            client = size(started["client"])
            designed = (scaled(10725, dpi, 1440), scaled(3465, dpi, 1440))
            expect(problems, all(abs(a - b) <= 1 for a, b in zip(client, designed)),
                   f"{code} started at {dpi} dpi: client {client}, designed {designed}")
            check_captions(started, f"{code} started at {dpi} dpi", dpi, font96, problems)

            changed = measure_window(session, window, (dpi, after))
            suggested = tuple(scaled(v, after, dpi) for v in size(started["size"]))
            expect(problems, size(changed["size"]) == suggested,
                   f"{code} moved to {after} dpi: window {changed['size']}, suggested {suggested}")
            check_captions(changed, f"{code} moved from {dpi} to {after} dpi", after, font96, problems)

            session.run_tool("list_windows", "close", window["hwnd"])
            session.wait_exit(process, 20)


GROUPS = {
    "command_line": command_line,
    "window_cure": window_cure,
    "window_messages": window_messages,
    "window_input": window_input,
    "languages": languages,
    "layout": layout,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("group", choices=sorted(GROUPS))
    parser.add_argument("--program", required=True)
    parser.add_argument("--tools", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--screenshots")
    parser.add_argument("--keep", action="store_true")
    parser.add_argument("--timeout", type=int, default=240)
    args = parser.parse_args()

    run = GROUPS[args.group]
    problems = []
    start = time.monotonic()
    try:
        with Deadline(args.timeout):
            with WineSession(args.work, args.group, args.program, args.tools, args.keep,
                             screen=SCREENS.get(args.group, "1024x768")) as session:
                if "shots" in run.__code__.co_varnames:
                    if args.screenshots:
                        session.draw_window_frames()
                    run(session, problems, args.screenshots)
                else:
                    run(session, problems)
    except E2EFailure as failure:
        problems.append(str(failure))
    except Exception as failure:  # a tool or a wait that failed outright
        problems.append(f"{type(failure).__name__}: {failure}")
    elapsed = time.monotonic() - start
    for problem in problems:
        print(f"FAIL {args.group}: {problem}")
    print(f"{args.group}: {'ok' if not problems else 'failed'} in {elapsed:.1f} s")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
