#!/usr/bin/python3
"""Prints the paragraphs of a document as a JSON list of [style, text] pairs,
the style being the paragraph style's name as the word processor shows it, in
lower case. Read by python-docx for .docx and odfpy for .odt; an RTF document
is read by LibreOffice, saved as .odt and read from that.

Usage: read_styles.py docx|odt|rtf FILE
"""
import json
import os
import subprocess
import sys
import tempfile


def docx_styles(path):
    import docx
    return [[p.style.name.lower(), p.text] for p in docx.Document(path).paragraphs]


def odt_styles(path):
    from odf import opendocument, teletype
    from odf.namespaces import STYLENS, TEXTNS

    doc = opendocument.load(path)
    # Automatic styles stand for their parent, the style the user chose.
    parents, shown = {}, {}
    for styles in (doc.automaticstyles, doc.styles):
        for style in styles.childNodes:
            if style.nodeType != style.ELEMENT_NODE or style.qname != (STYLENS, "style"):
                continue
            name = style.getAttrNS(STYLENS, "name")
            if styles is doc.automaticstyles:
                parents[name] = style.getAttrNS(STYLENS, "parent-style-name")
            else:
                shown[name] = style.getAttrNS(STYLENS, "display-name") or name
    found = []

    def walk(node):
        for child in node.childNodes:
            if child.nodeType == child.ELEMENT_NODE and child.qname in ((TEXTNS, "p"), (TEXTNS, "h")):
                name = child.getAttrNS(TEXTNS, "style-name") or ""
                name = parents.get(name, name) or ""
                found.append([shown.get(name, name).lower(), teletype.extractText(child)])
            elif child.nodeType == child.ELEMENT_NODE:
                walk(child)

    walk(doc.text)
    return found


def rtf_styles(path):
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["soffice", "-env:UserInstallation=file://" + os.path.join(folder, "profile"),
                        "--headless", "--convert-to", "odt", "--outdir", folder, path],
                       check=True, capture_output=True, timeout=300)
        return odt_styles(os.path.join(folder, os.path.splitext(os.path.basename(path))[0] + ".odt"))


if __name__ == "__main__":
    kind, path = sys.argv[1], sys.argv[2]
    reader = {"docx": docx_styles, "odt": odt_styles, "rtf": rtf_styles}[kind]
    json.dump(reader(path), sys.stdout, ensure_ascii=False)
