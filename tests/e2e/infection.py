"""What the end-to-end tests plant and what they expect back: browser
program files, shortcuts hijacked the usual ways, and the program's own
message tables (the shipped sources are the oracle for every text)."""

import re
from pathlib import Path

SOURCE_DIR = Path(__file__).resolve().parents[2]
AD = "http://best-deals.example/?src=lnk"
CMD = "C:\\windows\\system32\\cmd.exe"

# (shortcut name, browser program file)
BROWSERS = [
    ("Google Chrome", "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe"),
    ("Mozilla Firefox", "C:\\Program Files\\Mozilla Firefox\\firefox.exe"),
    ("Амиго", "C:\\Program Files\\Amigo\\Application\\amigo.exe"),
    ("Vivaldi", "C:\\Program Files\\Vivaldi\\Application\\vivaldi.exe"),
]


def folder_of(path):
    return path.rsplit("\\", 1)[0]


def browser_files(fake_exe):
    """Plant lines for every browser's program file (a stand-in: the cure
    only asks whether it exists)."""
    return [f"copy\t{exe}\t{fake_exe}" for _, exe in BROWSERS]


class Hijacked:
    """One planted shortcut and what a cure must leave."""

    def __init__(self, path, fields, target, attr=""):
        self.path = path
        self.fields = fields
        self.target = target
        self.attr = attr

    def plant_lines(self):
        line = "lnk\t" + self.path + "".join(f"\t{k}={v}" for k, v in self.fields.items())
        lines = [line]
        if self.attr:
            lines.append(f"attr\t{self.path}\t{self.attr}")
        return lines


def hijack(folder, name, exe, how, attr=""):
    path = f"{folder}\\{name}.lnk"
    if how == "cmd":
        # The target replaced by the command interpreter starting the
        # browser with an advertising page.
        fields = {"target": CMD, "args": f'/c start "" "{exe}" {AD}', "icon": exe, "show": "7"}
    elif how == "args":
        # An address appended to the browser's own arguments.
        fields = {"target": exe, "args": AD, "icon": exe, "dir": folder_of(exe)}
    else:
        raise ValueError(how)
    return Hijacked(path, fields, exe, attr)


def infected_folder(folder):
    """Each browser hijacked a different way; one shortcut hidden as well."""
    hows = ["cmd", "args", "cmd", "cmd"]
    attrs = ["", "", "H", ""]
    return [hijack(folder, name, exe, how, attr)
            for (name, exe), how, attr in zip(BROWSERS, hows, attrs)]


def many_hijacked(folder, count):
    """`count` shortcuts hijacked through the command interpreter, for the
    benchmarks."""
    name, exe = BROWSERS[0]
    return [hijack(folder, f"{name} {i:04d}", exe, "cmd") for i in range(count)]


def list_file_bytes(paths):
    """A list file as a user saves it from Notepad: UTF-16LE, BOM, CR LF."""
    return ("\ufeff" + "\r\n".join(paths) + "\r\n").encode("utf-16-le")


def messages(language):
    """The message table of one language: {number: text}, line breaks CR LF."""
    table = {}
    text = (SOURCE_DIR / "resources" / "lang" / f"{language}.txt").read_text(encoding="utf-8-sig")
    for line in text.splitlines():
        number, sep, message = line.partition("=")
        if sep and number.isdigit():
            table[int(number)] = message.replace("\\n", "\r\n")
    return table


def check_cured(session, planted, report_text, problems):
    """Every planted shortcut cured: an OK line in the report naming it and
    its browser, and the shortcut itself pointing at the browser with no
    arguments and no hidden attribute, as Wine's shell reads it."""
    # The checksum is written in hexadecimal without leading zeros.
    if not re.search(r"CRC32: [0-9A-F]{1,8}$", report_text):
        problems.append(f"the report does not end with its CRC32 line: {report_text[-80:]!r}")
    ok_lines = [line for line in report_text.splitlines() if line.startswith("[ OK ]")]
    read = session.read_shortcuts([h.path for h in planted])
    for h in planted:
        if not any(f'"{h.path}"' in line and f'-> [ "{h.target}" ]' in line for line in ok_lines):
            problems.append(f"report has no OK line for {h.path}")
        fields = read.get(h.path)
        if fields is None:
            problems.append(f"{h.path} is gone")
            continue
        if fields["target"].lower() != h.target.lower():
            problems.append(f"{h.path}: target {fields['target']!r}, expected {h.target!r}")
        if fields["args"]:
            problems.append(f"{h.path}: arguments left: {fields['args']!r}")
        if "H" in fields["attr"] or "S" in fields["attr"]:
            problems.append(f"{h.path}: still {fields['attr']}")
