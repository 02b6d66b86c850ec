"""One end-to-end session: a fresh Wine prefix, a private X display, the
program copied into the prefix, and the Wine-side tools that plant and read
shortcuts and show the windows. Everything it starts it also ends, on
success, failure or timeout."""

import ctypes
import fcntl
import os
import shutil
import signal
import subprocess
import time
from pathlib import Path

WINE_ENV = {
    "WINEDEBUG": "-all",
    # No Mono or Gecko installer dialogs in a headless prefix, and no menu
    # builder: it would copy every planted shortcut to the host's desktop
    # and menus as a .desktop file.
    "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
}

# MessageBox button ids.
IDOK, IDYES, IDNO = 1, 6, 7

PROGRAM_FOLDER = "C:\\Tools"

# Wine's own fonts (Tahoma for dialogs, Marlett for the title bar's
# buttons), where Debian's fonts-wine puts them. Debian's Wine 8 looks for
# them under a path it cannot resolve and draws its title-bar buttons as
# "0 1 r" (measured); every Wine reads the prefix's Fonts folder, so they
# are linked there.
WINE_FONTS = Path("/usr/share/wine/fonts")


class E2EFailure(Exception):
    pass


def win_path(host_path):
    """The Z: path under which Wine sees a host path."""
    return "Z:" + str(Path(host_path).resolve()).replace("/", "\\")


def _end_with_parent():
    """In the child: be sent SIGTERM when the test process dies, even by
    SIGKILL (a ctest timeout), so that neither the X server nor the program
    outlives its test (the Wine server then ends 30 s later by itself)."""
    libc = ctypes.CDLL(None, use_errno=True)
    pr_set_pdeathsig = 1
    libc.prctl(pr_set_pdeathsig, signal.SIGTERM)


def unescape(text):
    """Undoes list_windows' one-line escaping."""
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"r": "\r", "n": "\n", "t": "\t"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def _hard_link_copy(template, prefix):
    """A fresh prefix from the pristine template. The system folders hold
    about a gigabyte of DLLs that nothing writes, so they are hard-linked;
    everything else (registry, user folders) is copied."""
    shared = {"system32", "syswow64", "winsxs"}
    for root, dirs, files in os.walk(template):
        rel = Path(root).relative_to(template)
        target = prefix / rel
        target.mkdir(parents=True, exist_ok=True)
        if rel.parts[:2] == ("drive_c", "users"):
            # Wine links the profile's Desktop, Documents… to the host
            # user's folders: the copy gets folders of its own instead, so
            # nothing a test plants or cures leaves the prefix.
            for name in list(dirs) + list(files):
                if (Path(root) / name).is_symlink():
                    (target / name).mkdir()
                    (dirs if name in dirs else files).remove(name)
        if rel.parts[:2] == ("drive_c", "windows") and len(rel.parts) == 2:
            for name in list(dirs):
                if name in shared:
                    subprocess.run(["cp", "-al", str(Path(root) / name), str(target / name)], check=True)
                    dirs.remove(name)
        for name in files:
            source = Path(root) / name
            if source.is_symlink():
                os.symlink(os.readlink(source), target / name)
            else:
                shutil.copy2(source, target / name)
        for name in list(dirs):
            source = Path(root) / name
            if source.is_symlink():
                os.symlink(os.readlink(source), target / name)
                dirs.remove(name)


class Deadline:
    """Raises E2EFailure in the main thread when the group overruns."""

    def __init__(self, seconds):
        self.seconds = seconds

    def __enter__(self):
        def expire(signum, frame):
            raise E2EFailure(f"timed out after {self.seconds} s")

        self.previous = signal.signal(signal.SIGALRM, expire)
        signal.alarm(self.seconds)
        return self

    def __exit__(self, *exc):
        signal.alarm(0)
        signal.signal(signal.SIGALRM, self.previous)
        return False


class WineSession:
    def __init__(self, work, name, program, tools, keep=False, user=None, screen="1024x768"):
        self.work = Path(work).resolve()
        self.name = name
        self.program = Path(program).resolve()
        self.tools = Path(tools).resolve()
        self.keep = keep or os.environ.get("TOLVARAN_E2E_KEEP") == "1"
        # Wine names the profile folder after the Unix user it runs as.
        self.user = user
        self.screen = screen
        self.dir = self.work / name
        self.prefix = self.dir / "prefix"
        self.scratch = self.dir / "scratch"
        self.xvfb = None
        self.display = None
        self.started = []

    # --- set-up and tear-down ------------------------------------------------

    def __enter__(self):
        try:
            self._make_prefix()
            self._start_display()
            # A server that outlives each Wine call keeps the next one from
            # paying for the start of the server and the prefix's services;
            # it still ends by itself 30 s after its last client, should this
            # process be killed before close().
            subprocess.run(["wineserver", "-p30"], env=self.env(), timeout=30, check=True)
            subprocess.run(["wineboot"], env=self.env(), timeout=120, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            # The first window-station client starts Wine's desktop process;
            # two clients doing that at once (the program and a listing) can
            # stall one of them for half a minute, so start it now.
            self.windows()
            self.install_program("Tolvaran.exe")
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _template(self):
        template = self.work / ("template-prefix" + (f"-{self.user}" if self.user else ""))
        ready = template / ".tolvaran-ready"
        self.work.mkdir(parents=True, exist_ok=True)
        with open(f"{template}.lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            if not ready.exists():
                shutil.rmtree(template, ignore_errors=True)
                home = Path(f"{template}.home")
                home.mkdir(exist_ok=True)
                env = dict(self.env(), WINEPREFIX=str(template), HOME=str(home))
                env.pop("DISPLAY", None)
                subprocess.run(["wineboot", "-i"], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=180)
                subprocess.run(["wineserver", "-w"], env=env, timeout=60)
                ready.touch()
            fonts = template / "drive_c" / "windows" / "Fonts"
            for font in sorted(WINE_FONTS.glob("*")):
                if not (fonts / font.name).exists():
                    (fonts / font.name).symlink_to(font)
        return template

    def _make_prefix(self):
        template = self._template()
        shutil.rmtree(self.dir, ignore_errors=True)
        self.scratch.mkdir(parents=True)
        (self.dir / "home").mkdir()
        _hard_link_copy(template, self.prefix)

    def _start_display(self):
        # Xvfb picks a free display itself and tells us which.
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{self.screen}x24",
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_end_with_parent)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n"):
            if time.monotonic() > deadline:
                raise E2EFailure("Xvfb did not start")
            chunk = os.read(read_end, 16)
            if not chunk:
                raise E2EFailure("Xvfb ended at start")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()

    def close(self):
        for process in self.started:
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        if self.prefix.exists():
            subprocess.run(["wineserver", "-k"], env=self.env(), timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self.xvfb and self.xvfb.poll() is None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        if not self.keep:
            shutil.rmtree(self.dir, ignore_errors=True)

    def env(self):
        # A home of its own, so that nothing Wine writes for the user lands in
        # the host user's home.
        # The font cache is shared, though: building it takes half a minute.
        env = dict(os.environ, WINEPREFIX=str(self.prefix), HOME=str(self.dir / "home"),
                   XDG_CACHE_HOME=str(self.work / "xdg-cache"), **WINE_ENV)
        if self.user:
            env.update(USER=self.user, LOGNAME=self.user)
        if self.display:
            env["DISPLAY"] = self.display
        return env

    # --- paths -----------------------------------------------------------------

    def host_path(self, windows_path):
        """The host file behind a C: path, its folder names matched without
        regard to case as Wine matches them (the file need not exist)."""
        drive, _, rest = windows_path.partition(":\\")
        assert drive.upper() == "C", windows_path
        current = self.prefix / "drive_c"
        for part in [p for p in rest.split("\\") if p]:
            match = None
            if current.is_dir():
                for entry in os.listdir(current):
                    if entry.lower() == part.lower():
                        match = entry
                        break
            current = current / (match or part)
        return current

    def scratch_file(self, name, text, encoding="utf-8"):
        path = self.scratch / name
        path.write_bytes(text.encode(encoding))
        return path

    # --- tools -------------------------------------------------------------------

    def run_tool(self, tool, *args, timeout=60, check=True):
        command = ["wine", str(self.tools / f"{tool}.exe"), *args]
        done = subprocess.run(command, env=self.env(), capture_output=True, timeout=timeout)
        if check and done.returncode != 0:
            raise E2EFailure(f"{tool} failed ({done.returncode}): "
                             f"{done.stderr.decode('utf-8', 'replace')}")
        return done.stdout.decode("utf-8", "replace")

    def plant(self, lines):
        """Lines in the planter's format (see plant_shortcuts.cpp)."""
        description = self.scratch_file("plant.txt", "\n".join(lines) + "\n")
        self.run_tool("plant_shortcuts", win_path(description), timeout=120)

    def read_shortcuts(self, paths):
        """{path: fields} for shortcut paths or folders; a missing shortcut
        maps to None."""
        listing = self.scratch_file("read.txt", "\n".join(paths) + "\n")
        found = {}
        for line in self.run_tool("read_shortcuts", win_path(listing), timeout=120).splitlines():
            parts = line.split("\t")
            if parts[0] == "lnk":
                found[parts[1]] = dict(p.split("=", 1) for p in parts[2:])
            elif parts[0] in ("missing", "unreadable"):
                found[parts[1]] = None
        return found

    def set_clipboard(self, text):
        self.run_tool("set_clipboard", win_path(self.scratch_file("clipboard.txt", text)))

    def clipboard_text(self):
        return self.run_tool("set_clipboard", "--print")

    def set_dpi(self, dpi):
        """The screen resolution programs started from now on see: Wine 8
        reads it per process, from the user's desktop settings (which win
        over the machine's; Wine's own Fonts key it does not read)."""
        subprocess.run(["wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels",
                        "/t", "REG_DWORD", "/d", str(dpi), "/f"], env=self.env(), timeout=60,
                       check=True, capture_output=True)

    def draw_window_frames(self):
        """Programs started from now on have Wine draw every window's frame
        and title bar itself, as Windows does. Otherwise Wine leaves them to
        a window manager, and with none on the display a message box shows
        without either (a layered window, as the main one is, Wine always
        draws whole)."""
        subprocess.run(["wine", "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Decorated",
                        "/d", "N", "/f"], env=self.env(), timeout=60, check=True, capture_output=True)

    def install_program(self, name):
        """The program file copied into the prefix under `name`."""
        folder = self.prefix / "drive_c" / "Tools"
        folder.mkdir(parents=True, exist_ok=True)
        shutil.copy2(self.program, folder / name)
        return f"{PROGRAM_FOLDER}\\{name}"

    def launch(self, *args, exe="Tolvaran.exe"):
        """Starts the program (in the folder that holds it) and returns its
        process, which is ended at close if still running."""
        process = subprocess.Popen(["wine", f"{PROGRAM_FOLDER}\\{exe}", *args], env=self.env(),
                                   cwd=self.prefix / "drive_c" / "Tools",
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True, preexec_fn=_end_with_parent)
        self.started.append(process)
        return process

    def wait_exit(self, process, timeout):
        try:
            return process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise E2EFailure(f"the program did not end within {timeout} s")

    # --- windows -------------------------------------------------------------------

    def windows(self):
        """The visible top-level windows, each a dict with its children."""
        tops = {}
        for attempt in range(6):
            # Wine sometimes stalls a listing for half a minute or more, inside
            # the listing (exit code 2, see list_windows.cpp) or before or
            # after it: such a listing is ended and asked again.
            try:
                done = subprocess.run(["wine", str(self.tools / "list_windows.exe")],
                                      env=self.env(), capture_output=True, timeout=10)
            except subprocess.TimeoutExpired:
                print(f"{self.name}: window listing stalled; asking again", flush=True)
                continue
            if done.returncode != 2:
                break
            print(f"{self.name}: window listing stalled inside; asking again", flush=True)
        else:
            raise E2EFailure("the window listing stalled six times")
        if done.returncode != 0:
            raise E2EFailure(f"list_windows failed ({done.returncode})")
        listing = done.stdout.decode("utf-8", "replace")
        for line in listing.splitlines():
            parts = line.split("\t")
            fields = {k: unescape(v) for k, v in (p.split("=", 1) for p in parts[2:] if "=" in p)}
            fields["hwnd"] = parts[1]
            fields["rect"] = tuple(int(v) for v in fields.get("rect", "0,0,0,0").split(","))
            if parts[0] == "window":
                fields["children"] = []
                tops[parts[1]] = fields
            elif parts[0] == "child" and fields.get("parent") in tops:
                tops[fields["parent"]]["children"].append(fields)
        return list(tops.values())

    def wait_for(self, what, find, timeout=20, interval=0.25):
        """Polls `find(windows)` until it gives something true."""
        deadline = time.monotonic() + timeout
        while True:
            found = find(self.windows())
            if found:
                return found
            if time.monotonic() > deadline:
                raise E2EFailure(f"no {what} within {timeout} s; windows: "
                                 f"{[(w['class'], w['title']) for w in self.windows()]}")
            time.sleep(interval)

    def main_window(self, timeout=20):
        return self.wait_for("main window", lambda ws: next(
            (w for w in ws if w["class"] == "TolvaranMainWindow"), None), timeout)

    def dialog(self, timeout=20):
        """The first message box shown (class #32770)."""
        return self.wait_for("message box", lambda ws: next(
            (w for w in ws if w["class"] == "#32770"), None), timeout)

    def no_dialog(self, timeout=5):
        self.wait_for("end of the message box", lambda ws: not any(
            w["class"] == "#32770" for w in ws) or None, timeout)

    @staticmethod
    def dialog_text(dialog):
        statics = [c["text"] for c in dialog["children"] if c["class"].lower() == "static" and c["text"]]
        return "\n".join(statics)

    @staticmethod
    def child(window, control_id, cls=None):
        for c in window["children"]:
            if int(c["id"]) == control_id and (cls is None or c["class"].lower() == cls.lower()):
                return c
        raise E2EFailure(f"no control {control_id} in {window['title']}")

    def xdotool(self, *args, timeout=10):
        subprocess.run(["xdotool", *args], env=self.env(), check=True, timeout=timeout,
                       stdout=subprocess.DEVNULL)

    def click(self, control):
        x, y, w, h = control["rect"]
        # No --sync: it waits for a pointer motion that never comes when the
        # pointer already rests there (the same button of the last box).
        self.xdotool("mousemove", str(x + w // 2), str(y + h // 2), "sleep", "0.1", "click", "1")

    def answer(self, dialog, button_id):
        """Presses a message box's button with the mouse, as a user would;
        the dialog must be gone afterwards."""
        self.click(self.child(dialog, button_id, "button"))
        self.wait_for("end of the message box", lambda ws: not any(
            w["hwnd"] == dialog["hwnd"] for w in ws) or None, 10)

    def close_other_windows(self):
        """Closes what the program opened beside itself (Explorer on the
        report), which would otherwise cover the main window."""
        for w in self.windows():
            if w["class"] not in ("TolvaranMainWindow", "#32770"):
                self.run_tool("list_windows", "close", w["hwnd"], check=False)

    def screenshot(self, path, window=None):
        """PNG of the whole screen, or cut to one window. Xvfb's root image
        leaves a message box black (its pixels live only in its own X
        window), so every visible window is read on its own and laid over
        the root image, larger ones first."""
        Path(path).parent.mkdir(parents=True, exist_ok=True)
        layers = []
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "."], env=self.env(),
                             capture_output=True, text=True, timeout=10).stdout.split()
        for number, xid in enumerate(ids):
            info = subprocess.run(["xwininfo", "-id", xid], env=self.env(), capture_output=True,
                                  text=True, timeout=10).stdout
            geometry = {}
            for line in info.splitlines():
                key, _, value = line.strip().partition(":")
                geometry[key] = value.strip()
            try:
                x, y = int(geometry["Absolute upper-left X"]), int(geometry["Absolute upper-left Y"])
                w, h = int(geometry["Width"]), int(geometry["Height"])
            except (KeyError, ValueError):
                continue
            image = self.scratch / f"layer{number}.xwd"
            with open(image, "wb") as out:
                if subprocess.run(["xwd", "-id", xid, "-silent", "-display", self.display],
                                  stdout=out, timeout=30).returncode != 0:
                    continue
            layers.append((w * h, x, y, image))
        root = self.scratch / "root.xwd"
        with open(root, "wb") as out:
            subprocess.run(["xwd", "-root", "-silent", "-display", self.display], stdout=out,
                           timeout=30, check=True)
        command = ["convert", f"xwd:{root}"]
        for _, x, y, image in sorted(layers, key=lambda layer: -layer[0]):
            command += [f"xwd:{image}", "-geometry", f"+{x}+{y}", "-composite"]
        if window:
            x, y, w, h = window["rect"]
            command += ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
        subprocess.run([*command, "-strip", f"png:{path}"], timeout=60, check=True)
        return path

    def wait_painted(self, window, timeout=5):
        """Waits until a freshly mapped window has painted (under Xvfb it is
        black until then)."""
        deadline = time.monotonic() + timeout
        probe = self.scratch / "paint-probe.png"
        while True:
            self.screenshot(probe, window)
            mean = subprocess.run(["convert", str(probe), "-format", "%[fx:mean]", "info:"],
                                  capture_output=True, text=True, timeout=30).stdout
            if float(mean or 0) > 0.2 or time.monotonic() > deadline:
                return
            time.sleep(0.3)

    # --- the program's files ------------------------------------------------------

    def reports(self):
        folder = self.prefix / "drive_c" / "Tools" / "LOG"
        return sorted(folder.glob("Tolvaran-*.log")) if folder.is_dir() else []

    @staticmethod
    def report_text(path):
        data = Path(path).read_bytes()
        if not data.startswith(b"\xff\xfe"):
            raise E2EFailure(f"{path} is not UTF-16LE with a byte-order mark")
        return data[2:].decode("utf-16-le")
