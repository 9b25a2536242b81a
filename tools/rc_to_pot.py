#!/usr/bin/env python3
"""Writes the translation template (.pot) of a resource script's STRINGTABLE.

    rc_to_pot.py STRINGS_RC STRING_IDS_H OUTPUT_POT [REFERENCE_NAME]

Every entry becomes one msgid, as the tool looks it up at run time: the resource compiler's escapes
undone ("" is a quotation mark, \\r \\n \\t \\\\ as in C) and every carriage return dropped, because
catalogues keep bare line feeds. Entries with a % placeholder are marked object-pascal-format, the
syntax of the tool's messages (%s, %0:s, %d, %.8x), so that msgfmt --check compares a translation's
placeholders with the original's. Anything in the table this script does not understand is an error:
the template must never silently miss a text.
"""
import re
import sys

ESCAPES = {"r": "\r", "n": "\n", "t": "\t", "\\": "\\", "a": "\a"}
ENTRY = re.compile(r'^\s*(\w+)\s*,?\s*"((?:[^"]|"")*)"\s*(?://.*)?$')


def fail(where, message):
    sys.exit(f"{where}: {message}")


def unescape(text, where):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == '"':  # only doubled ones reach here
            out.append('"')
            i += 2
        elif c == "\\":
            if i + 1 >= len(text) or text[i + 1] not in ESCAPES:
                fail(where, f"unsupported escape in {text!r}")
            out.append(ESCAPES[text[i + 1]])
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out).replace("\r", "")


def read_ids(path):
    ids = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = re.match(r"\s*#define\s+(\w+)\s+(\d+)", line)
            if m:
                ids[m.group(1)] = int(m.group(2))
    return ids


def read_table(path, reference):
    entries = []
    state = "outside"  # then "header" after STRINGTABLE, "inside" after its BEGIN
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            where = f"{path}:{number}"
            stripped = line.strip()
            if state == "outside":
                if stripped == "STRINGTABLE":
                    state = "header"
                continue
            if state == "header":
                if stripped in ("BEGIN", "{"):
                    state = "inside"
                continue
            if stripped in ("END", "}"):
                state = "outside"
                continue
            if not stripped or stripped.startswith("//") or stripped.startswith("/*"):
                continue
            m = ENTRY.match(line)
            if not m:
                fail(where, f"not understood: {stripped}")
            entries.append((m.group(1), unescape(m.group(2), where), f"{reference}:{number}"))
    return entries


def po_string(text):
    escaped = text.replace("\\", "\\\\").replace('"', '\\"').replace("\t", "\\t")
    lines = escaped.split("\n")
    parts = [line + "\\n" for line in lines[:-1]] + ([lines[-1]] if lines[-1] else [])
    if len(parts) <= 1:
        return '"' + (parts[0] if parts else "") + '"'
    return '""\n' + "\n".join(f'"{p}"' for p in parts)


HEADER = """# Texts of CXAddinReg.exe, generated from its string table; do not edit.
#
#, fuzzy
msgid ""
msgstr ""
"Project-Id-Version: CXAddinReg\\n"
"Report-Msgid-Bugs-To: \\n"
"PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\\n"
"Last-Translator: FULL NAME <EMAIL@ADDRESS>\\n"
"Language-Team: LANGUAGE <LL@li.org>\\n"
"Language: \\n"
"MIME-Version: 1.0\\n"
"Content-Type: text/plain; charset=UTF-8\\n"
"Content-Transfer-Encoding: 8bit\\n"
"""


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    rc, ids_h, out = sys.argv[1:4]
    reference = sys.argv[4] if len(sys.argv) == 5 else rc
    ids = read_ids(ids_h)
    entries = read_table(rc, reference)
    if not entries:
        fail(rc, "no STRINGTABLE entries")
    # One msgid per text, as xgettext does: a text used twice is translated once.
    merged = {}
    for name, text, where in entries:
        if name not in ids:
            fail(where, f"{name} is not defined in {ids_h}")
        if not text:
            fail(where, f"{name} is empty")
        merged.setdefault(text, []).append((name, ids[name], where))
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write(HEADER)
        for text, uses in merged.items():
            f.write("\n")
            for name, number, _ in uses:
                f.write(f"#. {name} ({number})\n")
            f.write("#: " + " ".join(where for _, _, where in uses) + "\n")
            if "%" in text:
                f.write("#, object-pascal-format\n")
            f.write(f"msgid {po_string(text)}\n")
            f.write('msgstr ""\n')


if __name__ == "__main__":
    main()
