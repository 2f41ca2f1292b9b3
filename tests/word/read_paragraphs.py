#!/usr/bin/python3
"""Prints the paragraphs of a document as a JSON list of strings, read by an
independent reader: python-docx for .docx, odfpy for .odt, unrtf for RTF.

Usage: read_paragraphs.py docx|odt|rtf FILE
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile


def docx_paragraphs(path):
    import docx
    return [p.text for p in docx.Document(path).paragraphs]


def odt_paragraphs(path):
    from odf import opendocument, teletype
    from odf.namespaces import TEXTNS

    doc = opendocument.load(path)
    found = []

    def walk(node):
        for child in node.childNodes:
            if child.nodeType == child.ELEMENT_NODE and child.qname in ((TEXTNS, "p"), (TEXTNS, "h")):
                found.append(teletype.extractText(child))
            elif child.nodeType == child.ELEMENT_NODE:
                walk(child)

    walk(doc.text)
    return found


def rtf_paragraphs(path):
    # unrtf's text output writes characters beyond ASCII as "?"; a private copy
    # of its configuration writes them as numeric references instead.
    # unrtf 0.21 also loses the text that directly follows a "\\uN?" escape
    # (it handles "\\uN\\'3f", the same escape with the "?" in hex).
    with open(path, "rb") as f:
        rtf = re.sub(rb"(\\\\)|\\u(-?\d+)\?",
                     lambda m: m.group(1) or b"\\u" + m.group(2) + b"\\'3f", f.read())
    with tempfile.TemporaryDirectory() as conf:
        source = os.path.join(conf, "input.rtf")
        with open(source, "wb") as f:
            f.write(rtf)
        for name in os.listdir("/usr/share/unrtf"):
            shutil.copy(os.path.join("/usr/share/unrtf", name), conf)
        with open(os.path.join(conf, "text.conf"), "a") as f:
            f.write("unisymbol_print\n\t&#%;\n")
        out = subprocess.run(["unrtf", "--nopict", "-P", conf, "--text", source], check=True,
                             capture_output=True).stdout.decode("utf-8", "surrogateescape")
    lines = out.split("\n")
    body = lines[lines.index("-----------------") + 1:]
    if body and body[-1] == "":
        body.pop()

    def decode(line):
        units = re.sub(r"&#(\d+);", lambda m: chr(int(m.group(1))), line)
        return units.encode("utf-16", "surrogatepass").decode("utf-16")

    return [decode(line) for line in body]


if __name__ == "__main__":
    kind, path = sys.argv[1], sys.argv[2]
    readers = {"docx": docx_paragraphs, "odt": odt_paragraphs, "rtf": rtf_paragraphs}
    json.dump(readers[kind](path), sys.stdout, ensure_ascii=True)
