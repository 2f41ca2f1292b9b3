#!/usr/bin/python3
"""python-docx reference for word_bench: opens a .docx template, appends one
paragraph per line of a UTF-8 text file directly in front of the body's
sectPr (python-docx's own add_paragraph searches the body for every call),
copying the last paragraph's properties as the engine does, and saves.

Usage: docx_direct_append.py TEMPLATE PARAGRAPHS OUTPUT
Prints the seconds from opening the template to the end of the save.
"""
import copy
import sys
import time

import docx
from docx.oxml.ns import qn
from lxml import etree


def main():
    template, paragraphs_file, output = sys.argv[1:4]
    with open(paragraphs_file, encoding="utf-8") as f:
        texts = f.read().split("\n")[:-1]

    start = time.perf_counter()
    document = docx.Document(template)
    body = document.element.body
    sect_pr = body.find(qn("w:sectPr"))
    last_p = body.findall(qn("w:p"))[-1]
    p_pr = last_p.find(qn("w:pPr"))
    if p_pr is not None:
        p_pr = copy.deepcopy(p_pr)
        for name in ("w:sectPr", "w:pPrChange"):
            for child in p_pr.findall(qn(name)):
                p_pr.remove(child)
        r_pr = p_pr.find(qn("w:rPr"))
        if r_pr is not None:
            for name in ("w:ins", "w:del", "w:moveFrom", "w:moveTo", "w:rPrChange"):
                for child in r_pr.findall(qn(name)):
                    r_pr.remove(child)
    r_pr = p_pr.find(qn("w:rPr")) if p_pr is not None else None
    space = "{http://www.w3.org/XML/1998/namespace}space"
    for text in texts:
        p = etree.Element(qn("w:p"))
        if p_pr is not None:
            p.append(copy.deepcopy(p_pr))
        if text:
            r = etree.SubElement(p, qn("w:r"))
            if r_pr is not None:
                r.append(copy.deepcopy(r_pr))
            t = etree.SubElement(r, qn("w:t"))
            t.set(space, "preserve")
            t.text = text
        if sect_pr is not None:
            sect_pr.addprevious(p)
        else:
            body.append(p)
    document.save(output)
    print("%.6f" % (time.perf_counter() - start))


if __name__ == "__main__":
    main()
