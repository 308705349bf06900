#!/usr/bin/env python3
"""Check the text catalogue against the texts that the design document cites.

Usage: check_catalogue.py [--list] DOCUMENT.md CATALOGUE.ini

The design document names catalogue texts by section and key, in forms such as
"text 5000/48", "texts 6000/183 to 6000/188", "texts 6000/50, 51 and 52",
'section "1700" ... key 1',
"| 100/30 |" in a table, "(Tag 3)" next to a window class, or a bare key in a
table column headed Tag, Key, Text or Caption inside the description of one
window. Every window section listed in the document's table of window sections
also needs its title, key 1.

The script reports the cited pairs that the catalogue lacks, duplicate keys and
malformed lines of the catalogue. It exits with 1 when any of these is found,
with 2 when a file cannot be read, and with 0 otherwise. Notes (citations whose
section cannot be told, texts with blanks at their ends) do not change the exit
code.
"""

import re
import sys
from collections import OrderedDict

NOT_FOUND = "not found text"

PAIR = re.compile(r"(?<![\w./])(\d{3,4})/(\d{1,4})(?![\w/]|\.\d)")
RANGE = re.compile(r"(?<![\w./])(\d{3,4})/(\d{1,4})\s+to\s+(?:texts?\s+)?(\d{3,4})/(\d{1,4})(?![\w/])")
# "texts 6000/50, 51 and 52": bare keys continuing a cited pair of the same section.
SHORT_LIST = re.compile(
    r"\btexts\s+(\d{3,4})/(\d{1,4})((?:\s*,\s*\d{1,4}(?![\w/.]))*(?:,?\s+(?:and|or)\s+\d{1,4}(?![\w/.]))?)"
)
TAG = re.compile(r"\(Tag (\d+)\)")
# 'section "1700" of the text catalogue: key 1 for the frame'
SECTION_THEN_KEY = re.compile(r'section "(\d{3,4})"[^.;]*?\bkey "?(\d{1,4})\b')
CLASS_NAME = re.compile(r"`(T[A-Za-z0-9_]+)`")
PART_HEADING = re.compile(r"^# (.*)$")
SECTION_DECLARATION = re.compile(
    r'(?:catalogue section|section) "?(\d{3,4})"?(?: of the text catalogue)?', re.IGNORECASE
)
KEY_COLUMN = re.compile(r"^(tag|key|text|caption|label text.*)$", re.IGNORECASE)
BARE_NUMBER = re.compile(r"^\s*(\d{1,4})\s*$")


def is_catalogue_section(section, known_sections):
    return section in known_sections or section in (5000, 6000) or (100 <= section <= 9900 and section % 100 == 0)


class Citations:
    """Cited (section, key) pairs with the first document line that cites each."""

    def __init__(self):
        self.first_line = OrderedDict()
        self.forms = {}
        self.notes = []

    def add(self, section, key, line_no, form):
        pair = (section, key)
        if pair not in self.first_line:
            self.first_line[pair] = line_no
        self.forms.setdefault(form, set()).add(pair)


def split_table_row(line):
    cells = line.strip().strip("|").split("|")
    return [cell.strip() for cell in cells]


def is_separator_row(cells):
    return all(re.fullmatch(r":?-{2,}:?", cell) for cell in cells if cell)


def read_window_sections(lines):
    """Sections of the document's window table: rows like | "400" | research editor `TfrmX` |."""
    sections = OrderedDict()
    class_to_section = {}
    for line in lines:
        if not line.lstrip().startswith("|"):
            continue
        cells = split_table_row(line)
        if len(cells) < 2:
            continue
        match = re.fullmatch(r'"(\d{3,4})"', cells[0])
        if not match:
            continue
        section = int(match.group(1))
        if section in (5000, 6000):
            continue
        sections[section] = cells[1]
        for name in CLASS_NAME.findall(cells[1]):
            class_to_section.setdefault(name, section)
    return sections, class_to_section


def split_parts(lines):
    """Yields (heading, first line index, last line index + 1) for each top-level heading."""
    starts = [i for i, line in enumerate(lines) if PART_HEADING.match(line)]
    if not starts or starts[0] != 0:
        starts.insert(0, 0)
    for n, start in enumerate(starts):
        end = starts[n + 1] if n + 1 < len(starts) else len(lines)
        yield lines[start].strip(), start, end


def declared_sections(part_lines, known_sections):
    found = []
    for line in part_lines:
        for match in SECTION_DECLARATION.finditer(line):
            section = int(match.group(1))
            if section in known_sections and section not in found:
                found.append(section)
    return found


def section_of_line(line, class_to_section):
    for name in CLASS_NAME.findall(line):
        if name in class_to_section:
            return class_to_section[name]
    return None


def read_table_row(cells, header, line, line_no, heading, own, class_to_section, citations):
    """Bare keys in a Tag, Key, Text or Caption column belong to the row's window or the Part's one window."""
    row_section = section_of_line(line, class_to_section)
    for column, cell in enumerate(cells):
        if column >= len(header) or not KEY_COLUMN.match(header[column]):
            continue
        bare = BARE_NUMBER.match(cell)
        if not bare:
            continue
        section = row_section if row_section is not None else (own[0] if len(own) == 1 else None)
        if section is None:
            citations.notes.append(
                f"line {line_no}: key {bare.group(1)} in column {header[column]!r} of {heading!r}: "
                "section unclear, not checked"
            )
            continue
        citations.add(section, int(bare.group(1)), line_no, "bare key in a table column")


def extract_citations(text):
    lines = text.splitlines()
    citations = Citations()
    window_sections, class_to_section = read_window_sections(lines)
    known = set(window_sections) | {5000, 6000}

    for section in window_sections:
        citations.add(section, 1, 0, "window title (key 1)")

    for line_no, line in enumerate(lines, start=1):
        for match in RANGE.finditer(line):
            s1, k1, s2, k2 = (int(g) for g in match.groups())
            if s1 != s2 or k2 < k1:
                citations.notes.append(f"line {line_no}: range {match.group(0)!r} spans sections or runs backwards")
                continue
            if is_catalogue_section(s1, known):
                for key in range(k1, k2 + 1):
                    citations.add(s1, key, line_no, "range S/K to S/L")
        for match in PAIR.finditer(line):
            section, key = int(match.group(1)), int(match.group(2))
            if is_catalogue_section(section, known):
                citations.add(section, key, line_no, "pair S/K")
        for match in SECTION_THEN_KEY.finditer(line):
            section, key = int(match.group(1)), int(match.group(2))
            if is_catalogue_section(section, known):
                citations.add(section, key, line_no, 'section "S" ... key K')
        for match in SHORT_LIST.finditer(line):
            section = int(match.group(1))
            rest = match.group(3)
            if rest and is_catalogue_section(section, known):
                for key in re.findall(r"\d{1,4}", rest):
                    citations.add(section, int(key), line_no, "short list S/K, K and K")

    for heading, start, end in split_parts(lines):
        part_lines = lines[start:end]
        own = declared_sections(part_lines, set(window_sections))
        header = None
        for offset, line in enumerate(part_lines):
            line_no = start + offset + 1
            stripped = line.strip()
            if not stripped.startswith("|"):
                header = None
            else:
                cells = split_table_row(stripped)
                if header is None:
                    header = cells
                elif not is_separator_row(cells):
                    read_table_row(cells, header, line, line_no, heading, own, class_to_section, citations)
            for match in TAG.finditer(line):
                section = section_of_line(line, class_to_section)
                if section is None and len(own) == 1:
                    section = own[0]
                if section is None:
                    citations.notes.append(
                        f"line {line_no}: (Tag {match.group(1)}) in {heading!r}: section unclear, not checked"
                    )
                    continue
                citations.add(section, int(match.group(1)), line_no, "(Tag N)")
    return citations, window_sections


class Catalogue:
    def __init__(self):
        self.entries = {}
        self.duplicates = []
        self.malformed = []
        self.notes = []
        self.section_lines = {}


def read_catalogue(raw):
    catalogue = Catalogue()
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as error:
        catalogue.malformed.append(f"the file is not valid UTF-8 ({error})")
        text = raw.decode("utf-8", errors="replace")
    if text.startswith("\ufeff"):
        text = text[1:]
    section = None
    for line_no, line in enumerate(text.splitlines(), start=1):
        stripped = line.strip()
        if not stripped or stripped[0] in ";#":
            continue
        if stripped.startswith("["):
            match = re.fullmatch(r"\[\s*(\d+)\s*\]", stripped)
            if not match:
                catalogue.malformed.append(f"line {line_no}: section name is not a decimal number: {stripped}")
                section = None
                continue
            section = int(match.group(1))
            if section in catalogue.section_lines:
                catalogue.notes.append(
                    f"line {line_no}: section [{section}] appears again "
                    f"(first at line {catalogue.section_lines[section]})"
                )
            else:
                catalogue.section_lines[section] = line_no
            continue
        if "=" not in line:
            catalogue.malformed.append(f"line {line_no}: neither a section, a comment nor key=text: {stripped}")
            continue
        key_text, value = line.split("=", 1)
        key_text = key_text.strip()
        if not re.fullmatch(r"\d+", key_text):
            catalogue.malformed.append(f"line {line_no}: key is not a decimal number: {key_text!r}")
            continue
        if section is None:
            catalogue.malformed.append(f"line {line_no}: key {key_text} stands outside any section")
            continue
        key = int(key_text)
        if (section, key) in catalogue.entries:
            first = catalogue.entries[(section, key)][0]
            catalogue.duplicates.append(f"line {line_no}: {section}/{key} already defined at line {first}")
            continue
        if value != value.strip():
            catalogue.notes.append(f"line {line_no}: {section}/{key} has blanks at its ends, which readers drop")
        catalogue.entries[(section, key)] = (line_no, value.strip())
    return catalogue


def main(argv):
    args = [a for a in argv[1:] if a != "--list"]
    list_pairs = "--list" in argv[1:]
    if len(args) != 2:
        print("usage: check_catalogue.py [--list] DOCUMENT.md CATALOGUE.ini", file=sys.stderr)
        return 2
    document_path, catalogue_path = args
    try:
        with open(document_path, encoding="utf-8") as handle:
            document = handle.read()
        with open(catalogue_path, "rb") as handle:
            raw_catalogue = handle.read()
    except OSError as error:
        print(f"cannot read {error.filename}: {error.strerror}", file=sys.stderr)
        return 2

    citations, window_sections = extract_citations(document)
    catalogue = read_catalogue(raw_catalogue)

    missing = []
    for (section, key), line_no in sorted(citations.first_line.items()):
        entry = catalogue.entries.get((section, key))
        where = f"design document line {line_no}" if line_no else "window section title"
        if entry is None:
            missing.append(f"{section}/{key} (cited at {where})")
        elif entry[1] == "" or entry[1] == NOT_FOUND:
            missing.append(f"{section}/{key} (cited at {where}) has no wording in line {entry[0]}")

    if list_pairs:
        for form, pairs in sorted(citations.forms.items()):
            print(f"{form}: {len(pairs)} pairs")
        for section, key in sorted(citations.first_line):
            print(f"  {section}/{key}")

    for title, items in (
        ("missing from the catalogue", missing),
        ("duplicate keys", catalogue.duplicates),
        ("malformed lines", catalogue.malformed),
    ):
        if items:
            print(f"{len(items)} {title}:")
            for item in items:
                print(f"  {item}")
    notes = citations.notes + catalogue.notes
    if notes:
        print(f"{len(notes)} notes:")
        for note in notes:
            print(f"  {note}")

    sections = sorted({section for section, _ in citations.first_line})
    print(
        f"{len(citations.first_line)} cited pairs in {len(sections)} sections of the design document "
        f"({len(window_sections)} window sections); {len(catalogue.entries)} catalogue entries; "
        f"{len(missing)} missing, {len(catalogue.duplicates)} duplicate, {len(catalogue.malformed)} malformed"
    )
    return 1 if missing or catalogue.duplicates or catalogue.malformed else 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except BrokenPipeError:
        sys.exit(1)
