"""Saves a table whose cells hold what breaks naive exports (separators,
quotes, line breaks, markup, 10,000 characters) as CSV and HTML with
ExportLayout_tool, and reads both back with Python's csv and html.parser:
the same cells in the same order.

usage: ExportLayout_readers.py TOOL WORKDIR"""
import codecs
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from export_readers import read_csv, read_html  # noqa: E402

CAPTIONS = ["Hotfix", "Description, \"quoted\"", "<Files>", "Date & time"]
ROWS = [
    ["Q147222", "Fixes a, b; and c", "afd.sys, tcpip.sys", "1/2/1999 3:04:05 PM"],
    ["Q2", 'He said "no", twice', "two\r\nlines", "line\nfeed"],
    ["Q3", "carriage\rreturn", "<script>alert(1)</script>", "a & b &amp; &#13; &lt;"],
    ["Q4", "", "  blanks kept  ", "</td></tr></table>"],
    ["Q5", "caf\xe9 \xa0\u20ac \u00fc", '"', ","],
    ["Q6", "f" * 10000, ", ".join(f"file{i}.dll" for i in range(1500)), "\r\n"],
    ["Q7", "cut\x00after NUL", "tab\tinside", "'single'"],
]
PAGE = ["\\\\R&D <lab>", "Service Pack 4 and 7 hotfixes applied", "12/8/2026 9:41:00 AM", "1252"]
# Browsers read the names of the double-byte sets as the Windows code pages;
# Python knows them as the narrower standard sets.
CHARSETS = {874: "cp874", 932: "shift_jis", 936: "gb2312", 949: "euc_kr", 950: "big5",
            1250: "cp1250", 1251: "cp1251", 1252: "cp1252", 1253: "cp1253",
            1254: "cp1254", 1255: "cp1255", 1256: "cp1256", 1257: "cp1257",
            1258: "cp1258", 65001: "utf-8"}


def hexed(text):
    return text.encode("cp1252").hex() or "."


def shown(text):
    return text.split("\x00")[0]


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def first_difference(found, expected):
    if len(found) != len(expected):
        return f"{len(found)} rows instead of {len(expected)}"
    for r, (a, b) in enumerate(zip(found, expected)):
        if a != b:
            return f"row {r}: {[c[:60] for c in a]!r} instead of {[c[:60] for c in b]!r}"
    return None


def main(tool, workdir):
    os.makedirs(workdir, exist_ok=True)
    table = os.path.join(workdir, "table.hex")
    with open(table, "w", encoding="ascii") as f:
        f.write(" ".join(hexed(p) if i < 3 else p.encode().hex() for i, p in enumerate(PAGE)) + "\n")
        for line in [CAPTIONS] + ROWS:
            f.write(" ".join(hexed(cell) for cell in line) + "\n")
    prefix = os.path.join(workdir, "list")
    subprocess.run([tool, table, prefix], check=True)
    expected = [[shown(c) for c in line] for line in [CAPTIONS] + ROWS]

    rows = read_csv(prefix + ".csv", "cp1252")
    problem = first_difference(rows, expected)
    check(problem is None, f"CSV read back differs: {problem}")
    # Lines end in CR LF: every other line break in the file is a cell's own.
    with open(prefix + ".csv", "rb") as f:
        data = f.read().decode("cp1252")
    cells = "".join("".join(line) for line in expected)
    check(data.count("\r\n") == cells.count("\r\n") + len(expected)
          and data.count("\n") == cells.count("\n") + len(expected)
          and data.count("\r") == cells.count("\r") + len(expected),
          "CSV lines end in CR LF")

    page = read_html(prefix + ".htm")
    check(page.charset == "windows-1252", f"charset {page.charset}")
    problem = first_difference(page.rows, expected)
    check(problem is None, f"HTML table read back differs: {problem}")
    check(page.tables == 1 and page.scripts == 0 and not page.links,
          f"one table, no scripts, no links: {page.tables} {page.scripts} {page.links}")
    check(page.title == "Hotfixes on \\\\R&D <lab>", f"title {page.title!r}")
    check(any(PAGE[1] in p and PAGE[2] in p for p in page.paragraphs),
          f"summary and time: {page.paragraphs!r}")

    # Every charset the page may declare is one that readers know, the right one.
    codes = sorted(CHARSETS)
    out = subprocess.run([tool, "--charsets"] + [str(c) for c in codes], check=True,
                         capture_output=True, text=True).stdout.split()
    names = dict(zip(map(int, out[0::2]), out[1::2]))
    for code, codec in CHARSETS.items():
        # Browsers know windows-874, Python only under its number.
        name = {"windows-874": "cp874"}.get(names[code], names[code])
        check(codecs.lookup(name).name == codecs.lookup(codec).name,
              f"code page {code} declared as {names[code]}")
    print(f"{len(expected)} lines of {len(CAPTIONS)} cells read back from CSV and HTML;"
          f" {len(codes)} charsets known")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
