#!/usr/bin/env python3
"""Checks that Windows programs import only what Windows XP SP3 has.

    check-imports.py LIST EXE...
        Reads every EXE's import tables (objdump -p) and prints one line per
        imported DLL function that LIST does not name; exit 1 if there is one.
    check-imports.py --self-test LIST EXE...
        Also leaves each of a few names the programs import out of LIST, in
        memory, and makes sure the check then fails naming exactly that one.

LIST holds one DLL!Function per line ('#' starts a comment); an import by
ordinal is written DLL!#N. DLL names compare without regard to case, as
Windows loads them; function names compare exactly.
"""

import os
import re
import subprocess
import sys

# The x86_64 objdump reads both PE32 (i686) and PE32+ programs; the i686
# one reads PE32 only.
OBJDUMP = os.environ.get("OBJDUMP", "x86_64-w64-mingw32-objdump")

ENTRY = re.compile(r"^\t[0-9a-fA-F]+\t\s*([0-9a-fA-F]+)\s+(\S+)")


def read_list(path):
    allowed = set()
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            if line.count("!") != 1:
                raise ValueError("%s:%d: expected DLL!Function, got %r" % (path, number, line))
            dll, name = line.split("!")
            allowed.add((dll.lower(), name))
    return allowed


def read_imports(exe):
    """(dll, function) pairs in the order objdump lists them."""
    out = subprocess.run([OBJDUMP, "-p", exe], capture_output=True, text=True)
    if out.returncode != 0:
        raise RuntimeError("%s: objdump failed: %s" % (exe, out.stderr.strip()))
    imports = []
    dll = None
    in_imports = False
    for line in out.stdout.splitlines():
        if line.startswith("The Import Tables"):
            in_imports = True
            continue
        if in_imports and line and not line[0].isspace():
            break  # the next section of the dump
        if not in_imports:
            continue
        m = re.match(r"^\s*DLL Name: (\S+)", line)
        if m:
            dll = m.group(1)
            continue
        m = ENTRY.match(line)
        if dll and m:
            hint, name = m.groups()
            imports.append((dll, "#" + hint if name == "<none>" else name))
    return imports


def violations(allowed, imports_by_exe):
    """(exe, dll, function) for every import the list does not name."""
    return [(exe, dll, name) for exe, imports in imports_by_exe for dll, name in imports
            if (dll.lower(), name) not in allowed]


def self_test(allowed, imports_by_exe):
    """Leaves out, one at a time, a few listed names the programs import;
    the check must then fail with exactly that name more. Returns the
    faults."""
    def found(names):
        return {(dll.lower(), name) for _, dll, name in violations(names, imports_by_exe)}

    baseline = found(allowed)
    seen = []
    for _, imports in imports_by_exe:
        for dll, name in imports:
            key = (dll.lower(), name)
            if key in allowed and key not in seen:
                seen.append(key)
    if not seen:
        return ["no listed import was read, so nothing was checked"]
    # First, middle and last of what was read: a parse that lost the start
    # or the end of a table would show.
    faults = []
    for pick in sorted({seen[0], seen[len(seen) // 2], seen[-1]}):
        extra = found(allowed - {pick}) - baseline
        if extra != {pick}:
            faults.append("leaving %s!%s out gave %s" % (pick + (sorted(extra) or "no failure",)))
    return faults


def main(argv):
    args = argv[1:]
    test = bool(args) and args[0] == "--self-test"
    if test:
        args = args[1:]
    if len(args) < 2:
        print("usage: check-imports.py [--self-test] LIST EXE...", file=sys.stderr)
        return 2
    allowed = read_list(args[0])
    imports_by_exe = [(exe, read_imports(exe)) for exe in args[1:]]
    status = 0
    for exe, imports in imports_by_exe:
        if not imports:
            print("%s: no import table read" % exe)
            status = 1
    found = violations(allowed, imports_by_exe)
    for exe, dll, name in found:
        print("%s: imports %s!%s, which is not on the list of what Windows XP SP3 has (%s)"
              % (exe, dll, name, args[0]))
    if found:
        status = 1
    if test:
        faults = self_test(allowed, imports_by_exe)
        for line in faults:
            print("self-test: " + line)
        if faults:
            status = 1
    if status == 0:
        total = sum(len(i) for _, i in imports_by_exe)
        print("imports OK: %d programs, %d imports, all on the list" % (len(imports_by_exe), total))
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv))
