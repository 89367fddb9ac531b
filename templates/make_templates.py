#!/usr/bin/env python3
"""Writes the template workbooks of the reports as flat OpenDocument
spreadsheets (.fods); the build converts them to .xls with LibreOffice.

    make_templates.py OUTPUT_FOLDER

The program writes into fixed cells of these forms (names, set sums, throws);
everything else here is the form around them: headings, borders, sums for the
referee, and a print area on one page.
"""

import os
import re
import sys
from xml.sax.saxutils import escape, quoteattr

FONT = "Arial"


def column_number(letters):
    number = 0
    for ch in letters:
        number = number * 26 + ord(ch) - ord("A") + 1
    return number


def column_letters(number):
    letters = ""
    while number:
        number, rest = divmod(number - 1, 26)
        letters = chr(ord("A") + rest) + letters
    return letters


def split_ref(ref):
    m = re.fullmatch(r"([A-Z]+)(\d+)", ref)
    return column_number(m.group(1)), int(m.group(2))


THIN = "0.5pt solid #000000"
MEDIUM = "1.5pt solid #000000"


class Style:
    """A cell style: font, alignment, borders, fill and number format."""

    def __init__(self, size=9, bold=False, italic=False, align="center", valign="middle", top=None,
                 bottom=None, left=None, right=None, fill=None, wrap=False, hide_zero=False, color=None,
                 underline=False):
        self.key = (size, bold, italic, align, valign, top, bottom, left, right, fill, wrap, hide_zero, color,
                    underline)

    def but(self, **changes):
        names = ["size", "bold", "italic", "align", "valign", "top", "bottom", "left", "right", "fill", "wrap",
                 "hide_zero", "color", "underline"]
        values = dict(zip(names, self.key))
        values.update(changes)
        return Style(**values)

    def boxed(self, border=THIN):
        return self.but(top=border, bottom=border, left=border, right=border)


PLAIN = Style(align="start")
LABEL = Style(align="start", size=9)
HEADING = Style(size=9, bold=True, fill="#e6e6e6", wrap=True).boxed()
GRID = Style(size=10).boxed()


class Sheet:
    def __init__(self, name, widths, default_height="0.45cm"):
        self.name = name
        self.widths = widths  # column letters -> width in cm, or (width, hidden)
        self.cells = {}  # (col, row) -> (content, style, spans)
        self.heights = {}
        self.default_height = default_height
        self.print_range = None
        self.landscape = False
        self.fit = "page"  # "page": the print area on one page; "width": one page wide

    def put(self, ref, content=None, style=PLAIN, span=(1, 1)):
        col, row = split_ref(ref)
        self.cells[(col, row)] = (content, style, span)

    def box(self, first, last, style):
        """Gives every cell of a block the style (keeps contents)."""
        c1, r1 = split_ref(first)
        c2, r2 = split_ref(last)
        for r in range(r1, r2 + 1):
            for c in range(c1, c2 + 1):
                content, _, span = self.cells.get((c, r), (None, None, (1, 1)))
                self.cells[(c, r)] = (content, style, span)

    def outline(self, first, last, border=MEDIUM):
        """Draws a heavier line around a block."""
        c1, r1 = split_ref(first)
        c2, r2 = split_ref(last)
        for r in range(r1, r2 + 1):
            for c in range(c1, c2 + 1):
                content, style, span = self.cells.get((c, r), (None, PLAIN, (1, 1)))
                changes = {}
                if r == r1:
                    changes["top"] = border
                if r == r2 or r + span[1] - 1 >= r2:
                    changes["bottom"] = border
                if c == c1:
                    changes["left"] = border
                if c == c2 or c + span[0] - 1 >= c2:
                    changes["right"] = border
                if changes:
                    self.cells[(c, r)] = (content, style.but(**changes), span)

    def height(self, row, cm):
        self.heights[row] = cm


class Formula:
    def __init__(self, text):
        self.text = text


def odf_formula(text):
    """'=SUM(D8:D11)' -> 'of:=SUM([.D8:.D11])'."""

    def ref(m):
        return "[." + m.group(1) + (":." + m.group(2) if m.group(2) else "") + "]"

    body = re.sub(r"\b([A-Z]{1,2}\d+)(?::([A-Z]{1,2}\d+))?\b", ref, text[1:])
    return "of:=" + body


class Document:
    def __init__(self):
        self.styles = {}
        self.sheets = []

    def style_name(self, style):
        if style.key not in self.styles:
            self.styles[style.key] = "ce%d" % (len(self.styles) + 1)
        return self.styles[style.key]

    def render(self):
        body = []
        column_styles = {}
        row_styles = {}

        def column_style(width):
            if width not in column_styles:
                column_styles[width] = "co%d" % (len(column_styles) + 1)
            return column_styles[width]

        def row_style(height):
            if height not in row_styles:
                row_styles[height] = "ro%d" % (len(row_styles) + 1)
            return row_styles[height]

        for index, sheet in enumerate(self.sheets):
            attributes = 'table:name=%s table:style-name="ta%d"' % (quoteattr(sheet.name), index + 1)
            if sheet.print_range:
                first, last = sheet.print_range
                attributes += ' table:print-ranges="%s.%s:%s.%s"' % (sheet.name, first, sheet.name, last)
            body.append("<table:table %s>" % attributes)
            last_col = max(column_number(c) for c in sheet.widths)
            for c in range(1, last_col + 1):
                width = sheet.widths.get(column_letters(c), 0.3)
                hidden = False
                if isinstance(width, tuple):
                    width, hidden = width
                visibility = ' table:visibility="collapse"' if hidden else ""
                body.append('<table:table-column table:style-name="%s"%s/>' % (column_style(width), visibility))
            covered = set()
            for (c, r), (_, _, (cs, rs)) in sheet.cells.items():
                for rr in range(r, r + rs):
                    for cc in range(c, c + cs):
                        if (cc, rr) != (c, r):
                            covered.add((cc, rr))
            last_row = max(r for _, r in sheet.cells)
            for r in range(1, last_row + 1):
                height = sheet.heights.get(r, sheet.default_height)
                body.append('<table:table-row table:style-name="%s">' % row_style(height))
                row_cells = [c for (c, rr) in sheet.cells if rr == r] + [c for (c, rr) in covered if rr == r]
                end = max(row_cells) if row_cells else 0
                for c in range(1, end + 1):
                    if (c, r) in covered and (c, r) not in sheet.cells:
                        body.append("<table:covered-table-cell/>")
                        continue
                    if (c, r) in covered:
                        content, style, _ = sheet.cells[(c, r)]
                        body.append('<table:covered-table-cell table:style-name="%s"/>' % self.style_name(style))
                        continue
                    if (c, r) not in sheet.cells:
                        body.append("<table:table-cell/>")
                        continue
                    content, style, (cs, rs) = sheet.cells[(c, r)]
                    attrs = ' table:style-name="%s"' % self.style_name(style)
                    if cs > 1 or rs > 1:
                        attrs += ' table:number-columns-spanned="%d" table:number-rows-spanned="%d"' % (cs, rs)
                    if content is None:
                        body.append("<table:table-cell%s/>" % attrs)
                    elif isinstance(content, Formula):
                        body.append('<table:table-cell%s table:formula=%s office:value-type="float" '
                                    'office:value="0"/>' % (attrs, quoteattr(odf_formula(content.text))))
                    elif isinstance(content, int):
                        body.append('<table:table-cell%s office:value-type="float" office:value="%d">'
                                    "<text:p>%d</text:p></table:table-cell>" % (attrs, content, content))
                    else:
                        body.append('<table:table-cell%s office:value-type="string"><text:p>%s</text:p>'
                                    "</table:table-cell>" % (attrs, escape(content)))
                body.append("</table:table-row>")
            body.append("</table:table>")

        automatic = []
        automatic.append('<number:number-style style:name="N1P0" style:volatile="true">'
                         '<number:number number:decimal-places="0" number:min-integer-digits="1"/>'
                         "</number:number-style>")
        automatic.append('<number:number-style style:name="N1P1" style:volatile="true"><number:text>-</number:text>'
                         '<number:number number:decimal-places="0" number:min-integer-digits="1"/>'
                         "</number:number-style>")
        automatic.append('<number:number-style style:name="N1P2" style:volatile="true"><number:text/>'
                         "</number:number-style>")
        automatic.append('<number:text-style style:name="N1"><number:text-content/>'
                         '<style:map style:condition="value()&gt;0" style:apply-style-name="N1P0"/>'
                         '<style:map style:condition="value()&lt;0" style:apply-style-name="N1P1"/>'
                         '<style:map style:condition="value()=0" style:apply-style-name="N1P2"/>'
                         "</number:text-style>")
        for width, name in column_styles.items():
            automatic.append('<style:style style:name="%s" style:family="table-column">'
                             '<style:table-column-properties fo:break-before="auto" style:column-width="%.3fcm"/>'
                             "</style:style>" % (name, width))
        for height, name in row_styles.items():
            automatic.append('<style:style style:name="%s" style:family="table-row">'
                             '<style:table-row-properties style:row-height="%s" fo:break-before="auto" '
                             'style:use-optimal-row-height="false"/></style:style>' % (name, height))
        for index, sheet in enumerate(self.sheets):
            automatic.append('<style:style style:name="ta%d" style:family="table" style:master-page-name="mp%d">'
                             '<style:table-properties table:display="true" style:writing-mode="lr-tb"/>'
                             "</style:style>" % (index + 1, index + 1))
            if sheet.landscape:
                size = 'fo:page-width="29.7cm" fo:page-height="21.001cm" style:print-orientation="landscape"'
            else:
                size = 'fo:page-width="21.001cm" fo:page-height="29.7cm" style:print-orientation="portrait"'
            scale = 'style:scale-to-pages="1"' if sheet.fit == "page" else 'style:scale-to-X="1" style:scale-to-Y="0"'
            automatic.append('<style:page-layout style:name="pm%d"><style:page-layout-properties %s '
                             'fo:margin-top="1cm" fo:margin-bottom="1cm" fo:margin-left="1.2cm" '
                             'fo:margin-right="1cm" style:table-centering="horizontal" %s '
                             'style:print="objects charts drawings"/>'
                             "<style:header-style/><style:footer-style/></style:page-layout>"
                             % (index + 1, size, scale))
        for key, name in self.styles.items():
            (size, bold, italic, align, valign, top, bottom, left, right, fill, wrap, hide_zero, color,
             underline) = key
            cell = ['style:vertical-align="%s"' % valign]
            for side, value in (("top", top), ("bottom", bottom), ("left", left), ("right", right)):
                cell.append('fo:border-%s="%s"' % (side, value or "none"))
            if fill:
                cell.append('fo:background-color="%s"' % fill)
            if wrap:
                cell.append('fo:wrap-option="wrap"')
            text = ['style:font-name="%s"' % FONT, 'fo:font-size="%spt"' % size]
            if bold:
                text.append('fo:font-weight="bold"')
            if italic:
                text.append('fo:font-style="italic"')
            if color:
                text.append('fo:color="%s"' % color)
            if underline:
                text.append('style:text-underline-style="solid" style:text-underline-width="auto" '
                            'style:text-underline-color="font-color"')
            data = ' style:data-style-name="N1"' if hide_zero else ""
            automatic.append('<style:style style:name="%s" style:family="table-cell" '
                             'style:parent-style-name="Default"%s><style:table-cell-properties %s/>'
                             '<style:paragraph-properties fo:text-align="%s"/><style:text-properties %s/>'
                             "</style:style>" % (name, data, " ".join(cell), align, " ".join(text)))

        masters = "".join('<style:master-page style:name="mp%d" style:page-layout-name="pm%d">'
                          '<style:header style:display="false"/><style:footer style:display="false"/>'
                          "</style:master-page>" % (i + 1, i + 1) for i in range(len(self.sheets)))
        return (
            '<?xml version="1.0" encoding="UTF-8"?>\n'
            '<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
            'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
            'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
            'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
            'xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" '
            'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" '
            'xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" '
            'office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">\n'
            '<office:font-face-decls><style:font-face style:name="%s" svg:font-family="%s" '
            'style:font-family-generic="swiss" style:font-pitch="variable"/></office:font-face-decls>\n'
            '<office:styles><style:style style:name="Default" style:family="table-cell">'
            '<style:text-properties style:font-name="%s" fo:font-size="10pt"/></style:style></office:styles>\n'
            "<office:automatic-styles>%s</office:automatic-styles>\n"
            "<office:master-styles>%s</office:master-styles>\n"
            "<office:body><office:spreadsheet>\n%s\n</office:spreadsheet></office:body></office:document>\n"
            % (FONT, FONT, FONT, "\n".join(automatic), masters, "\n".join(body))
        )


# ---------------------------------------------------------------- match report

def match_report(title, subtitle, duels, two_rows_per_set=False, set_points=True):
    """The referee's form: duel p on rows 3+5p .. 7+5p; the home player's names
    in A, lanes in C, sets in D:F, set points in H, duel points in I; the
    guest's in K, M, N:P, R and S; date in Q1, titles in B3, L3, the alley in
    L4 and its approval in Q2; below the team totals the result (pins in C and
    F, match points in L and P) and the referee (name in B, licence in I)."""
    sheet = Sheet("Zapis", {
        "A": 3.4, "B": 0.8, "C": 1.15, "D": 1.3, "E": 1.5, "F": 1.2, "G": 1.4, "H": 0.9, "I": 0.9, "J": 0.3,
        "K": 3.4, "L": 0.8, "M": 1.15, "N": 1.3, "O": 1.5, "P": 1.2, "Q": 1.4, "R": 0.9, "S": 0.9,
    }, default_height="0.5cm")
    sheet.put("A1", title, Style(size=16, bold=True, align="start"), span=(10, 1))
    sheet.height(1, "0.8cm")
    sheet.put("O1", "Datum:", Style(align="end", size=10), span=(2, 1))
    sheet.put("Q1", None, Style(size=10, bold=True, bottom=THIN), span=(3, 1))
    sheet.put("A2", subtitle, Style(size=10, italic=True, align="start"), span=(10, 1))
    sheet.put("N2", "Kolaudace do:", Style(align="end", size=9), span=(3, 1))
    sheet.put("Q2", None, Style(size=9, bottom=THIN), span=(3, 1))
    sheet.put("A3", "Domácí:", Style(size=10, bold=True, align="start"))
    sheet.put("B3", None, Style(size=11, bold=True, align="start", bottom=THIN), span=(8, 1))
    sheet.put("K3", "Hosté:", Style(size=10, bold=True, align="end"))
    sheet.put("L3", None, Style(size=11, bold=True, align="start", bottom=THIN), span=(8, 1))
    sheet.height(3, "0.65cm")
    sheet.put("A4", "Soutěž:", LABEL)
    sheet.put("B4", None, Style(bottom=THIN), span=(5, 1))
    sheet.put("G4", "Kolo:", Style(align="end"))
    sheet.put("H4", None, Style(bottom=THIN), span=(2, 1))
    sheet.put("K4", "Kuželna:", Style(align="end"))
    sheet.put("L4", None, Style(bottom=THIN), span=(8, 1))
    sheet.height(5, "0.25cm")

    headings = ["Hráč", "Set" if not two_rows_per_set else "Půl", "Dráha", "Plné", "Dorážka",
                "Chyby", "Celkem"]
    headings += ["SB", "BZ"] if set_points else ["Body", None]
    for first in ("A", "K"):
        base = column_number(first)
        for offset, text in enumerate(headings):
            if text is None:
                continue
            span = (2, 2) if (not set_points and text == "Body") else (1, 2)
            sheet.put(column_letters(base + offset) + "6", text, HEADING, span=span)
        sheet.outline(first + "6", column_letters(base + 8) + "7")
    sheet.height(6, "0.4cm")
    sheet.height(7, "0.4cm")

    if two_rows_per_set:
        set_labels = ["1 P", "1 D", "2 P", "2 D"]
    else:
        set_labels = ["1", "2", "3", "4"]
    for p in range(1, duels + 1):
        top = 3 + 5 * p
        for first in ("A", "K"):
            base = column_number(first)
            col = lambda offset: column_letters(base + offset)
            sheet.put(col(0) + str(top), None, Style(size=10, bold=True, align="start", left=THIN, right=THIN))
            sheet.put(col(0) + str(top + 1), None, Style(left=THIN, right=THIN))
            sheet.put(col(0) + str(top + 2), None, Style(size=10, align="start", left=THIN, right=THIN))
            sheet.put(col(0) + str(top + 3), None, Style(left=THIN, right=THIN))
            sheet.put(col(0) + str(top + 4), None,
                      Style(size=8, italic=True, align="start", left=THIN, right=THIN, bottom=THIN))
            for k in range(4):
                row = str(top + k)
                sheet.put(col(1) + row, set_labels[k], Style(size=8, color="#555555").boxed())
                sheet.put(col(2) + row, None, GRID)
                for offset in (3, 4, 5):
                    sheet.put(col(offset) + row, None, GRID.but(size=11))
                sheet.put(col(6) + row, Formula("=%s%s+%s%s" % (col(3), row, col(4), row)),
                          GRID.but(size=11, hide_zero=True))
                if set_points:
                    sheet.put(col(7) + row, None, GRID)
            total = str(top + 4)
            sheet.put(col(1) + total, "Σ", Style(size=9, bold=True, fill="#e6e6e6").boxed())
            sheet.put(col(2) + total, None, Style(fill="#e6e6e6").boxed())
            for offset in (3, 4, 5, 6):
                letter = col(offset)
                sheet.put(letter + total, Formula("=SUM(%s%d:%s%d)" % (letter, top, letter, top + 3)),
                          GRID.but(size=11, bold=True, fill="#e6e6e6", hide_zero=True))
            if set_points:
                sheet.put(col(7) + total, Formula("=SUM(%s%d:%s%d)" % (col(7), top, col(7), top + 3)),
                          GRID.but(bold=True, fill="#e6e6e6", hide_zero=True))
                sheet.put(col(8) + str(top), None, GRID.but(size=12, bold=True), span=(1, 5))
            else:
                sheet.put(col(7) + str(top), None, GRID.but(size=12, bold=True), span=(2, 5))
            sheet.outline(col(0) + str(top), col(8) + total)

    footer = 3 + 5 * (duels + 1) + 1
    for first in ("A", "K"):
        base = column_number(first)
        col = lambda offset: column_letters(base + offset)
        sheet.put(col(0) + str(footer), "Družstvo celkem", HEADING.but(align="start"), span=(3, 1))
        for offset in (3, 4, 5, 6, 7, 8):
            if not set_points and offset == 8:
                continue
            letter = col(offset)
            rows = ";".join("%s%d" % (letter, 7 + 5 * p) for p in range(1, duels + 1))
            if offset == 8 or (not set_points and offset == 7):
                rows = ";".join("%s%d" % (letter, 3 + 5 * p) for p in range(1, duels + 1))
            span = (2, 1) if (not set_points and offset == 7) else (1, 1)
            sheet.put(letter + str(footer), Formula("=SUM(%s)" % rows),
                      GRID.but(size=11, bold=True, fill="#e6e6e6", hide_zero=True), span=span)
        sheet.outline(col(0) + str(footer), col(8) + str(footer))
    sheet.height(footer, "0.6cm")

    row = footer + 2
    sheet.put("A%d" % row, "Výsledek utkání:", Style(size=10, bold=True, align="start"), span=(2, 1))
    sheet.put("C%d" % row, None, Style(size=12, bold=True, bottom=THIN), span=(2, 1))
    sheet.put("E%d" % row, ":", Style(size=12, bold=True))
    sheet.put("F%d" % row, None, Style(size=12, bold=True, bottom=THIN), span=(2, 1))
    sheet.put("K%d" % row, "Body za utkání:", Style(size=10, bold=True, align="start"))
    sheet.put("L%d" % row, None, Style(size=12, bold=True, bottom=THIN), span=(3, 1))
    sheet.put("O%d" % row, ":", Style(size=12, bold=True))
    sheet.put("P%d" % row, None, Style(size=12, bold=True, bottom=THIN), span=(2, 1))
    sheet.height(row, "0.7cm")

    row += 2
    sheet.put("A%d" % row, "Rozhodčí:", LABEL)
    sheet.put("B%d" % row, None, Style(bottom=THIN), span=(5, 1))
    sheet.put("G%d" % row, "Číslo průkazu:", Style(align="end"), span=(2, 1))
    sheet.put("I%d" % row, None, Style(bottom=THIN), span=(2, 1))
    sheet.put("K%d" % row, "Podpis rozhodčího:", Style(align="start"))
    sheet.put("L%d" % row, None, Style(bottom=THIN), span=(8, 1))
    sheet.height(row, "0.7cm")
    row += 2
    sheet.put("A%d" % row, "Vedoucí domácích:", LABEL)
    sheet.put("B%d" % row, None, Style(bottom=THIN), span=(8, 1))
    sheet.put("K%d" % row, "Vedoucí hostů:", Style(align="start"))
    sheet.put("L%d" % row, None, Style(bottom=THIN), span=(8, 1))
    sheet.height(row, "0.7cm")
    row += 1
    sheet.put("B%d" % row, "jméno a podpis", Style(size=7, italic=True, color="#555555"), span=(8, 1))
    sheet.put("L%d" % row, "jméno a podpis", Style(size=7, italic=True, color="#555555"), span=(8, 1))
    row += 2
    sheet.put("A%d" % row, "Poznámky rozhodčího (střídání, námitky):", Style(size=9, bold=True, align="start"),
              span=(10, 1))
    row += 1
    sheet.put("A%d" % row, None, Style(valign="top").boxed(), span=(19, 3))
    sheet.print_range = ("A1", "S%d" % (row + 2))
    return sheet


# ---------------------------------------------------------------- tournament

SET_COLUMNS = [("F", "G", "H", "I"), ("J", "K", "L", "M"), ("N", "O", "P", "Q"), ("R", "S", "T", "U"),
               ("V", "W", "X", "Y"), ("Z", "AA", "AB", "AC")]


def tournament(title, monitor=False):
    """Entrant n on row n + 3; sets in (F,G,H) .. (Z,AA,AB) with their sums in
    I, M, ..; full pins in AO, clearing pins in AN, total in AD, faults in AE."""
    widths = {"A": 0.9, "B": 2.8, "C": 2.2, "D": 1.6, "E": 1.8}
    for full, clearing, faults, total in SET_COLUMNS:
        widths.update({full: 0.95, clearing: 0.95, faults: 0.75, total: 1.0})
    widths.update({"AD": 1.4, "AE": 1.2, "AF": 2.0})
    for c in range(column_number("AG"), column_number("AM") + 1):
        widths[column_letters(c)] = (0.3, True)
    widths.update({"AN": 1.6, "AO": 1.4})
    sheet = Sheet("Turnaj", widths, default_height="0.42cm")
    sheet.landscape = True
    sheet.fit = "width"
    big = 16 if not monitor else 20
    sheet.put("A1", title, Style(size=big, bold=True, align="start"), span=(12, 1))
    sheet.height(1, "0.8cm")
    sheet.put("AD1", "Datum:", Style(size=10, align="end"), span=(2, 1))
    sheet.put("AF1", None, Style(size=10, bold=True, bottom=THIN))
    for index, columns in enumerate(SET_COLUMNS):
        sheet.put(columns[0] + "2", "%d. dráha" % (index + 1), HEADING, span=(4, 1))
    sheet.put("AD2", "Celkem", HEADING, span=(2, 1))
    sheet.put("AN2", "Celkem", HEADING, span=(2, 1))
    heads = {"A": "Č.", "B": "Příjmení", "C": "Jméno", "D": "Reg. č.", "E": "Narozen", "AD": "Celkem",
             "AE": "Chyby", "AN": "Dorážka", "AO": "Plné"}
    for letter, text in heads.items():
        sheet.put(letter + "3", text, HEADING)
    for full, clearing, faults, total in SET_COLUMNS:
        sheet.put(full + "3", "Plné", HEADING)
        sheet.put(clearing + "3", "Dor.", HEADING)
        sheet.put(faults + "3", "Ch.", HEADING)
        sheet.put(total + "3", "Σ", HEADING)
    for letter in "ABCDE":
        sheet.put(letter + "2", None, HEADING)
    sheet.height(2, "0.45cm")
    for n in range(1, 401):
        row = n + 3
        r = str(row)
        sheet.put("A" + r, n, GRID.but(size=8, color="#555555"))
        for letter in "BCDE":
            sheet.put(letter + r, None, GRID.but(size=9, align="start"))
        for full, clearing, faults, total in SET_COLUMNS:
            for letter in (full, clearing, faults):
                sheet.put(letter + r, None, GRID.but(size=9))
            sheet.put(total + r, Formula("=%s%s+%s%s" % (full, r, clearing, r)),
                      GRID.but(size=9, fill="#f2f2f2", hide_zero=True))
        fulls = "+".join(c[0] + r for c in SET_COLUMNS)
        clearings = "+".join(c[1] + r for c in SET_COLUMNS)
        faults = "+".join(c[2] + r for c in SET_COLUMNS)
        sheet.put("AO" + r, Formula("=" + fulls), GRID.but(size=9, hide_zero=True))
        sheet.put("AN" + r, Formula("=" + clearings), GRID.but(size=9, hide_zero=True))
        sheet.put("AD" + r, Formula("=AO%s+AN%s" % (r, r)), GRID.but(size=10, bold=True, hide_zero=True))
        sheet.put("AE" + r, Formula("=" + faults), GRID.but(size=9, hide_zero=True))
    sheet.print_range = ("A1", "AO403")
    return sheet


# ---------------------------------------------------------------- player sheet

THROW_COLUMNS = ["C", "D", "E", "F", "G", "H", "I", "J", "K", "L"]


def player_sheet(sets):
    """Half i on rows 5i-2 .. 5i+1: its lane in I(5i-2), its throws in C:L of
    the next rows (10, 10 and 5), its faults in P(5i+1)."""
    sheet = Sheet("Vypis", {
        "A": 0.4, "B": 2.0, "C": 0.85, "D": 0.85, "E": 0.85, "F": 0.85, "G": 0.85, "H": 0.85, "I": 0.85,
        "J": 0.85, "K": 0.85, "L": 0.85, "M": 0.4, "N": 1.0, "O": 1.2, "P": 1.2, "Q": 0.4,
    })
    sheet.put("A1", "Hráč:", Style(size=10, align="start"), span=(2, 1))
    sheet.put("C1", None, Style(size=14, bold=True, align="start", bottom=THIN), span=(8, 1))
    sheet.put("K1", None, Style(size=10, align="start", bottom=THIN), span=(4, 1))
    sheet.put("O1", None, Style(size=11, bold=True, bottom=THIN), span=(2, 1))
    sheet.height(1, "0.8cm")
    sheet.put("A2", "Záznam hodů – %d %s" % (sets, "dráhy" if sets < 5 else "drah"),
              Style(size=9, italic=True, color="#555555", align="start"), span=(12, 1))
    halves = 2 * sets
    for i in range(1, halves + 1):
        head = 5 * i - 2
        lane_set = (i + 1) // 2
        kind = "Plné" if i % 2 else "Dorážka"
        sheet.put("B%d" % head, "%d. úsek" % lane_set, Style(size=9, bold=True, align="start"))
        sheet.put("C%d" % head, kind, Style(size=10, bold=True, align="start"), span=(4, 1))
        sheet.put("G%d" % head, "Dráha:", Style(size=9, align="end"), span=(2, 1))
        sheet.put("I%d" % head, None, Style(size=10, bold=True, align="start"), span=(2, 1))
        for k, label in enumerate(["1–10", "11–20", "21–25"]):
            row = head + 1 + k
            sheet.put("B%d" % row, label, Style(size=7, color="#555555", align="end"))
            for c in THROW_COLUMNS if k < 2 else THROW_COLUMNS[:5]:
                sheet.put("%s%d" % (c, row), None, GRID.but(size=11))
        cells = "C%d:L%d" % (head + 1, head + 3)
        sheet.put("N%d" % (head + 1), "Součet:", Style(size=9, align="end"), span=(2, 1))
        sheet.put("P%d" % (head + 1), Formula('=SUMPRODUCT(VALUE("0"&TRIM(%s)))' % cells),
                  GRID.but(size=11, bold=True))
        sheet.put("N%d" % (head + 3), "Chyby:", Style(size=9, align="end"), span=(2, 1))
        sheet.put("P%d" % (head + 3), None, GRID.but(size=11))
        sheet.outline("B%d" % head, "P%d" % (head + 3), border=THIN)
        sheet.height(head + 4, "0.25cm")
    row = 5 * halves + 3
    full = "+".join("P%d" % (5 * i - 1) for i in range(1, halves + 1, 2))
    clearing = "+".join("P%d" % (5 * i - 1) for i in range(2, halves + 1, 2))
    faults = "+".join("P%d" % (5 * i + 1) for i in range(1, halves + 1))
    for offset, (label, formula) in enumerate([("Plné", full), ("Dorážka", clearing),
                                               ("Celkem", "%s+%s" % (full, clearing)), ("Chyby", faults)]):
        letter = ["C", "F", "I", "L"][offset]
        sheet.put("%s%d" % (letter, row), label, HEADING, span=(2, 1))
        sheet.put("%s%d" % (letter, row + 1), Formula("=" + formula), GRID.but(size=12, bold=True), span=(2, 1))
    sheet.height(row + 1, "0.6cm")
    sheet.put("B%d" % (row + 3), "Podpis rozhodčího:", Style(size=9, align="start"), span=(3, 1))
    sheet.put("E%d" % (row + 3), None, Style(bottom=THIN), span=(8, 1))
    sheet.height(row + 3, "0.8cm")
    sheet.print_range = ("A1", "Q%d" % (row + 3))
    return sheet


def monitor_board():
    return tournament("Turnaj – průběžné výsledky", monitor=True)


WORKBOOKS = {
    "zapis": lambda: match_report("Zápis o utkání", "Kuželky – utkání družstev, nová pravidla (setový systém)", 8),
    "zapis2": lambda: match_report("Zápis o utkání", "Kuželky – utkání družstev, stará pravidla", 8,
                                   set_points=False),
    "zapis_dorost": lambda: match_report("Zápis o utkání – dorost", "Kuželky – utkání družstev dorostu", 3),
    "zapis_special": lambda: match_report("Zápis o utkání – speciální soutěž", "Kuželky – speciální soutěž", 8),
    "zapis_zlin": lambda: match_report("Zápis o utkání – divize Zlín", "100 hs – dva úseky po 25 hodech, "
                                       "plné (P) a dorážka (D) na zvláštních řádcích", 8, two_rows_per_set=True),
    "turnaj_form_180HS": lambda: tournament("Turnaj – 180 hs"),
    "turnaj_form_180HS_monitor": monitor_board,
    "Vypis2": lambda: player_sheet(2),
    "Vypis4": lambda: player_sheet(4),
    "Vypis6": lambda: player_sheet(6),
}


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, make in WORKBOOKS.items():
        document = Document()
        document.sheets.append(make())
        with open(os.path.join(out, name + ".fods"), "w", encoding="utf-8") as f:
            f.write(document.render())


if __name__ == "__main__":
    main()
