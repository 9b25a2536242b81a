#!/usr/bin/env python3
"""Writes assembly that binds chosen DLL imports at their first call instead of at start-up.

Under Wine every DLL an executable imports is loaded and initialised at each start, although most
runs of the tool (probes, registry switches) never call into user32, ole32 or oleaut32. For every
function of those DLLs that the program imports, this defines the import slot __imp__Name@N (which
the compiler's dllimport calls go through) and the direct-call thunk _Name@N. The slot first points
at a stub that asks cx_delay_resolve for the real address, stores it in the slot and jumps there
with the caller's stack untouched.

usage: gen_delay_imports.py OBJDUMP NM PROBE_EXE OUT.s IMPORT_LIB...
  PROBE_EXE is the same program linked normally; its import table says which functions are used.
  Each IMPORT_LIB (e.g. libuser32.a) gives the decorated names of its DLL's functions.
"""
import re
import subprocess
import sys


def imported_functions(objdump, exe):
    """{dll lower-case: [function names]} from the probe's import table."""
    text = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    result, dll = {}, None
    for line in text.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            dll = m.group(1).lower()
            result.setdefault(dll, [])
            continue
        m = re.match(r"\s*[0-9a-f]+\s+\d+\s+(\S+)\s*$", line)
        if dll and m:
            result[dll].append(m.group(1))
        elif not line.strip():
            dll = None
    return result


def decorated_names(nm, import_lib):
    """(dll name, {plain name: decorated name}) from an import library."""
    text = subprocess.run([nm, import_lib], check=True, capture_output=True, text=True).stdout
    names = {}
    for m in re.finditer(r" I __imp__(\S+)", text):
        decorated = m.group(1)
        names[decorated.split("@")[0]] = decorated
    dll = None
    for m in re.finditer(r"^([\w.-]+\.dll)", subprocess.run(
            ["strings", import_lib], check=True, capture_output=True, text=True).stdout, re.M | re.I):
        dll = m.group(1).lower()
        break
    return dll, names


def main():
    objdump, nm, probe, out = sys.argv[1:5]
    used = imported_functions(objdump, probe)
    lines = ["\t.file \"delay_imports.s\""]
    count = 0
    for index, lib in enumerate(sys.argv[5:]):
        dll, names = decorated_names(nm, lib)
        if not dll or dll not in used:
            continue
        lines += ["\t.section .rdata,\"dr\"", f".Ldll{index}:\t.asciz \"{dll}\""]
        for name in used[dll]:
            decorated = names.get(name)
            if not decorated:
                sys.exit(f"{name} from {dll} has no decorated name in {lib}")
            n = count
            count += 1
            lines += [
                "\t.data",
                "\t.p2align 2",
                f"\t.globl \"__imp__{decorated}\"",
                f"\"__imp__{decorated}\":\t.long .Lstub{n}",
                "\t.text",
                f"\t.globl \"_{decorated}\"",
                f"\"_{decorated}\":\tjmp *\"__imp__{decorated}\"",
                f".Lstub{n}:",
                f"\tpushl $\"__imp__{decorated}\"",
                f"\tpushl $.Lname{n}",
                f"\tpushl $.Ldll{index}",
                "\tcall _cx_delay_resolve@12",
                "\tjmp *%eax",
                "\t.section .rdata,\"dr\"",
                f".Lname{n}:\t.asciz \"{name}\"",
            ]
    with open(out, "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
