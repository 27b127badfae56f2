#!/usr/bin/env python3
"""Writes the manual page of `tesmora` or `tesmora-run` from README.md.

The README is the one source of the programs' documentation: each page is
made of some of its sections (paragraphs, code blocks, bullet lists and
tables), so the manual pages cannot drift from it.

usage: readme_man.py README.md PAGE VERSION OUTPUT
"""
import re
import sys

INTRO = "intro"  # the paragraphs between the title's code block and the first section

PAGES = {
    "tesmora": {
        "summary": "training environment for a small, line-oriented script language",
        "sections": [
            ("SYNOPSIS", "Starting the environment", "code"),
            ("DESCRIPTION", INTRO, "first-paragraph"),
            ("DESCRIPTION", "Starting the environment", "text"),
            ("PROGRAM FOLDER", "The program folder", "all"),
        ],
        "see_also": r"\fBtesmora-run\fR(1)",
    },
    "tesmora-run": {
        "summary": "run a Tesmora script without windows",
        "sections": [
            ("SYNOPSIS", "Running scripts from a terminal", "code"),
            ("DESCRIPTION", "Running scripts from a terminal", "text"),
            ("OPTIONS", "Running scripts from a terminal", "options"),
            ("EXIT STATUS", "Running scripts from a terminal", "other-items"),
            ("LIMITS", "Limits of a run", "all"),
            ("PROGRAM FOLDER", "The program folder", "all"),
        ],
        "see_also": r"\fBtesmora\fR(1)",
    },
}


def read_sections(path):
    """Maps each "## " heading (and INTRO) to the lines below it."""
    sections = {INTRO: []}
    current = INTRO
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            if line.startswith("## "):
                current = line[3:].strip()
                sections[current] = []
            elif not line.startswith("# "):
                sections[current].append(line)
    return sections


def blocks(lines):
    """Splits section lines into (kind, lines): para, code, item, table."""
    result = []
    i = 0
    while i < len(lines):
        line = lines[i]
        if line.startswith("```"):
            end = lines.index("```", i + 1)
            result.append(("code", lines[i + 1:end]))
            i = end + 1
        elif not line.strip():
            i += 1
        else:
            kind = "table" if line.startswith("|") else "item" if line.startswith("- ") else "para"
            block = [line[2:] if kind == "item" else line]
            i += 1
            while i < len(lines) and lines[i].strip() and not lines[i].startswith(("```", "- ")):
                if kind == "table" and not lines[i].startswith("|"):
                    break
                block.append(lines[i].strip())
                i += 1
            result.append((kind, block))
    return result


def escape(text):
    text = text.replace("\\", "\\e")
    return re.sub(r"^([.'])", r"\\&\1", text)


def inline(text):
    """Backquoted code in bold, its hyphens as minus signs."""
    def bold(m):
        return r"\fB" + m.group(1).replace("-", r"\-") + r"\fR"
    return re.sub(r"`([^`]+)`", bold, escape(text))


def troff(kind, lines):
    if kind == "code":
        return [".PP", ".nf"] + [escape(l).replace("-", r"\-") for l in lines] + [".fi"]
    if kind == "item":
        return [r".IP \(bu 2"] + [inline(l) for l in lines]
    if kind == "table":
        out = []
        for row in lines[2:]:  # header and rule rows left out
            cells = [c.strip() for c in row.strip().strip("|").split("|")]
            out += [".TP", inline(cells[0]), inline(" ".join(cells[1:]))]
        return out
    return [".PP"] + [inline(l) for l in lines]


def chosen(kind, lines, part, index):
    if part == "code":
        return kind == "code"
    if part == "options":
        return kind == "item" and lines[0].startswith("`-")
    if part == "other-items":
        return kind == "item" and not lines[0].startswith("`-")
    if part == "text":
        return kind == "para"
    if part == "first-paragraph":
        return kind == "para" and index == 1
    return True


def page(sections, name, version):
    spec = PAGES[name]
    out = ['.TH %s 1 "" "Tesmora %s" "User Commands"' % (name.upper().replace("-", r"\-"), version),
           ".SH NAME", r"%s \- %s" % (name.replace("-", r"\-"), spec["summary"])]
    heading = None
    for title, section, part in spec["sections"]:
        if section not in sections:
            sys.exit("README.md has no section \"%s\"" % section)
        if title != heading:
            out.append(".SH " + title)
            heading = title
        for index, (kind, lines) in enumerate(blocks(sections[section])):
            if chosen(kind, lines, part, index):
                # A lone item outside the option list reads as a paragraph.
                out += troff("para" if part == "other-items" else kind, lines)
    out += [".SH SEE ALSO", spec["see_also"]]
    return "\n".join(out) + "\n"


def main():
    if len(sys.argv) != 5 or sys.argv[2] not in PAGES:
        sys.exit(__doc__)
    readme, name, version, output = sys.argv[1:]
    text = page(read_sections(readme), name, version)
    with open(output, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main()
