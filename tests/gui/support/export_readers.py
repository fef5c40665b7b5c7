"""Reads saved lists back with Python's own CSV reader and HTML parser, so
that the tests compare the cells with what readers other than ours find."""
import codecs
import csv
import html.parser
import io
import re


def read_csv(path, encoding="cp1252"):
    """The rows of a CSV file (header first), every cell as the reader sees it."""
    with open(path, "rb") as f:
        data = f.read()
    # newline="" keeps line breaks inside quoted cells as they are.
    return list(csv.reader(io.StringIO(data.decode(encoding), newline="")))


class _PageReader(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.title = ""
        self.paragraphs = []
        self.rows = []
        self.tables = 0
        self.scripts = 0
        self.links = []
        self._in = None

    def handle_starttag(self, tag, attrs):
        if tag == "table":
            self.tables += 1
        elif tag == "tr":
            self.rows.append([])
        elif tag in ("th", "td"):
            self.rows[-1].append("")
            self._in = "cell"
        elif tag == "title":
            self._in = "title"
        elif tag == "p":
            self.paragraphs.append("")
            self._in = "p"
        elif tag == "script":
            self.scripts += 1
        for name, value in attrs:
            if name in ("src", "href"):
                self.links.append(value)

    def handle_endtag(self, tag):
        if tag in ("th", "td", "title", "p"):
            self._in = None

    def handle_data(self, data):
        if self._in == "cell":
            self.rows[-1][-1] += data
        elif self._in == "title":
            self.title += data
        elif self._in == "p":
            self.paragraphs[-1] += data


def declared_charset(data):
    match = re.search(rb'charset=([A-Za-z0-9_.:-]+)"', data)
    return match.group(1).decode("ascii") if match else None


def read_html(path):
    """The page as a browser would take it: the declared charset decodes it,
    the parser finds its title, paragraphs and table rows (header first)."""
    with open(path, "rb") as f:
        data = f.read()
    charset = declared_charset(data)
    if charset is None:
        raise AssertionError(f"{path}: no charset declared")
    codecs.lookup(charset)
    reader = _PageReader()
    reader.feed(data.decode(charset))
    reader.close()
    reader.charset = charset
    return reader
