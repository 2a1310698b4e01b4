#!/usr/bin/env python3
"""Builds the user manual: docs/manual/<page>.md -> resources/<page>.doc (RTF).

The help window shows eight documents, hlpCont.doc and hlpPg1.doc .. hlpPg7.doc. They are
written as small Markdown files and turned into plain RTF here, so that both the help window
and any word processor read them.

Markdown understood (nothing else):
  # Heading, ## Heading, ### Heading
  paragraphs (lines joined until a blank line)
  - bullet items and 1. numbered items (continuation lines indented by two or more spaces)
  > a tip or note (lines joined)
  ``` fenced blocks ``` shown in a fixed-width font, line by line
  **bold**, *italic*, `fixed-width`; \\* \\` \\\\ give the characters themselves

Usage:
  scripts/make-manual.py            write resources/*.doc
  scripts/make-manual.py --check    exit 1 when a document differs from its source
  scripts/make-manual.py --out DIR  write into DIR instead
"""

import argparse
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCE_DIR = ROOT / "docs" / "manual"
PAGES = ["hlpCont", "hlpPg1", "hlpPg2", "hlpPg3", "hlpPg4", "hlpPg5", "hlpPg6", "hlpPg7"]

# Colour table entries: 1 text, 2 headings, 3 tips, 4 fixed-width text.
HEADER = (
    r"{\rtf1\ansi\ansicpg1252\deff0\uc1"
    r"{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\fmodern\fcharset0 Courier New;}}"
    r"{\colortbl ;\red0\green0\blue0;\red0\green64\blue128;\red160\green72\blue0;\red64\green64\blue64;}"
)
BODY = r"\f0\fs20\cf1 "
PARA = r"\pard\sa120" + BODY
STYLES = {
    1: r"\pard\sa200\f0\fs34\b\cf2 ",
    2: r"\pard\sb240\sa100\f0\fs26\b\cf2 ",
    3: r"\pard\sb160\sa60\f0\fs22\b\cf1 ",
}
# Bullet and number, a space, then the text; wrapped lines line up with the text.
ITEM = r"\pard\fi-220\li480\sa60" + BODY
TIP = r"\pard\li400\ri200\sa120\f0\fs20\cf3 "
CODE = r"\pard\li400\sa0\f1\fs18\cf4 "
CODE_LAST = r"\pard\li400\sa120\f1\fs18\cf4 "

# Characters outside Latin-1 that the manual may use, with what older readers show instead.
FALLBACK = {"\u2014": "-", "\u2013": "-", "\u2022": "\\'b7", "\u2192": ">"}


def escape(text):
    out = []
    for ch in text:
        code = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ch == "\t":
            out.append("\\tab ")
        elif code < 0x20:
            raise ValueError(f"control character {code:#x} in the text")
        elif code < 0x80:
            out.append(ch)
        elif code <= 0xFF:
            out.append(f"\\'{code:02x}")
        elif ch in FALLBACK:
            out.append(f"\\u{code}{FALLBACK[ch]}")
        else:
            raise ValueError(f"character {ch!r} has no fallback; add it to FALLBACK")
    return "".join(out)


INLINE = re.compile(r"\\[*`\\]|`[^`]*`|\*\*|\*")


def inline(text):
    """Inline markup to RTF; bold and italic are closed at the end of the text."""
    out = []
    bold = italic = False
    pos = 0
    for m in INLINE.finditer(text):
        out.append(escape(text[pos : m.start()]))
        token = m.group(0)
        if token.startswith("\\"):
            out.append(escape(token[1]))
        elif token.startswith("`"):
            out.append(r"{\f1\fs19\cf4 " + escape(token[1:-1]) + "}")
        elif token == "**":
            bold = not bold
            out.append(r"\b " if bold else r"\b0 ")
        else:
            italic = not italic
            out.append(r"\i " if italic else r"\i0 ")
        pos = m.end()
    out.append(escape(text[pos:]))
    if bold:
        out.append(r"\b0 ")
    if italic:
        out.append(r"\i0 ")
    return "".join(out)


def blocks(lines):
    """Splits Markdown lines into (kind, payload) blocks."""
    i = 0
    para = []

    def flush():
        if para:
            yield ("para", " ".join(s.strip() for s in para))
            para.clear()

    while i < len(lines):
        line = lines[i].rstrip()
        if line.startswith("```"):
            yield from flush()
            code = []
            i += 1
            while i < len(lines) and not lines[i].startswith("```"):
                code.append(lines[i].rstrip("\n"))
                i += 1
            if i == len(lines):
                raise ValueError("fenced block without its end")
            yield ("code", code)
        elif not line.strip():
            yield from flush()
        elif m := re.match(r"(#{1,3}) (.*)", line):
            yield from flush()
            yield ("head", (len(m.group(1)), m.group(2).strip()))
        elif m := re.match(r"(- |\d+\. )(.*)", line):
            yield from flush()
            marker = "bullet" if m.group(1) == "- " else m.group(1).strip()
            item = [m.group(2)]
            while i + 1 < len(lines) and re.match(r"  +\S", lines[i + 1]):
                i += 1
                item.append(lines[i].strip())
            yield ("item", (marker, " ".join(item)))
        elif line.startswith("> "):
            yield from flush()
            tip = [line[2:]]
            while i + 1 < len(lines) and lines[i + 1].startswith("> "):
                i += 1
                tip.append(lines[i][2:])
            yield ("tip", " ".join(s.strip() for s in tip))
        else:
            para.append(line)
        i += 1
    yield from flush()


def to_rtf(markdown, title):
    out = [HEADER, r"{\info{\title " + escape(title) + "}}", r"\viewkind4"]
    parts = list(blocks(markdown.splitlines()))
    for n, (kind, payload) in enumerate(parts):
        if kind == "head":
            level, text = payload
            out.append(STYLES[level] + inline(text) + r"\b0\par")
        elif kind == "para":
            out.append(PARA + inline(payload) + r"\par")
        elif kind == "item":
            marker, text = payload
            mark = r"\u8226\'b7" if marker == "bullet" else escape(marker)
            last = n + 1 == len(parts) or parts[n + 1][0] != "item"
            style = ITEM.replace(r"\sa60", r"\sa120") if last else ITEM
            out.append(style + mark + " " + inline(text) + r"\par")
        elif kind == "tip":
            out.append(TIP + inline(payload) + r"\par")
        else:
            for k, line in enumerate(payload):
                style = CODE_LAST if k == len(payload) - 1 else CODE
                out.append(style + escape(line) + r"\par")
    out.append("}")
    return ("\r\n".join(out) + "\r\n").encode("ascii")


def build():
    documents = {}
    for page in PAGES:
        source = SOURCE_DIR / f"{page}.md"
        text = source.read_text(encoding="utf-8")
        first = next((l for l in text.splitlines() if l.startswith("# ")), "# Tradevane Help")
        try:
            documents[f"{page}.doc"] = to_rtf(text, "Tradevane Help - " + first[2:].strip())
        except ValueError as error:
            sys.exit(f"{source}: {error}")
    return documents


def main():
    parser = argparse.ArgumentParser(description="Builds the help documents from docs/manual.")
    parser.add_argument("--check", action="store_true", help="compare with resources/, write nothing")
    parser.add_argument("--out", type=pathlib.Path, default=ROOT / "resources")
    args = parser.parse_args()

    documents = build()
    if args.check:
        stale = [n for n, data in documents.items() if not (args.out / n).is_file() or (args.out / n).read_bytes() != data]
        for name in stale:
            print(f"{args.out / name} is not up to date with docs/manual; run scripts/make-manual.py")
        return 1 if stale else 0
    args.out.mkdir(parents=True, exist_ok=True)
    for name, data in documents.items():
        (args.out / name).write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
