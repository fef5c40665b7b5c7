"""Reads the list that ps_main_export_test saved as CSV and HTML with Python's
csv and html.parser and compares it with the cells the test expects.

usage: ps_main_export_check.py DIR   (DIR holds list.csv, list.htm, expected.hex)"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from export_readers import read_csv, read_html  # noqa: E402


def unhex(token):
    return "" if token == "." else bytes.fromhex(token).decode("cp1252")


def differences(found, expected):
    if len(found) != len(expected):
        yield f"{len(found)} lines instead of {len(expected)}"
    for r, (a, b) in enumerate(zip(found, expected)):
        if a != b:
            yield f"line {r}: {[c[:40] for c in a]!r} instead of {[c[:40] for c in b]!r}"


def main(directory):
    with open(os.path.join(directory, "expected.hex"), encoding="ascii") as f:
        lines = [[unhex(t) for t in line.split()] for line in f]
    (title, summary), table = lines[0], lines[1:]
    problems = []
    problems += [f"CSV: {d}" for d in differences(read_csv(os.path.join(directory, "list.csv")), table)]
    page = read_html(os.path.join(directory, "list.htm"))
    problems += [f"HTML: {d}" for d in differences(page.rows, table)]
    if page.title != title:
        problems.append(f"HTML title {page.title!r} instead of {title!r}")
    if not any(summary in p for p in page.paragraphs):
        problems.append(f"HTML: no line with {summary!r} in {page.paragraphs!r}")
    if page.tables != 1 or page.scripts or page.links:
        problems.append("HTML: not one table without scripts and links")
    for problem in problems:
        print("FAIL:", problem, file=sys.stderr)
    if problems:
        sys.exit(1)
    print(f"{len(table)} lines of {len(table[0])} cells read back from CSV and HTML")


if __name__ == "__main__":
    main(sys.argv[1])
