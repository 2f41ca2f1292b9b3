#!/usr/bin/env python3
"""Writes examples/Шаблон со стилями.odt, the sample template that typesets
like a newspaper: paragraph styles «Рубрика» (bold, centred headings) and
«Объявление» (justified small body text), and the ads area as a section in
two columns at the end. Standard library only; the file is checked in, so
rerun this only to change it: python3 scripts/make-styled-template.py
"""
import os
import zipfile

NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
      'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
      'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
      'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
      'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"')

STYLES = f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document-styles {NS} office:version="1.2">
<office:font-face-decls><style:font-face style:name="Liberation Serif" svg:font-family="'Liberation Serif'" style:font-family-generic="roman"/></office:font-face-decls>
<office:styles>
<style:default-style style:family="paragraph"><style:text-properties style:font-name="Liberation Serif" fo:font-size="10pt" fo:language="ru" fo:country="RU"/></style:default-style>
<style:style style:name="Standard" style:family="paragraph" style:class="text"/>
<style:style style:name="Title" style:family="paragraph" style:parent-style-name="Standard" style:class="chapter"><style:paragraph-properties fo:text-align="center" fo:margin-bottom="0.1cm"/><style:text-properties fo:font-size="26pt" fo:font-weight="bold"/></style:style>
<style:style style:name="Subtitle" style:family="paragraph" style:parent-style-name="Standard" style:class="chapter"><style:paragraph-properties fo:text-align="center" fo:margin-bottom="0.4cm" fo:padding-bottom="0.1cm" fo:border-bottom="0.06pt solid #000000"/><style:text-properties fo:font-size="12pt" fo:font-style="italic"/></style:style>
<style:style style:name="Rubrika" style:display-name="Рубрика" style:family="paragraph" style:parent-style-name="Standard" style:next-style-name="Obyavlenie"><style:paragraph-properties fo:text-align="center" fo:margin-top="0.25cm" fo:margin-bottom="0.1cm" fo:keep-with-next="always" fo:background-color="#e6e6e6"/><style:text-properties fo:font-size="11pt" fo:font-weight="bold" fo:text-transform="uppercase"/></style:style>
<style:style style:name="Obyavlenie" style:display-name="Объявление" style:family="paragraph" style:parent-style-name="Standard"><style:paragraph-properties fo:text-align="justify" fo:margin-bottom="0.1cm" fo:text-indent="0.3cm"/><style:text-properties fo:font-size="9pt" fo:hyphenate="true"/></style:style>
</office:styles>
<office:automatic-styles><style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="21cm" fo:page-height="29.7cm" fo:margin-top="1.5cm" fo:margin-bottom="1.5cm" fo:margin-left="1.5cm" fo:margin-right="1.5cm"/></style:page-layout></office:automatic-styles>
<office:master-styles><style:master-page style:name="Standard" style:page-layout-name="pm1"/></office:master-styles>
</office:document-styles>
"""

CONTENT = f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document-content {NS} office:version="1.2"><office:automatic-styles><style:style style:name="Sect1" style:family="section"><style:section-properties><style:columns fo:column-count="2" fo:column-gap="0.6cm"><style:column-sep style:width="0.02cm" style:color="#000000" style:height="100%"/></style:columns></style:section-properties></style:style></office:automatic-styles><office:body><office:text>
<text:p text:style-name="Title">Вестник Заречья</text:p>
<text:p text:style-name="Subtitle">Частные объявления</text:p>
<text:section text:style-name="Sect1" text:name="Объявления"><text:p text:style-name="Obyavlenie">Объявления принимаются по вторникам.</text:p></text:section>
</office:text></office:body></office:document-content>
"""

MANIFEST = """<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2"><manifest:file-entry manifest:full-path="/" manifest:version="1.2" manifest:media-type="application/vnd.oasis.opendocument.text"/><manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/><manifest:file-entry manifest:full-path="styles.xml" manifest:media-type="text/xml"/></manifest:manifest>
"""

if __name__ == "__main__":
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples", "Шаблон со стилями.odt")
    with zipfile.ZipFile(path, "w") as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.text",
                   compress_type=zipfile.ZIP_STORED)
        z.writestr(zipfile.ZipInfo("content.xml"), CONTENT, compress_type=zipfile.ZIP_DEFLATED)
        z.writestr(zipfile.ZipInfo("styles.xml"), STYLES, compress_type=zipfile.ZIP_DEFLATED)
        z.writestr(zipfile.ZipInfo("META-INF/manifest.xml"), MANIFEST, compress_type=zipfile.ZIP_DEFLATED)
