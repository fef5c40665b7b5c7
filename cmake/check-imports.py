#!/usr/bin/env python3
"""Fails when a program imports a function that is not on the reviewed list.

usage: check-imports.py OBJDUMP LIST PROGRAM...

LIST holds one "dll!Function" per line (DLL names in lower case; "#" starts a
comment). Every entry was checked for Windows NT 4.0 with the common controls
of Internet Explorer 4; an import that is not there has not been checked yet.
"""
import re
import subprocess
import sys


def imports(objdump, program):
    text = subprocess.run([objdump, "-p", program], check=True, capture_output=True,
                          text=True).stdout
    found, dll = set(), None
    for line in text.splitlines():
        match = re.match(r"\s*DLL Name:\s*(\S+)", line)
        if match:
            dll = match.group(1).lower()
        elif not line.strip():
            dll = None
        elif dll:
            # A row of the table: "\t<vma>\t <hint> <name>", or the ordinal
            # alone for an import by number.
            row = re.match(r"\t[0-9a-f]+\t\s*(\d+)\s*(\S*)\s*$", line)
            if row:
                found.add(f"{dll}!{row.group(2) or '#' + row.group(1)}")
    return found


def main():
    objdump, listing, programs = sys.argv[1], sys.argv[2], sys.argv[3:]
    reviewed = set()
    with open(listing, encoding="ascii") as entries:
        for entry in entries:
            entry = entry.split("#", 1)[0].strip()
            if entry:
                dll, _, function = entry.partition("!")
                reviewed.add(f"{dll.lower()}!{function}")
    failed = False
    for program in programs:
        unknown = sorted(imports(objdump, program) - reviewed)
        for entry in unknown:
            print(f"{program}: imports {entry}, which is not on the reviewed list {listing}")
        failed = failed or bool(unknown)
    if not failed:
        print(f"{len(programs)} programs import only reviewed functions")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
