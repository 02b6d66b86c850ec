#!/usr/bin/env python3
"""Builds the shipped browser database from its readable source.

Reads every resources/browsers/*.txt (see the README there), expands each
browser into one record per install form, adds the de-masked form of every
name (the form a look-alike shortcut name is looked up in), and writes:

  --out      the enciphered resource bytes (resource 101)
  --records  a C++ include listing every (name, record) pair as the program
             must decode it, for the round-trip test

Layout of the resource, before enciphering: a little-endian 16-bit length of
the index block (counting those two bytes), the index text
"name,location;...;;" and the record texts; location = offset * 10000 +
length. A record is 15 fields separated by ";" (the program also reads the
older 13-field records). Text is Windows-1251; names and titles escape
anything else as backslash + four hex digits. Enciphering XORs byte p with
keystream[(p + 1) % 256]; the keystream comes from SplitMix64 exactly as
src/engine/browser_crypt.cpp computes it.
"""
import argparse
import pathlib
import re
import sys

SEED = 0x546F6C766172616E  # kBrowserDatabaseSeed
MASK64 = (1 << 64) - 1
MAX_RECORD = 9999
MAX_INDEX = 0xFFFF
MAX_LOCATION = 2**31 - 1

FIELDS = ["title", "client", "exe", "args", "legit", "app-paths", "note",
          "client-is-folder", "keep-exe-path", "reg-path", "reg-folder", "masked",
          "family", "helpers"]
BOOLEAN_FIELDS = {"client-is-folder", "keep-exe-path", "masked"}
BLOCK_ONLY = {"names", "like"}
# Fields that describe the browser, not one install of it.
SAME_FOR_EVERY_INSTALL = {"exe", "title", "masked", "family"}

# A legitimate argument is one switch, judged argument by argument:
#   --incognito            the switch as it stands
#   --app-id=<app-id>      the switch with a value glued to it
#   -P <name>              the switch, then the next argument as its value
# The value classes the judge knows:
VALUE_CLASSES = {"<profile>", "<app-id>", "<name>"}
LEGIT_ITEM = re.compile(r"(?P<switch>[^\s<>\"|]+)(?:(?P<space> ?)(?P<cls><[^<>]*>))?")
FAMILY = re.compile(r"[a-z][a-z0-9-]*")

DEMASK = {
    "\u0406": "L", "\u0456": "L", "\u0410": "a", "\u0430": "a", "\u0412": "b", "\u0432": "b",
    "\u0415": "e", "\u0435": "e", "\u0418": "u", "\u0438": "u", "\u041A": "k", "\u043A": "k",
    "\u041C": "m", "\u043C": "m", "\u041D": "h", "\u043D": "h", "\u041E": "o", "\u043E": "o",
    "\u0420": "r", "\u0440": "r", "\u0421": "c", "\u0441": "c", "\u0422": "t", "\u0442": "t",
    "\u0423": "y", "\u0443": "y", "\u0425": "x", "\u0445": "x",
    "P": "r", "p": "r", "I": "L", "i": "L", "1": "L", "0": "o",
}


class SourceError(Exception):
    pass


def demask(text):
    return "".join(DEMASK.get(c, c) for c in text)


def keystream(seed):
    state = seed
    table = []
    for _ in range(256):
        state = (state + 0x9E3779B97F4A7C15) & MASK64
        z = state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & MASK64
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & MASK64
        z ^= z >> 31
        fraction = (z >> 11) * 2.0 ** -53
        table.append(round(fraction * 255.0))  # round() is half-to-even
    return table


def encipher(data, table):
    return bytes(b ^ table[(p + 1) % 256] for p, b in enumerate(data))


def escape(text, extra=""):
    """Escapes what Windows-1251 cannot hold, backslashes and `extra`."""
    out = []
    for c in text:
        if c == "\\" or c in extra or ord(c) > 0xFFFF:
            if ord(c) > 0xFFFF:
                raise SourceError(f"character outside the BMP in {text!r}")
            out.append(f"\\{ord(c):04X}")
            continue
        try:
            c.encode("cp1251")
            out.append(c)
        except UnicodeEncodeError:
            out.append(f"\\{ord(c):04X}")
    return "".join(out)


def plain(text, what):
    if ";" in text:
        raise SourceError(f"{what} holds a ';': {text!r}")
    try:
        text.encode("cp1251")
    except UnicodeEncodeError:
        raise SourceError(f"{what} is not Windows-1251 text: {text!r}")
    return text


def quoted_as_is(text):
    """The decoder strips one enclosing pair of quotes: protect a text that
    begins and ends with one."""
    if len(text) >= 1 and text.startswith('"') and text.endswith('"'):
        return '"' + text + '"'
    return text


def parse_source(paths):
    blocks = {}
    order = []
    for path in paths:
        current = None
        install = None
        for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            where = f"{path.name}:{number}"
            line = raw.rstrip()
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            indent = len(line) - len(line.lstrip(" "))
            text = line.strip()
            if indent == 0:
                m = re.fullmatch(r"browser\s+(\S+)", text)
                if not m:
                    raise SourceError(f"{where}: expected 'browser <id>'")
                bid = m.group(1)
                if bid in blocks:
                    raise SourceError(f"{where}: browser {bid} defined twice")
                current = {"id": bid, "fields": {}, "installs": None, "where": where}
                blocks[bid] = current
                order.append(bid)
                install = None
                continue
            if current is None:
                raise SourceError(f"{where}: field outside a browser block")
            key, sep, value = text.partition(":")
            key = key.strip()
            value = value.strip()
            if not sep:
                raise SourceError(f"{where}: expected 'field: value'")
            if indent == 2:
                if key == "install":
                    if current["installs"] is None:
                        current["installs"] = []
                    install = {"exe": value}
                    current["installs"].append(install)
                elif key in FIELDS or key in BLOCK_ONLY:
                    if key in current["fields"]:
                        raise SourceError(f"{where}: {key} given twice")
                    current["fields"][key] = value
                    install = None
                else:
                    raise SourceError(f"{where}: unknown field {key!r}")
            elif indent == 4:
                if install is None:
                    raise SourceError(f"{where}: install field outside an install")
                if key not in FIELDS or key in SAME_FOR_EVERY_INSTALL:
                    raise SourceError(f"{where}: {key!r} cannot differ between installs")
                install[key] = value
            else:
                raise SourceError(f"{where}: indent by 0, 2 or 4 spaces")
    return blocks, order


def resolve(blocks, bid, seen=()):
    block = blocks[bid]
    if bid in seen:
        raise SourceError(f"browser {bid}: 'like' goes round in a circle")
    fields = {}
    installs = None
    base = block["fields"].get("like")
    if base is not None:
        if base not in blocks:
            raise SourceError(f"browser {bid}: like {base}: no such browser")
        fields, installs = resolve(blocks, base, seen + (bid,))
        fields = dict(fields)
        fields.pop("names", None)
    for key, value in block["fields"].items():
        if key != "like":
            fields[key] = value
    if block["installs"] is not None:
        installs = block["installs"]
    if not installs:
        raise SourceError(f"browser {bid} has no install")
    return fields, installs


def boolean(value, what):
    v = value.strip().lower()
    if v in ("yes", "true", "1"):
        return True
    if v in ("no", "false", "0", ""):
        return False
    raise SourceError(f"{what}: {value!r} is not yes or no")


def split_list(value):
    parts = [p.strip() for p in value.split("|")]
    return [p for p in parts if p] if value.strip() else []


def legit_item(item, what):
    m = LEGIT_ITEM.fullmatch(item)
    if not m:
        raise SourceError(f"{what}: {item!r} is not one switch, a switch with a <class> "
                          "value or a switch, a space and a <class>")
    if m.group("cls") and m.group("cls") not in VALUE_CLASSES:
        raise SourceError(f"{what}: {item!r}: unknown value class {m.group('cls')}; "
                          f"known: {', '.join(sorted(VALUE_CLASSES))}")
    return plain(item, what)


def helper_item(item, what):
    if any(c in item for c in "\\/:<>\"") or not item.lower().endswith(".exe"):
        raise SourceError(f"{what}: helper {item!r} is not a program's file name")
    return plain(item, what)


def family_word(value, what):
    if value and not FAMILY.fullmatch(value):
        raise SourceError(f"{what}: family {value!r} is not one lower-case word")
    return value


def build_records(fields, installs, bid):
    records = []
    for install in installs:
        merged = dict(fields)
        merged.update(install)
        what = f"browser {bid}"
        if "title" not in merged or not merged["title"]:
            raise SourceError(f"{what}: no title")
        record = {
            "title": merged["title"],
            "client": plain(merged.get("client", ""), f"{what} client"),
            "exe": plain(merged["exe"], f"{what} exe"),
            "args": plain(merged.get("args", "").strip(), f"{what} args"),
            "legit": [legit_item(a, f"{what} legit") for a in split_list(merged.get("legit", ""))],
            "app-paths": plain(merged.get("app-paths", ""), f"{what} app-paths"),
            "note": plain(merged.get("note", ""), f"{what} note"),
            "client-is-folder": boolean(merged.get("client-is-folder", "no"), what),
            "keep-exe-path": boolean(merged.get("keep-exe-path", "no"), what),
            "reg-path": plain(merged.get("reg-path", ""), f"{what} reg-path"),
            "reg-folder": plain(merged.get("reg-folder", ""), f"{what} reg-folder"),
            "masked": boolean(merged.get("masked", "no"), what),
            "family": family_word(merged.get("family", ""), what),
            "helpers": [helper_item(h, f"{what} helpers")
                        for h in split_list(merged.get("helpers", ""))],
        }
        records.append(record)
    return records


def record_text(bid, r):
    flag = lambda b: "1" if b else "0"
    fields = [bid, escape(r["title"], ";"), r["client"], r["exe"], quoted_as_is(r["args"]),
              quoted_as_is("|".join(r["legit"])), r["app-paths"], r["note"],
              flag(r["client-is-folder"]), flag(r["keep-exe-path"]), r["reg-path"],
              r["reg-folder"], flag(r["masked"]), r["family"], "|".join(r["helpers"])]
    return ";".join(fields)


def build(paths):
    blocks, order = parse_source(paths)
    entries = []     # (name, bid) in index order
    owner = {}       # folded name -> bid
    expanded = {}
    for bid in order:
        fields, installs = resolve(blocks, bid)
        names = split_list(blocks[bid]["fields"].get("names", ""))
        if not names:
            raise SourceError(f"browser {bid}: no names")
        expanded[bid] = build_records(fields, installs, bid)
        for name in names:
            key = name.lower()
            if key in owner:
                raise SourceError(f"name {name!r} in both {owner[key]} and {bid}")
            owner[key] = bid
            entries.append((name, bid))
    # A look-alike name is looked up de-masked: give every name that form too.
    for name, bid in list(entries):
        masked_form = demask(name)
        key = masked_form.lower()
        if key == name.lower():
            continue
        if key in owner:
            if owner[key] != bid:
                raise SourceError(f"de-masked {masked_form!r} of {bid} is a name of {owner[key]}")
            continue
        owner[key] = bid
        entries.append((masked_form, bid))

    body = bytearray()
    locations = {}
    texts = {}
    for bid in order:
        spots = []
        for r in expanded[bid]:
            text = record_text(bid, r).encode("cp1251")
            if len(text) > MAX_RECORD:
                raise SourceError(f"browser {bid}: a record of {len(text)} bytes")
            spots.append((len(body), len(text)))
            body += text
        locations[bid] = spots

    def index_text(head):
        parts = []
        for name, bid in entries:
            for offset, length in locations[bid]:
                location = (head + offset) * 10000 + length
                if location > MAX_LOCATION:
                    raise SourceError("the database is too large for 32-bit locations")
                parts.append(f"{escape(name, ';,')},{location}")
        return (";".join(parts) + ";;").encode("cp1251")

    # The index length depends on the locations, which depend on it.
    head = 2
    while True:
        index = index_text(head)
        if 2 + len(index) == head:
            break
        head = 2 + len(index)
    if head > MAX_INDEX:
        raise SourceError(f"index of {head} bytes does not fit 16 bits")
    plain_bytes = head.to_bytes(2, "little") + index + bytes(body)
    return encipher(plain_bytes, keystream(SEED)), entries, expanded


def cpp_text(text):
    out = []
    for c in text:
        if c in '\\"':
            out.append("\\" + c)
        elif 0x20 <= ord(c) < 0x7F:
            out.append(c)
        else:
            out.append(f"\\u{ord(c):04X}")
    return 'u"' + "".join(out) + '"'


def records_inc(entries, expanded):
    lines = ["// Generated by tools/encipher_browser_db.py; do not edit.",
             "// {name, title, client, exe, default args, legitimate args joined by |,",
             "//  App Paths name, note, client is folder, keep exe path, path value,",
             "//  folder value, masked, family, helpers joined by |}"]
    for name, bid in entries:
        for r in expanded[bid]:
            b = lambda v: "true" if v else "false"
            lines.append("{" + ", ".join([
                cpp_text(name), cpp_text(r["title"]), cpp_text(r["client"]), cpp_text(r["exe"]),
                cpp_text(r["args"]), cpp_text("|".join(r["legit"])), cpp_text(r["app-paths"]),
                cpp_text(r["note"]), b(r["client-is-folder"]), b(r["keep-exe-path"]),
                cpp_text(r["reg-path"]), cpp_text(r["reg-folder"]), b(r["masked"]),
                cpp_text(r["family"]), cpp_text("|".join(r["helpers"]))]) + "},")
    return "\n".join(lines) + "\n"


def write_if_changed(path, data):
    path.parent.mkdir(parents=True, exist_ok=True)
    if not path.exists() or path.read_bytes() != data:
        path.write_bytes(data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True, help="folder of the *.txt sources")
    parser.add_argument("--out", required=True)
    parser.add_argument("--records", required=True)
    args = parser.parse_args()
    paths = sorted(pathlib.Path(args.source).glob("*.txt"))
    try:
        data, entries, expanded = build(paths)
    except SourceError as error:
        print(f"encipher_browser_db: {error}", file=sys.stderr)
        return 1
    write_if_changed(pathlib.Path(args.out), data)
    write_if_changed(pathlib.Path(args.records), records_inc(entries, expanded).encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
