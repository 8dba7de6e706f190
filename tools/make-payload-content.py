#!/usr/bin/env python3
"""Generates the files that the setup payload carries, the application icon
and the payload listing.

Output (relative to the repository root):
  resources/payload/License.txt
  resources/payload/Templates/...        16 rich-text templates
  resources/payload/Clip Library/...     242 clip library items
  resources/payload/listing.txt          entry names and time stamps
  resources/tessaron.png                 256 px icon source
  resources/tessaron.ico                 icon with 256, 48, 32, 16 px images

Uses only the Python standard library and ImageMagick's `convert`.
Regenerating produces byte-identical files (no random state, no clock).

Usage: tools/make-payload-content.py [--root DIR]
"""

import argparse
import hashlib
import os
import math
import shutil
import struct
import subprocess
import sys
import tempfile
import textwrap

CRLF = "\r\n"

# --------------------------------------------------------------------------
# Plain text helpers
# --------------------------------------------------------------------------


def crlf(text):
    """Normalise line ends to CR LF and make sure the text ends with one."""
    lines = text.replace("\r\n", "\n").split("\n")
    while lines and lines[-1] == "":
        lines.pop()
    return CRLF.join(lines) + CRLF


def dedent(text):
    return textwrap.dedent(text).strip("\n")


# --------------------------------------------------------------------------
# RTF helpers
# --------------------------------------------------------------------------

FONT_TABLE = (r"{\fonttbl{\f0\froman\fcharset0\fprq2 Times New Roman;}"
              r"{\f1\fswiss\fcharset0\fprq2 Arial;}"
              r"{\f2\fmodern\fcharset0\fprq1 Courier New;}"
              r"{\f3\froman\fcharset0\fprq2 Georgia;}"
              r"{\f4\fswiss\fcharset0\fprq2 Verdana;}"
              r"{\f5\fscript\fcharset0\fprq2 Brush Script MT;}}")

# colour indices: 1 black, 2 navy, 3 grey, 4 dark red, 5 teal, 6 light grey,
# 7 forest green, 8 light blue, 9 orange, 10 white
COLOR_TABLE = (r"{\colortbl;\red0\green0\blue0;\red31\green56\blue100;"
               r"\red110\green110\blue110;\red140\green20\blue30;"
               r"\red0\green110\blue120;\red230\green230\blue230;"
               r"\red30\green100\blue50;\red210\green225\blue245;"
               r"\red220\green120\blue20;\red255\green255\blue255;}")

STYLE_SHEET = (r"{\stylesheet{\ql\sa120\f0\fs24 \snext0 Normal;}"
               r"{\s1\ql\sb360\sa120\keepn\b\f1\fs32\cf2 \sbasedon0\snext0 heading 1;}"
               r"{\s2\ql\sb240\sa80\keepn\b\f1\fs26\cf2 \sbasedon0\snext0 heading 2;}"
               r"{\s3\ql\sb180\sa60\keepn\b\i\f1\fs24 \sbasedon0\snext0 heading 3;}"
               r"{\s10\ql\tqr\tldot\tx9000\f0\fs24 \sbasedon0\snext0 toc 1;}"
               r"{\s11\ql\li360\tqr\tldot\tx9000\f0\fs22 \sbasedon0\snext0 toc 2;}"
               r"{\s12\ql\li720\tqr\tldot\tx9000\f0\fs20 \sbasedon0\snext0 toc 3;}"
               r"{\s15\ql\tqc\tx4680\tqr\tx9360\f1\fs18 \sbasedon0\snext15 header;}"
               r"{\s16\ql\tqc\tx4680\tqr\tx9360\f1\fs18 \sbasedon0\snext16 footer;}"
               r"{\s20\qc\sb240\sa240\b\f1\fs40\cf2 \sbasedon0\snext0 Title;}}")


def rtf_escape(text):
    """Escape plain text for RTF; non-ASCII characters become \\uN? sequences."""
    out = []
    for ch in text:
        code = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ch == "\t":
            out.append("\\tab ")
        elif ch == "\n":
            out.append("\\line ")
        elif code < 128:
            out.append(ch)
        else:
            if code > 32767:
                code -= 65536
            out.append("\\u%d?" % code)
    return "".join(out)


def placeholder(label):
    """A click-here field: shows [label] until the user types over it."""
    shown = rtf_escape("[" + label + "]")
    return (r"{\field{\*\fldinst {\cf3  MACROBUTTON NoMacro " + shown + r"}}"
            r"{\fldrslt {\cf3 " + shown + r"}}}")


def field(instr, result):
    instr = instr.replace("\\", "\\\\")
    return (r"{\field{\*\fldinst { " + instr + r" }}{\fldrslt {" +
            rtf_escape(result) + r"}}}")


FIELD_MARKERS = {
    "DATE": lambda: field('DATE \\@ "MMMM d, yyyy"', "March 2, 2026"),
    "SHORTDATE": lambda: field('DATE \\@ "yyyy-MM-dd"', "2026-03-02"),
    "TIME": lambda: field('TIME \\@ "h:mm am/pm"', "9:30 AM"),
    "PAGE": lambda: field("PAGE", "1"),
    "NUMPAGES": lambda: field("NUMPAGES", "1"),
    "SECTION": lambda: field("SECTION", "1"),
    "FILENAME": lambda: field("FILENAME", "Document1"),
    "AUTHOR": lambda: field("AUTHOR", "Author"),
    "TITLE": lambda: field("TITLE", "Title"),
    "SAVEDATE": lambda: field('SAVEDATE \\@ "d MMM yyyy"', "2 Mar 2026"),
    "NUMWORDS": lambda: field("NUMWORDS", "0"),
}


def inline(text):
    """Converts the small inline markup used in this script to RTF.

    [[label]]  placeholder field      <<NAME>>  field from FIELD_MARKERS
    **text**   bold                   ~~text~~  italic
    __text__   underline
    """
    out = []
    i = 0
    bold = italic = under = False
    while i < len(text):
        if text.startswith("[[", i):
            j = text.index("]]", i)
            out.append(placeholder(text[i + 2:j]))
            i = j + 2
        elif text.startswith("<<", i):
            j = text.index(">>", i)
            out.append(FIELD_MARKERS[text[i + 2:j]]())
            i = j + 2
        elif text.startswith("**", i):
            bold = not bold
            out.append(r"\b " if bold else r"\b0 ")
            i += 2
        elif text.startswith("~~", i):
            italic = not italic
            out.append(r"\i " if italic else r"\i0 ")
            i += 2
        elif text.startswith("__", i):
            under = not under
            out.append(r"\ul " if under else r"\ulnone ")
            i += 2
        else:
            j = i
            while j < len(text) and not text.startswith(("[[", "<<", "**", "~~", "__"), j):
                j += 1
            out.append(rtf_escape(text[i:j]))
            i = j
    return "".join(out)


def par(text="", fmt=""):
    """One paragraph with paragraph/character formatting `fmt`."""
    return r"\pard\plain " + fmt + (" " if fmt else "") + inline(text) + r"\par" + "\n"


def document(body, title, font=0, size=24, margins=1440, landscape=False,
             extra_header=""):
    """Wraps a body into a complete RTF document."""
    if landscape:
        page = r"\paperw15840\paperh12240\landscape"
    else:
        page = r"\paperw12240\paperh15840"
    # \plain resets the character formatting to the defaults (font \deff,
    # 12 pt); make every paragraph start from this document's font and size.
    body = body.replace(r"\pard\plain", r"\pard\plain\f%d\fs%d" % (font, size))
    styles = STYLE_SHEET.replace(r"{\ql\sa120\f0\fs24 ", r"{\ql\sa120\f%d\fs%d " % (font, size))
    head = (r"{\rtf1\ansi\ansicpg1252\deff%d\deflang1033" % font + "\n" +
            FONT_TABLE + "\n" + COLOR_TABLE + "\n" + styles + "\n" +
            r"{\info{\title " + rtf_escape(title) + r"}{\author Tessaron}"
            r"{\company Tessaron Software}}" + "\n" +
            page + r"\margl%d\margr%d\margt%d\margb%d" % ((margins,) * 4) +
            r"\widowctrl\ftnbj\fet0\sectd\linex0" + extra_header + "\n" +
            r"\deftab720\f%d\fs%d" % (font, size) + "\n")
    text = head + body + "}"
    return crlf(text)


BORDER = r"\brdrs\brdrw10\brsp20 "


def cell_borders(color=1, width=10):
    b = r"\brdrs\brdrw%d\brdrcf%d " % (width, color)
    return (r"\clbrdrt" + b + r"\clbrdrl" + b + r"\clbrdrb" + b + r"\clbrdrr" + b)


def table(rows, widths, header=True, shade_header=6, border_color=1,
          align=None, font_size=None, stripes=None, header_color=None):
    """RTF table. rows: list of lists of cell texts (inline markup allowed).
    widths: cell widths in twips. align: per-column 'l', 'c' or 'r'."""
    out = []
    ncols = len(widths)
    align = align or ["l"] * ncols
    for r, row in enumerate(rows):
        assert len(row) == ncols, row
        defs = [r"\trowd\trgaph108\trleft0\trqc"]
        if r == 0 and header:
            defs.append(r"\trhdr")
        x = 0
        for c in range(ncols):
            x += widths[c]
            shade = ""
            if r == 0 and header and shade_header:
                shade = r"\clcbpat%d" % shade_header
            elif stripes and r % 2 == 0:
                shade = r"\clcbpat%d" % stripes
            defs.append(cell_borders(border_color) + shade + r"\cellx%d" % x)
        out.append("".join(defs) + "\n")
        cells = []
        for c, txt in enumerate(row):
            fmt = r"\pard\plain\intbl\q%s" % align[c]
            if font_size:
                fmt += r"\fs%d" % font_size
            if r == 0 and header:
                fmt += r"\b"
                if header_color:
                    fmt += r"\cf%d" % header_color
            cells.append(fmt + " " + inline(txt) + r"\cell")
        out.append("".join(cells) + r"\row" + "\n")
    out.append(r"\pard\plain\par" + "\n")
    return "".join(out)


def rtf_snippet(body, title, font=0, size=24, extra_header=""):
    """A small rich-text clip (same wrapper as a document)."""
    return document(body, title, font=font, size=size, extra_header=extra_header)


# --------------------------------------------------------------------------
# License.txt
# --------------------------------------------------------------------------

LICENSE_SECTIONS = [
    ("", [
        "IMPORTANT - PLEASE READ THIS AGREEMENT CAREFULLY BEFORE INSTALLING OR "
        "USING THE SOFTWARE.",
        "This End-User Licence Agreement (the \"Agreement\") is a legal agreement "
        "between you, either an individual or a single organisation (\"you\"), "
        "and Tessaron Software (\"Tessaron\", \"we\" or \"us\") for the Tessaron "
        "Word Processor, release 4.4, including the program files, the document "
        "templates, the clip library, the online help and any printed or "
        "electronic documentation supplied with it (together, the \"Software\").",
        "By accepting this agreement in the setup program, or by "
        "installing, copying or otherwise using the Software, you agree to be "
        "bound by the terms of this Agreement. If you do not agree, do not "
        "install or use the Software; cancel the setup program and delete any "
        "copies you have made.",
    ]),
    ("1. DEFINITIONS", [
        "\"Device\" means a single physical or virtual computer on which an "
        "operating system runs. \"Portable copy\" means a copy of the Software "
        "installed in one folder, for example on a removable drive, that can be "
        "run without being installed on each Device. \"Content\" means the "
        "document templates, clip library texts and images supplied with the "
        "Software.",
    ]),
    ("2. GRANT OF LICENCE", [
        "Subject to your compliance with this Agreement, Tessaron grants you a "
        "non-exclusive, non-transferable, royalty-free licence to install and "
        "use the Software on any number of Devices that you own or control, and "
        "to keep portable copies of it, for your personal use or for the "
        "internal purposes of your organisation.",
        "You may make backup copies of the Software for archival purposes, "
        "provided that each copy keeps all notices of ownership found on the "
        "original.",
    ]),
    ("3. USE OF THE CONTENT", [
        "You may use, modify and reproduce the Content as part of documents "
        "that you create with the Software or with any other program, and you "
        "may distribute such documents freely. You may not sell, license or "
        "distribute the Content on its own, as a collection, or as part of a "
        "product whose main purpose is to offer templates, clip art or "
        "similar material to others.",
    ]),
    ("4. RESTRICTIONS", [
        "Except as this Agreement expressly permits or as applicable law "
        "allows despite this limitation, you may not:",
        "(a) rent, lease, lend, sell or sublicense the Software, or offer it "
        "as a hosted service to third parties;",
        "(b) reverse engineer, decompile or disassemble the Software, except "
        "to the extent that the law of your country permits it for the purpose "
        "of interoperability;",
        "(c) remove, change or obscure any copyright, trademark or other "
        "notice in the Software;",
        "(d) distribute modified copies of the program files, or distribute "
        "the setup program in any form other than the one in which you "
        "received it;",
        "(e) use the Software in any way that breaks the law or infringes the "
        "rights of others.",
    ]),
    ("5. OWNERSHIP", [
        "The Software is licensed, not sold. Tessaron and its licensors keep "
        "all title, copyright and other intellectual property rights in the "
        "Software and in every copy of it. All rights not expressly granted "
        "to you in this Agreement are reserved. The documents you create with "
        "the Software belong to you.",
    ]),
    ("6. UPDATES AND INTERNET FEATURES", [
        "The Software may check for newer releases and may open pages of the "
        "Tessaron web site in your browser, for example the help page about "
        "portable copies. No document content is transmitted in the process. "
        "Any update that Tessaron supplies replaces or supplements the "
        "Software and is covered by this Agreement unless it comes with a "
        "licence of its own.",
    ]),
    ("7. NO WARRANTY", [
        "THE SOFTWARE IS PROVIDED \"AS IS\" AND \"AS AVAILABLE\", WITHOUT "
        "WARRANTY OF ANY KIND. TO THE FULLEST EXTENT PERMITTED BY LAW, "
        "TESSARON DISCLAIMS ALL WARRANTIES AND CONDITIONS, WHETHER EXPRESS, "
        "IMPLIED OR STATUTORY, INCLUDING ANY WARRANTIES OF MERCHANTABILITY, "
        "SATISFACTORY QUALITY, FITNESS FOR A PARTICULAR PURPOSE, ACCURACY, "
        "QUIET ENJOYMENT AND NON-INFRINGEMENT. TESSARON DOES NOT WARRANT THAT "
        "THE SOFTWARE WILL MEET YOUR REQUIREMENTS, THAT IT WILL RUN WITHOUT "
        "INTERRUPTION OR ERROR, OR THAT DEFECTS WILL BE CORRECTED.",
        "You are responsible for keeping backup copies of your documents. Some "
        "jurisdictions do not allow the exclusion of implied warranties, so "
        "parts of this section may not apply to you.",
    ]),
    ("8. LIMITATION OF LIABILITY", [
        "TO THE FULLEST EXTENT PERMITTED BY LAW, IN NO EVENT SHALL TESSARON OR "
        "ITS SUPPLIERS BE LIABLE FOR ANY INDIRECT, INCIDENTAL, SPECIAL, "
        "CONSEQUENTIAL OR PUNITIVE DAMAGES, OR FOR ANY LOSS OF DATA, PROFITS, "
        "REVENUE, GOODWILL OR BUSINESS OPPORTUNITY, ARISING OUT OF OR IN "
        "CONNECTION WITH THE USE OF OR INABILITY TO USE THE SOFTWARE, EVEN IF "
        "TESSARON HAS BEEN ADVISED OF THE POSSIBILITY OF SUCH DAMAGES.",
        "TESSARON'S TOTAL LIABILITY UNDER THIS AGREEMENT SHALL NOT EXCEED THE "
        "AMOUNT YOU PAID FOR THE SOFTWARE OR TEN EUROS (EUR 10.00), WHICHEVER "
        "IS GREATER. Nothing in this Agreement limits liability for death or "
        "personal injury caused by negligence, for fraud, or for any other "
        "liability that cannot be limited or excluded by law.",
    ]),
    ("9. TERMINATION", [
        "This Agreement is effective until terminated. You may terminate it at "
        "any time by uninstalling the Software and destroying all copies in "
        "your possession. It terminates automatically, without notice, if you "
        "fail to comply with any of its terms. On termination you must stop "
        "using the Software and destroy all copies of it. Sections 5, 7, 8, 10 "
        "and 11 survive termination.",
    ]),
    ("10. EXPORT", [
        "You agree to comply with all export and re-export laws and "
        "regulations that apply to the Software, including restrictions on "
        "destinations, end users and end use.",
    ]),
    ("11. GENERAL", [
        "This Agreement is the entire agreement between you and Tessaron about "
        "the Software and supersedes all earlier communications about it. If a "
        "court finds any provision unenforceable, that provision shall be "
        "enforced to the maximum extent possible and the other provisions "
        "remain in full force. A failure to enforce any right is not a waiver "
        "of it. You may not assign this Agreement without Tessaron's prior "
        "written consent. This Agreement is governed by the laws of the "
        "country in which Tessaron has its registered office, without regard "
        "to its conflict-of-laws rules, except where the mandatory law of your "
        "country of residence gives you rights that cannot be waived.",
    ]),
    ("12. CONTACT", [
        "If you have any questions about this Agreement, please use the "
        "contact form on the Tessaron web site or write to the Tessaron "
        "licensing department.",
    ]),
]


def make_license():
    lines = ["TESSARON WORD PROCESSOR 4.4",
             "END-USER LICENCE AGREEMENT",
             "",
             "Copyright (c) 2009-2026 Tessaron Software. All rights reserved.",
             ""]
    for heading, paragraphs in LICENSE_SECTIONS:
        if heading:
            lines.append(heading)
            lines.append("")
        for p in paragraphs:
            indent = "    " if p.startswith("(") else ""
            lines.extend(textwrap.wrap(p, 72, initial_indent=indent,
                                       subsequent_indent=indent + ("    " if indent else "")))
            lines.append("")
    lines.append("Last revised: November 2026")
    return crlf("\n".join(lines)).encode("utf-8")


# --------------------------------------------------------------------------
# Templates
# --------------------------------------------------------------------------

RULE_BELOW = r"\brdrb\brdrs\brdrw15\brsp40 "
RULE_BELOW_THICK = r"\brdrb\brdrth\brdrw20\brsp60 "


def tpl_business_letter():
    b = []
    b.append(par("[[Company Name]]", r"\qr\b\f1\fs32\cf2"))
    b.append(par("[[Street Address]]  |  [[City, Postal Code]]  |  [[Telephone]]",
                 r"\qr\f1\fs18\cf3" + RULE_BELOW))
    b.append(par("", r"\sa240"))
    b.append(par("<<DATE>>", r"\sa360"))
    for line in ["[[Recipient Name]]", "[[Title]]", "[[Company]]",
                 "[[Street Address]]", "[[City, Postal Code]]"]:
        b.append(par(line, r"\sa0"))
    b.append(par("", r"\sa0"))
    b.append(par("**Re: [[Subject of the letter]]**", r"\sa240"))
    b.append(par("Dear [[Recipient Name]]:", r"\sa240"))
    b.append(par("[[State the purpose of your letter in the first paragraph. "
                 "Keep it short and tell the reader what the letter is about.]]",
                 r"\sa240"))
    b.append(par("[[Use the middle paragraphs to give the details: facts, figures, "
                 "dates and anything the reader needs in order to act. One topic "
                 "per paragraph keeps the letter easy to follow.]]", r"\sa240"))
    b.append(par("[[Close by saying what happens next or what you would like the "
                 "reader to do, and thank them for their time.]]", r"\sa240"))
    b.append(par("Sincerely,", r"\sa720"))
    b.append(par("[[Your Name]]", r"\sa0"))
    b.append(par("[[Your Title]]", r"\sa360"))
    b.append(par("Enclosure: [[Number of enclosures]]", r"\fs20\sa0"))
    b.append(par("cc: [[Name]]", r"\fs20"))
    return document("".join(b), "Business Letter", font=0)


def tpl_cover_letter():
    b = []
    b.append(par("[[Your Name]]", r"\ql\b\f1\fs44\cf5"))
    b.append(par("[[Email Address]]  \u2022  [[Telephone]]  \u2022  [[City]]",
                 r"\ql\f1\fs18\cf3" + RULE_BELOW))
    b.append(par("", r"\sa120"))
    b.append(par("<<DATE>>", r"\f1\fs20\sa240"))
    for line in ["[[Hiring Manager Name]]", "[[Company Name]]", "[[Company Address]]"]:
        b.append(par(line, r"\f1\fs20\sa0"))
    b.append(par("", r"\sa120"))
    b.append(par("Dear [[Hiring Manager Name]],", r"\f1\fs20\sa200"))
    b.append(par("I am writing to apply for the position of **[[Job Title]]** "
                 "advertised on [[where you saw the opening]]. With [[number]] "
                 "years of experience in [[your field]], I am confident that I "
                 "can make a valuable contribution to [[Company Name]].",
                 r"\f1\fs20\sa200\sl276\slmult1"))
    b.append(par("In my current role at [[Current Employer]], I [[describe a key "
                 "achievement, with a number if you can: for example, reduced "
                 "processing time by 30 percent]]. I also [[a second strength "
                 "that matches the job description]].",
                 r"\f1\fs20\sa200\sl276\slmult1"))
    b.append(par("What draws me to [[Company Name]] is [[something specific about "
                 "the company: its products, values or recent work]]. I would "
                 "welcome the chance to bring my skills in [[skill]] and "
                 "[[skill]] to your team.",
                 r"\f1\fs20\sa200\sl276\slmult1"))
    b.append(par("My r\u00e9sum\u00e9 is enclosed. Thank you for considering my "
                 "application; I look forward to hearing from you.",
                 r"\f1\fs20\sa200\sl276\slmult1"))
    b.append(par("Yours sincerely,", r"\f1\fs20\sa600"))
    b.append(par("[[Your Name]]", r"\f1\fs20\b"))
    return document("".join(b), "Cover Letter", font=1, size=20, margins=1260)


def tpl_personal_letter():
    b = []
    b.append(par("[[Your Street]]", r"\qr\f3\fs22\sa0"))
    b.append(par("[[Your Town]]", r"\qr\f3\fs22\sa0"))
    b.append(par("<<DATE>>", r"\qr\f3\fs22\i\sa480"))
    b.append(par("Dear [[First Name]],", r"\f3\fs24\sa240"))
    body = [
        "It has been far too long since I last wrote, and I have been thinking "
        "of you often. [[Begin with how you are, or with what prompted you to "
        "write.]]",
        "Here, life has been [[busy / quiet / full of surprises]]. [[Share a "
        "piece of news: a trip, a new hobby, something the family has been "
        "doing, a small moment that made you smile.]]",
        "How are things with you? [[Ask about something you know is going on in "
        "their life, so they have something to write back about.]]",
        "Please give my love to [[names]]. I hope we can see each other soon, "
        "perhaps [[suggest a time or a place]].",
    ]
    for p in body:
        b.append(par(p, r"\f3\fs24\fi432\sa200\sl360\slmult1"))
    b.append(par("With warm wishes,", r"\f3\fs24\li4320\sb240\sa480"))
    b.append(par("[[Your Name]]", r"\f5\fs40\li4320"))
    b.append(par("P.S. [[A last thought or a small joke.]]", r"\f3\fs22\i\sb480"))
    return document("".join(b), "Personal Letter", font=3, margins=1800)


def tpl_reference_letter():
    b = []
    b.append(par("[[Your Organisation]]", r"\qc\b\f0\fs28\cf4\sa0"))
    b.append(par("[[Address]]  \u00b7  [[Telephone]]  \u00b7  [[Email]]",
                 r"\qc\f0\fs18\cf3" + RULE_BELOW_THICK))
    b.append(par("", r"\sa240"))
    b.append(par("<<DATE>>", r"\sa240"))
    b.append(par("**LETTER OF RECOMMENDATION**", r"\qc\sa240\expndtw20"))
    b.append(par("To Whom It May Concern:", r"\sa240"))
    paras = [
        "It is my pleasure to recommend [[Candidate Name]] for [[the position, "
        "programme or award]]. I have known [[him / her / them]] for [[length of "
        "time]] as [[your relationship: manager, teacher, colleague]] at "
        "[[Organisation]].",
        "During this time, [[Candidate Name]] was responsible for [[main "
        "duties]]. [[Give one or two concrete examples of excellent work and "
        "the results they produced.]]",
        "Beyond [[his / her / their]] technical ability, [[Candidate Name]] "
        "stands out for [[personal qualities: reliability, initiative, "
        "kindness towards colleagues]]. [[An example that shows this.]]",
        "I recommend [[Candidate Name]] without reservation. Please feel free to "
        "contact me at [[Telephone]] or [[Email]] if you would like any further "
        "information.",
    ]
    for p in paras:
        b.append(par(p, r"\qj\sa200\sl300\slmult1"))
    b.append(par("Yours faithfully,", r"\sb120\sa720"))
    b.append(par("[[Your Name]]", r"\sa0"))
    b.append(par("[[Your Title]], [[Your Organisation]]", r"\i"))
    return document("".join(b), "Reference Letter", font=0, size=22)


def memo_fields(fields, label_fmt=r"\b\f1\fs20", tab=1440, fmt=r"\f1\fs22"):
    out = []
    for label, value in fields:
        out.append(r"\pard\plain\tx%d\sa80%s {%s %s}\tab %s\par" % (
            tab, fmt, label_fmt, rtf_escape(label), inline(value)) + "\n")
    return "".join(out)


def tpl_classic_memo():
    b = []
    b.append(par("MEMORANDUM", r"\ql\b\f0\fs48\expndtw60\sa360"))
    b.append(memo_fields([("TO:", "[[Recipient names]]"),
                          ("FROM:", "[[Your name]]"),
                          ("CC:", "[[Copy to]]"),
                          ("DATE:", "<<DATE>>"),
                          ("RE:", "[[Subject]]")],
                         label_fmt=r"\b\f0\fs22", fmt=r"\f0\fs24"))
    b.append(par("", RULE_BELOW + r"\sa240"))
    b.append(par("[[Type the message of your memo here. Lead with the main point "
                 "so that readers who stop after the first paragraph still know "
                 "what you need.]]", r"\sa200"))
    b.append(par("[[Add supporting details in short paragraphs or a list.]]", r"\sa200"))
    b.append(par("[[Your initials]]", r"\sb480\fs20"))
    b.append(par("Attachments: [[list]]", r"\fs20"))
    return document("".join(b), "Classic Memo", font=0)


def tpl_contemporary_memo():
    b = []
    b.append(r"\pard\plain\shading10000\cfpat2\f1\fs44\b\cf10\sa0\sb0 {\cf10  Memo}\par" + "\n")
    b.append(par("[[Company Name]]", r"\f1\fs18\cf3\sa360"))
    b.append(table([["To", "[[Recipient]]", "Date", "<<DATE>>"],
                    ["From", "[[Sender]]", "Pages", "<<NUMPAGES>>"],
                    ["CC", "[[Copy to]]", "Ref.", "[[Reference number]]"],
                    ["Subject", "[[Subject]]", "Priority", "[[Normal / Urgent]]"]],
                   [1200, 3800, 1200, 3000], header=False, border_color=6,
                   font_size=20))
    b.append(par("Message", r"\s2\sb240\sa80\keepn\b\f1\fs26\cf2"))
    b.append(par("[[Start typing the message here. Use the Heading 2 style for "
                 "section titles if the memo covers more than one topic.]]",
                 r"\f1\fs20\sa160\sl276\slmult1"))
    b.append(par("Action required", r"\s2\sb240\sa80\keepn\b\f1\fs26\cf2"))
    b.append(par("[[Who needs to do what, and by when.]]",
                 r"\f1\fs20\sa160\sl276\slmult1"))
    return document("".join(b), "Contemporary Memo", font=1, size=20)


def tpl_meeting_notice():
    b = []
    b.append(par("Meeting Notice", r"\qc\b\f4\fs40\cf5\sa120"))
    b.append(par("", RULE_BELOW + r"\sa240"))
    b.append(memo_fields([("To:", "[[Team or attendees]]"),
                          ("From:", "[[Organiser]]"),
                          ("Date:", "<<DATE>>"),
                          ("Subject:", "[[Meeting title]]")],
                         label_fmt=r"\b\f4\fs20", fmt=r"\f4\fs20", tab=1700))
    b.append(par("", r"\sa120"))
    b.append(par("Please attend the meeting described below. If you cannot come, "
                 "let [[Organiser]] know by [[reply date]] and, if possible, send "
                 "someone in your place.", r"\f4\fs20\sa200"))
    b.append(table([["When", "[[Day]], [[Date]], [[Start time]] to [[End time]]"],
                    ["Where", "[[Room / building / call link]]"],
                    ["Chair", "[[Name]]"],
                    ["Minutes", "[[Name]]"]],
                   [1800, 7200], header=False, border_color=3, font_size=20))
    b.append(par("Agenda", r"\b\f4\fs24\cf5\sa120"))
    items = ["Welcome and apologies ([[5]] min)",
             "Minutes and actions from the last meeting ([[10]] min)",
             "[[Main topic]] ([[20]] min), presented by [[Name]]",
             "[[Second topic]] ([[15]] min)",
             "Any other business ([[5]] min)",
             "Date of the next meeting"]
    for n, item in enumerate(items, 1):
        b.append(r"\pard\plain\f4\fs20\fi-360\li720\sa60\tx720 %d.\tab %s\par" %
                 (n, inline(item)) + "\n")
    b.append(par("Please bring: [[documents, figures or equipment]].",
                 r"\f4\fs20\sb240\i"))
    return document("".join(b), "Meeting Notice", font=4, size=20)


def tpl_project_status():
    b = []
    b.append(par("PROJECT STATUS MEMO", r"\b\f1\fs32\cf2\sa60"))
    b.append(par("[[Project Name]] \u2014 report no. [[number]]", r"\f1\fs22\cf3" + RULE_BELOW))
    b.append(memo_fields([("To:", "[[Steering group]]"),
                          ("From:", "[[Project manager]]"),
                          ("Period:", "[[Start date]] to [[End date]]"),
                          ("Issued:", "<<DATE>>")], fmt=r"\f1\fs20\sb60"))
    b.append(par("Summary", r"\s2\sb240\sa80\keepn\b\f1\fs26\cf2"))
    b.append(par("Overall status: **[[On track / At risk / Late]]**. [[Two or three "
                 "sentences on what happened in this period and what matters "
                 "most now.]]", r"\f1\fs20\sa120"))
    b.append(par("Milestones", r"\s2\sb240\sa80\keepn\b\f1\fs26\cf2"))
    b.append(table([["Milestone", "Due", "Status", "Comment"],
                    ["[[Requirements signed off]]", "[[date]]", "Done", "[[ ]]"],
                    ["[[Design review]]", "[[date]]", "In progress", "[[ ]]"],
                    ["[[First release]]", "[[date]]", "Planned", "[[ ]]"],
                    ["[[Acceptance test]]", "[[date]]", "Planned", "[[ ]]"]],
                   [3000, 1400, 1500, 3300], shade_header=8, border_color=3,
                   font_size=18, align=["l", "c", "c", "l"]))
    b.append(par("Risks and issues", r"\s2\sb240\sa80\keepn\b\f1\fs26\cf2"))
    for item in ["[[Risk or issue]]: [[impact]]; action: [[what is being done]], owner [[name]].",
                 "[[Risk or issue]]: [[impact]]; action: [[what is being done]], owner [[name]]."]:
        b.append(r"\pard\plain\f1\fs20\fi-360\li720\sa60{\*\pn\pnlvlblt\pnf1\pnindent360{\pntxtb \u8226?}}"
                 r"\tx720 \u8226?\tab " + inline(item) + r"\par" + "\n")
    b.append(par("Decisions needed", r"\s2\sb240\sa80\keepn\b\f1\fs26\cf2"))
    b.append(par("[[Describe each decision, the options and your recommendation.]]",
                 r"\f1\fs20"))
    return document("".join(b), "Project Status Memo", font=1, size=20)


def tpl_policy_update():
    b = []
    b.append(par("INTERNAL MEMORANDUM", r"\qc\b\f0\fs28\expndtw40\sa0"))
    b.append(par("Policy update", r"\qc\i\f0\fs24\cf4\sa240" + RULE_BELOW_THICK))
    b.append(memo_fields([("To:", "All staff"),
                          ("From:", "[[Department]]"),
                          ("Date:", "<<DATE>>"),
                          ("Subject:", "Changes to the [[policy name]]"),
                          ("Effective:", "[[Effective date]]")],
                         label_fmt=r"\b\f0\fs22", fmt=r"\f0\fs22"))
    b.append(par("", r"\sa120"))
    b.append(par("From [[Effective date]], the [[policy name]] changes as "
                 "described below. The full text of the revised policy is "
                 "available from [[where to find it]].", r"\qj\sa200"))
    b.append(par("What changes", r"\b\sa120"))
    changes = ["[[First change, in one sentence]]",
               "[[Second change]]",
               "[[Third change]]"]
    for n, c in enumerate(changes, 1):
        b.append(r"\pard\plain\fi-360\li720\sa80\tx720 (%s)\tab %s\par" %
                 ("abc"[n - 1], inline(c)) + "\n")
    b.append(par("Why", r"\b\sb120\sa120"))
    b.append(par("[[Explain the reason for the change in plain words.]]", r"\qj\sa200"))
    b.append(par("What you need to do", r"\b\sa120"))
    b.append(par("[[Any action staff must take, with a deadline. If no action is "
                 "needed, say so.]]", r"\qj\sa200"))
    b.append(par("Questions may be sent to [[contact name]] at [[email address]].",
                 r"\i\sb240"))
    return document("".join(b), "Policy Update Memo", font=0, size=22)


STORY_LIGHTHOUSE = [
    "The inventory of the lighthouse on Carrow Point had not been taken for "
    "eleven years, and when the letter came from the harbour board asking for "
    "it, Edda Lune laughed out loud in the empty kitchen.",
    "She began the next morning with the stairs, because the stairs were the "
    "only thing in the tower that could be counted without argument. One "
    "hundred and twelve. She wrote the number at the top of a clean page in "
    "her father's ledger and underlined it twice.",
    "The lamp room was harder. There was the lens, of course, and the brass "
    "clockwork that turned it, and the can of paraffin nobody had needed since "
    "the electric line came out from the village. But there was also a jar of "
    "buttons, a chess set with a single missing knight, a pair of binoculars "
    "with one good eye, and a tin box of letters tied with garden string.",
    "Edda sat on the floor with the tin box for most of the afternoon. The "
    "letters were addressed to her father in a hand she did not know, from a "
    "place called Siltmouth, and each one ended the same way: ~~Keep the light, "
    "and I will keep watching for it.~~",
    "The harbour board's form had columns for Item, Quantity, Condition and "
    "Remarks. It did not have a column for a thing like that. Edda wrote "
    "\"Correspondence, 41\" under Item and \"Good\" under Condition, and then, "
    "after a long time, she wrote in Remarks: ~~Still being read.~~",
    "That night the wind came round to the north-east, and the beam swept out "
    "over the water as it always had: eleven seconds dark, one second bright. "
    "Edda stood at the rail with the binoculars and their one good eye, and "
    "far off along the coast, where Siltmouth ought to be, a small light "
    "answered. Eleven seconds dark. One second bright.",
    "In the morning she took a fresh page and began a letter of her own.",
]

STORY_SNAIL = [
    ("Page 1", "Pip was a small snail with a stripy shell, and Pip had never "
               "seen the sea.", "Pip on a cabbage leaf in a tidy vegetable patch, looking at the horizon."),
    ("Page 2", "\"The sea is enormous,\" said Beetle. \"It is bluer than the "
               "sky and louder than the thunder.\"", "Beetle waving six legs very wide."),
    ("Page 3", "\"Then I shall go and see it,\" said Pip. And Pip set off, "
               "slowly, slowly, down the garden path.", "A long, long path with Pip very small at the start."),
    ("Page 4", "Pip went under the gate and past the puddle. Pip went round the "
               "flowerpot and over a fallen leaf.", "The leaf is like a bridge; a frog watches from the puddle."),
    ("Page 5", "It started to rain. Pip tucked inside the stripy shell and "
               "listened. Pitter, patter. Pitter, patter.", "Cosy cut-away view of Pip inside the shell."),
    ("Page 6", "When the rain stopped, the path was shining, and every dip "
               "held a little pool that reflected the sky.", "Dozens of tiny blue puddles all along the path."),
    ("Page 7", "Pip looked into the biggest pool. It was bluer than the sky. "
               "A raindrop fell from a leaf: PLOP! It was louder than the thunder.",
     "Close-up of Pip's delighted face reflected in the water."),
    ("Page 8", "\"Oh,\" said Pip happily. \"So this is the sea.\" And it was "
               "exactly the right size for a snail.", "Pip floating a petal boat on the pool at sunset."),
]


def tpl_short_story():
    b = []
    top = r"\f2\fs24\sa0\sl240\slmult0"
    b.append(r"\pard\plain\tqr\tx9360" + top + " " + inline("[[Your Legal Name]]") +
             r"\tab About " + inline("[[word count]]") + r" words\par" + "\n")
    for line in ["[[Street Address]]", "[[City, Postal Code]]",
                 "[[Telephone]]", "[[Email Address]]"]:
        b.append(par(line, top))
    b.append(par("", r"\f2\fs24\sb2880"))
    b.append(par("THE LIGHTHOUSE INVENTORY", r"\qc\f2\fs24\sa240"))
    b.append(par("by [[Pen Name]]", r"\qc\f2\fs24\sa480"))
    for p in STORY_LIGHTHOUSE:
        b.append(par(p, r"\f2\fs24\fi720\sa0\sl480\slmult1"))
    b.append(par("# # #", r"\qc\f2\fs24\sb480"))
    hdr = (r"{\header \pard\plain\qr\f2\fs24 " + inline("[[Surname]]") +
           r" / LIGHTHOUSE / " + FIELD_MARKERS["PAGE"]() + r"\par}" + "\n")
    return document(hdr + "".join(b), "Short Story Manuscript", font=2,
                    extra_header=r"\titlepg")


def tpl_picture_book():
    b = []
    b.append(par("Pip and the Sea", r"\s20\qc\sb2400\sa240\b\f3\fs72\cf5"))
    b.append(par("written by [[Author]]", r"\qc\f3\fs32\sa120"))
    b.append(par("illustrated by [[Illustrator]]", r"\qc\f3\fs32\sa120"))
    b.append(par("For [[dedication]]", r"\qc\f3\fs24\i\sb1440"))
    for label, text, pic in STORY_SNAIL:
        b.append(r"\pard\plain\page\par" + "\n")
        b.append(par(label, r"\qr\f1\fs16\cf3\sa480"))
        b.append(par("[Illustration: " + pic + "]",
                     r"\qc\f1\fs20\i\cf7\box\brdrdash\brdrw10\brsp120\sb240\sa720"))
        b.append(par(text, r"\qc\f3\fs40\sl480\slmult1"))
    b.append(r"\pard\plain\page\par" + "\n")
    b.append(par("The End", r"\qc\sb2400\f3\fs56\i\cf5"))
    return document("".join(b), "Picture Book Story", font=3, size=40,
                    landscape=True)


def toc_document(title, subtitle, entries, font, color, field_levels="1-3",
                 page_breaks=True, extra_front="", after_toc=""):
    """entries: (level, text, page). Builds a TOC field whose result lists
    the entries, followed by the headings it refers to."""
    b = []
    b.append(par(title, r"\s20\qc\sb1440\sa120\b\f%d\fs48\cf%d" % (font, color)))
    if subtitle:
        b.append(par(subtitle, r"\qc\f%d\fs24\cf3\sa720" % font))
    b.append(extra_front)
    b.append(par("Contents", r"\b\f%d\fs32\cf%d\sa240" % (font, color) + RULE_BELOW))
    toc = [r"{\field{\*\fldinst { TOC \\o " + '"' + field_levels + '"' +
           r" \\h \\z \\u }}{\fldrslt " + "\n"]
    for level, text, page in entries:
        if level == 1:
            fmt = r"\s10\tqr\tldot\tx9000\sb120\f%d\fs24\b" % font
        elif level == 2:
            fmt = r"\s11\li360\tqr\tldot\tx9000\f%d\fs22" % font
        else:
            fmt = r"\s12\li720\tqr\tldot\tx9000\f%d\fs20\i" % font
        toc.append(r"\pard\plain" + fmt + " " + inline(text) + r"\tab " +
                   str(page) + r"\par" + "\n")
    toc.append("}}\n")
    b.append("".join(toc))
    b.append(par("~~To refresh the page numbers, update the contents field "
                 "after editing.~~", r"\f%d\fs16\cf3\sb240" % font))
    b.append(after_toc)
    for level, text, page in entries:
        if level == 1:
            if page_breaks:
                b.append(r"\pard\plain\page\par" + "\n")
            b.append(par(text, r"\s1\sb360\sa120\keepn\b\f%d\fs32\cf%d" % (font, color)))
            b.append(par("[[Type the opening text of this part here.]]",
                         r"\f%d\fs22\sa160" % font))
        elif level == 2:
            b.append(par(text, r"\s2\sb240\sa80\keepn\b\f%d\fs26\cf%d" % (font, color)))
            b.append(par("[[Type the text of this section here.]]",
                         r"\f%d\fs22\sa160" % font))
        else:
            b.append(par(text, r"\s3\sb180\sa60\keepn\b\i\f%d\fs24" % font))
            b.append(par("[[Text]]", r"\f%d\fs22\sa120" % font))
    footer = (r"{\footer \pard\plain\qc\f%d\fs18\cf3 " % font + FIELD_MARKERS["PAGE"]() +
              r"\par}" + "\n")
    return document(footer + "".join(b), title, font=font, extra_header=r"\titlepg")


def tpl_book_contents():
    entries = [(1, "Foreword", "ix"), (1, "Preface", "xi"),
               (1, "Part One: [[Part title]]", 1),
               (2, "Chapter 1  [[Chapter title]]", 3),
               (2, "Chapter 2  [[Chapter title]]", 19),
               (2, "Chapter 3  [[Chapter title]]", 37),
               (1, "Part Two: [[Part title]]", 55),
               (2, "Chapter 4  [[Chapter title]]", 57),
               (2, "Chapter 5  [[Chapter title]]", 74),
               (2, "Chapter 6  [[Chapter title]]", 92),
               (1, "Epilogue", 111), (1, "Acknowledgements", 117),
               (1, "About the Author", 119)]
    return toc_document("[[Book Title]]", "[[Author Name]]", entries, font=3, color=4,
                        field_levels="1-2")


def tpl_report_contents():
    entries = [(1, "Executive Summary", 1),
               (1, "1  Introduction", 3), (2, "1.1  Background", 3),
               (2, "1.2  Scope and Objectives", 4),
               (1, "2  Method", 5), (2, "2.1  Data Sources", 5),
               (2, "2.2  Analysis", 7),
               (1, "3  Findings", 9), (2, "3.1  [[Finding]]", 9),
               (2, "3.2  [[Finding]]", 12), (2, "3.3  [[Finding]]", 14),
               (1, "4  Recommendations", 16),
               (1, "5  Conclusion", 18),
               (1, "Appendix A  [[Title]]", 19),
               (1, "Appendix B  [[Title]]", 22)]
    front = table([["Prepared for", "[[Client or department]]"],
                   ["Prepared by", "[[Author]]"],
                   ["Date", "<<DATE>>"],
                   ["Version", "[[1.0]]"]],
                  [2400, 5000], header=False, border_color=6, font_size=20)
    lot = (par("List of Tables", r"\b\f1\fs28\cf2\sb360\sa120" + RULE_BELOW) +
           r"{\field{\*\fldinst { TOC \\h \\z \\c " + '"Table"' + r" }}{\fldrslt " + "\n" +
           par("Table 1  [[Caption]]\t10", r"\s10\tqr\tldot\tx9000\f1\fs22") +
           par("Table 2  [[Caption]]\t13", r"\s10\tqr\tldot\tx9000\f1\fs22") +
           "}}\n")
    return toc_document("[[Report Title]]", "[[Subtitle or organisation]]", entries,
                        font=1, color=2, extra_front=front, after_toc=lot)


def tpl_manual_contents():
    entries = [(1, "Getting Started", 1), (2, "What Is in the Box", 2),
               (2, "Installing [[Product]]", 3), (2, "First Steps", 5),
               (1, "Everyday Use", 9), (2, "[[Task 1]]", 10),
               (3, "[[Sub-task]]", 11), (3, "[[Sub-task]]", 12),
               (2, "[[Task 2]]", 14), (2, "[[Task 3]]", 17),
               (1, "Settings", 21), (2, "General Settings", 22),
               (2, "Advanced Settings", 25),
               (1, "Care and Maintenance", 29),
               (1, "Troubleshooting", 31), (2, "Common Problems", 31),
               (2, "Error Messages", 34),
               (1, "Technical Data", 37), (1, "Index", 39)]
    return toc_document("[[Product Name]] User Guide", "Version [[x.y]]", entries,
                        font=4, color=5, field_levels="1-3")


def tpl_thesis_contents():
    entries = [(1, "Abstract", "ii"), (1, "Acknowledgements", "iii"),
               (1, "1  Introduction", 1), (2, "1.1  Motivation", 1),
               (2, "1.2  Research Questions", 3), (2, "1.3  Structure of the Thesis", 4),
               (1, "2  Literature Review", 6), (2, "2.1  [[Topic]]", 6),
               (2, "2.2  [[Topic]]", 12),
               (1, "3  Methodology", 18), (2, "3.1  Research Design", 18),
               (2, "3.2  Participants and Materials", 21),
               (2, "3.3  Procedure", 24),
               (1, "4  Results", 27), (1, "5  Discussion", 41),
               (2, "5.1  Limitations", 47), (2, "5.2  Future Work", 49),
               (1, "6  Conclusion", 51), (1, "References", 54),
               (1, "Appendices", 61)]
    front = (par("A thesis submitted in partial fulfilment of the requirements "
                 "for the degree of [[Degree]]", r"\qc\f0\fs22\sa120") +
             par("[[University]], [[Faculty]]", r"\qc\f0\fs22\sa120") +
             par("[[Month Year]]", r"\qc\f0\fs22\sa720") +
             r"\pard\plain\page\par" + "\n")
    return toc_document("[[Thesis Title]]", "[[Candidate Name]]", entries,
                        font=0, color=1, extra_front=front)


def tpl_newsletter_contents():
    entries = [(1, "From the Editor", 2), (1, "News in Brief", 3),
               (1, "Feature: [[Headline]]", 4), (1, "Interview: [[Name]]", 6),
               (1, "Around the [[Club / Office / Neighbourhood]]", 8),
               (1, "Calendar of Events", 10), (1, "Recipe Corner", 11),
               (1, "Puzzles", 12)]
    masthead = (par("Volume [[n]], Issue [[n]]  \u2022  [[Month Year]]",
                    r"\qc\f1\fs20\cf9\sa240") +
                par("In this issue", r"\qc\i\f3\fs28\cf7\sa120"))
    return toc_document("[[Newsletter Name]]", "", entries, font=1, color=7,
                        field_levels="1-1", page_breaks=False, extra_front=masthead)


TEMPLATES = [
    ("Letters", [("Business Letter.rtf", tpl_business_letter),
                 ("Cover Letter.rtf", tpl_cover_letter),
                 ("Personal Letter.rtf", tpl_personal_letter),
                 ("Reference Letter.rtf", tpl_reference_letter)]),
    ("Memos", [("Classic Memo.rtf", tpl_classic_memo),
               ("Contemporary Memo.rtf", tpl_contemporary_memo),
               ("Meeting Notice.rtf", tpl_meeting_notice),
               ("Policy Update.rtf", tpl_policy_update),
               ("Project Status.rtf", tpl_project_status)]),
    ("Stories", [("Picture Book.rtf", tpl_picture_book),
                 ("Short Story Manuscript.rtf", tpl_short_story)]),
    ("TOCs", [("Book Contents.rtf", tpl_book_contents),
              ("Newsletter Contents.rtf", tpl_newsletter_contents),
              ("Report Contents.rtf", tpl_report_contents),
              ("Thesis Contents.rtf", tpl_thesis_contents),
              ("User Manual Contents.rtf", tpl_manual_contents)]),
]


# --------------------------------------------------------------------------
# Clip library: text and rich-text items
# --------------------------------------------------------------------------


def txt(text):
    return crlf(dedent(text)).encode("utf-8")


def sig_block(closing, extra=()):
    lines = [closing, "", "", "[Your Name]"] + list(extra)
    return crlf("\n".join(lines)).encode("utf-8")


def rtf_closing(closing, name_fmt, title, extra_lines=(), font=0):
    b = [par(closing, r"\sa600"),
         par("[[Your Name]]", name_fmt + r"\sa0")]
    for line in extra_lines:
        b.append(par(line, r"\fs20\cf3\sa0"))
    return rtf_snippet("".join(b), title, font=font).encode("ascii")


CLOSINGS = [
    ("All the best.txt", sig_block("All the best,")),
    ("Best regards.txt", sig_block("Best regards,", ["[Title]", "[Company]"])),
    ("Best wishes.txt", sig_block("Best wishes,")),
    ("Cheers.txt", sig_block("Cheers,")),
    ("Cordially.txt", sig_block("Cordially,", ["[Title]"])),
    ("Fondly.txt", sig_block("Fondly,")),
    ("Formal closing with title.rtf",
     rtf_closing("Yours faithfully,", r"\b", "Formal closing with title",
                 ["[[Title]]", "[[Department]]", "[[Company Name]]"])),
    ("Gratefully.txt", sig_block("Gratefully,")),
    ("Hoping to hear from you.txt",
     txt("""
         I hope to hear from you soon.

         Kind regards,


         [Your Name]
         """)),
    ("Looking forward.txt",
     txt("""
         I look forward to working with you.

         Sincerely,


         [Your Name]
         """)),
    ("Love.txt", sig_block("Love,")),
    ("Many thanks.txt", sig_block("Many thanks,")),
    ("On behalf of the team.rtf",
     rtf_closing("On behalf of the whole team, thank you.", r"\b\cf2",
                 "On behalf of the team", ["[[Team name]]", "[[Company Name]]"],
                 font=1)),
    ("Please call me.txt",
     txt("""
         If you have any questions, please do not hesitate to call me at
         [telephone number].

         Yours sincerely,


         [Your Name]
         """)),
    ("Respectfully.txt", sig_block("Respectfully,", ["[Title]"])),
    ("Respectfully submitted.rtf",
     rtf_closing("Respectfully submitted,", r"\b\scaps", "Respectfully submitted",
                 ["[[Title]]", "<<DATE>>"])),
    ("Sincerely.txt", sig_block("Sincerely,")),
    ("Sincerely yours.txt", sig_block("Sincerely yours,", ["[Title]", "[Company]"])),
    ("Signature with contact.rtf",
     rtf_closing("Kind regards,", r"\b\f1\fs24\cf5", "Signature with contact",
                 ["[[Title]]  |  [[Company Name]]",
                  "Tel. [[Telephone]]  |  [[Email Address]]"], font=1)),
    ("Talk soon.txt", sig_block("Talk soon,")),
    ("Thank you.txt", sig_block("Thank you,")),
    ("Thank you for your time.rtf",
     rtf_closing("Thank you for your time and consideration.", r"\i",
                 "Thank you for your time", ["[[Telephone]]"])),
    ("Until next time.txt", sig_block("Until next time,")),
    ("Warm regards.txt", sig_block("Warm regards,")),
    ("Warmly.rtf",
     rtf_closing("Warmly,", r"\f5\fs40\cf2", "Warmly", font=3)),
    ("With appreciation.txt", sig_block("With appreciation,")),
    ("With deepest sympathy.rtf",
     rtf_closing("With deepest sympathy,", r"\i\f3", "With deepest sympathy", font=3)),
    ("Yours truly.txt", sig_block("Yours truly,")),
]


def greeting_rtf(title, lines, color, font=3):
    b = [par(lines[0], r"\qc\b\f%d\fs48\cf%d\sa240" % (font, color))]
    for line in lines[1:]:
        b.append(par(line, r"\qc\f%d\fs26\sa160" % font))
    return rtf_snippet("".join(b), title, font=font).encode("ascii")


GREETINGS = [
    ("Anniversary.rtf", greeting_rtf("Anniversary", [
        "Happy Anniversary!",
        "Here's to [[number]] wonderful years together,",
        "and to all the adventures still to come.",
        "With love from [[Names]]"], 4)),
    ("Birthday.txt", txt("""
        Happy Birthday!

        Wishing you a day full of laughter, good friends and your favourite
        cake, and a year ahead that is even better than the last.

        Many happy returns,
        [Your Name]
        """)),
    ("Congratulations.txt", txt("""
        Congratulations!

        Your hard work has paid off, and nobody deserves this success more than
        you. We are all very proud of you.

        Best wishes for the next chapter,
        [Your Name]
        """)),
    ("Get well soon.txt", txt("""
        Get well soon!

        Sorry to hear you are under the weather. Take all the time you need to
        rest; we are thinking of you and look forward to seeing you back on your
        feet.

        Warm wishes,
        [Your Name]
        """)),
    ("New baby.rtf", greeting_rtf("New baby", [
        "Welcome to the World!",
        "Congratulations on the arrival of [[Baby's Name]].",
        "May your home be filled with joy, giggles and just enough sleep.",
        "With love, [[Your Name]]"], 5)),
    ("Holiday season.rtf", greeting_rtf("Holiday season", [
        "Season's Greetings",
        "Wishing you peace, warmth and happiness this holiday season",
        "and every good thing in the New Year.",
        "From all of us at [[Company Name]]"], 7)),
    ("Welcome.txt", txt("""
        Welcome aboard!

        We are delighted that you have joined us. If there is anything you need
        as you settle in, just ask; everyone here is glad to help.

        [Your Name]
        """)),
]


def hf_doc(title, header="", footer="", sect="", body_note=None):
    """A header/footer clip: section formatting plus header and footer groups."""
    b = []
    if header:
        b.append(r"{\header " + header + "}\n")
    if footer:
        b.append(r"{\footer " + footer + "}\n")
    b.append(par(body_note or ("[[Body text. The header and footer of this "
                               "document can be copied into your own.]]"),
                 r"\f1\fs20\cf3"))
    return rtf_snippet("".join(b), title, font=1, size=20,
                       extra_header=sect).encode("ascii")


def hp(text, fmt=r"\s15\tqc\tx4680\tqr\tx9360\f1\fs18"):
    return r"\pard\plain" + fmt + " " + inline(text) + r"\par"


def hp_raw(raw, fmt=r"\s15\tqc\tx4680\tqr\tx9360\f1\fs18"):
    return r"\pard\plain" + fmt + " " + raw + r"\par"


HEADERS_FOOTERS = [
    ("Author and date footer.rtf", hf_doc(
        "Author and date footer",
        footer=hp("<<AUTHOR>>\t\t<<DATE>>", r"\s16\tqr\tx9360\f1\fs18\cf3"))),
    ("Chapter title header.rtf", hf_doc(
        "Chapter title header",
        header=hp("Chapter [[n]]: [[Chapter Title]]",
                  r"\s15\qr\f3\fs20\i\cf2" + RULE_BELOW))),
    ("Company letterhead.rtf", hf_doc(
        "Company letterhead",
        header=hp("[[Company Name]]", r"\s15\qc\b\f1\fs36\cf2\sa0") +
        hp("[[Street Address]]  \u2022  [[City]]  \u2022  [[Telephone]]  \u2022  [[Web Address]]",
           r"\s15\qc\f1\fs16\cf3" + RULE_BELOW_THICK),
        sect=r"\headery500")),
    ("Confidential footer.rtf", hf_doc(
        "Confidential footer",
        footer=hp("CONFIDENTIAL \u2014 for internal use only",
                  r"\s16\qc\b\f1\fs16\cf4\expndtw20\brdrt\brdrs\brdrw10\brsp60 "))),
    ("Copyright footer.rtf", hf_doc(
        "Copyright footer",
        footer=hp("\u00a9 [[Year]] [[Company Name]]. All rights reserved.",
                  r"\s16\qc\f1\fs16\cf3"))),
    ("Date and page header.rtf", hf_doc(
        "Date and page header",
        header=hp("<<DATE>>\t\tPage <<PAGE>>"))),
    ("Document title header.rtf", hf_doc(
        "Document title header",
        header=hp("<<TITLE>>\t\t[[Version]]", r"\s15\tqr\tx9360\b\f1\fs18\cf5" + RULE_BELOW))),
    ("Draft stamp header.rtf", hf_doc(
        "Draft stamp header",
        header=hp("DRAFT \u2014 NOT FOR DISTRIBUTION",
                  r"\s15\qc\b\f1\fs28\cf4\expndtw60"))),
    ("File name footer.rtf", hf_doc(
        "File name footer",
        footer=hp("<<FILENAME>>\t\tSaved <<SAVEDATE>>", r"\s16\tqr\tx9360\f2\fs16\cf3"))),
    ("First page different.rtf", hf_doc(
        "First page different",
        header=hp("[[Running title]]\t\t<<PAGE>>"),
        sect=r"\titlepg",
        body_note="[[The first page has no header; from page 2 on the running "
                  "title and the page number appear at the top.]]")
        ),
    ("Memo header.rtf", hf_doc(
        "Memo header",
        header=hp("MEMO\t[[Subject]]\t<<DATE>>",
                  r"\s15\tqc\tx4680\tqr\tx9360\b\f1\fs18\cf2" + RULE_BELOW))),
    ("Mirror pages.rtf", rtf_snippet(
        r"{\headerl " + hp("<<PAGE>>\t\t[[Book Title]]", r"\s15\tqr\tx9360\f3\fs18\i") + "}\n" +
        r"{\headerr " + hp("[[Chapter Title]]\t\t<<PAGE>>", r"\s15\tqr\tx9360\f3\fs18\i") + "}\n" +
        par("[[Left-hand (even) pages show the page number on the outside left; "
            "right-hand (odd) pages on the outside right.]]", r"\f1\fs20\cf3"),
        "Mirror pages", font=1, size=20).encode("ascii").replace(
            b"\\widowctrl", b"\\facingp\\gutter360\\widowctrl")),
    ("Page X of Y footer.rtf", hf_doc(
        "Page X of Y footer",
        footer=hp("Page <<PAGE>> of <<NUMPAGES>>", r"\s16\qc\f1\fs18"))),
    ("Report footer ruled.rtf", hf_doc(
        "Report footer ruled",
        footer=hp("[[Report Title]]\t[[Department]]\t<<PAGE>>",
                  r"\s16\tqc\tx4680\tqr\tx9360\f1\fs16\cf3\brdrt\brdrth\brdrw20\brsp80 "))),
    ("Section page footer.rtf", hf_doc(
        "Section page footer",
        footer=hp("Section <<SECTION>> \u2013 page <<PAGE>>", r"\s16\qr\f1\fs18\cf2"))),
    ("Three part header.rtf", hf_doc(
        "Three part header",
        header=hp("[[Left text]]\t[[Centre text]]\t[[Right text]]") +
        hp("", r"\s15\f1\fs8" + RULE_BELOW))),
]


def misc_fax_cover():
    b = [par("FAX", r"\b\f1\fs72\cf2\sa0"),
         par("[[Company Name]]  \u2022  [[Telephone]]  \u2022  Fax [[Fax number]]",
             r"\f1\fs18\cf3\sa240" + RULE_BELOW_THICK),
         table([["To:", "[[Name]]", "From:", "[[Name]]"],
                ["Fax:", "[[Number]]", "Pages:", "[[n]] (including this one)"],
                ["Phone:", "[[Number]]", "Date:", "<<DATE>>"],
                ["Re:", "[[Subject]]", "CC:", "[[Name]]"]],
               [1100, 3500, 1100, 3500], header=False, border_color=6, font_size=20),
         par("\u2610 Urgent    \u2610 For review    \u2610 Please comment    "
             "\u2610 Please reply    \u2610 Please recycle", r"\f1\fs20\sa240"),
         par("Comments:", r"\b\f1\fs20"),
         par("[[Type any comments here.]]", r"\f1\fs20")]
    return rtf_snippet("".join(b), "Fax cover sheet", font=1).encode("ascii")


def misc_phone_message():
    b = [par("While You Were Out", r"\qc\b\i\f3\fs36\cf4\sa120" + RULE_BELOW),
         table([["For", "[[Name]]"], ["Date / time", "<<DATE>>, <<TIME>>"],
                ["Caller", "[[Name]]"], ["Of", "[[Company]]"],
                ["Phone", "[[Number]]"]],
               [2000, 5000], header=False, border_color=3, font_size=20),
         par("\u2610 Telephoned   \u2610 Please call back   \u2610 Will call again   "
             "\u2610 Came to see you   \u2610 Urgent", r"\f1\fs18\sa200"),
         par("Message: [[Message]]", r"\f1\fs20\sa200"),
         par("Taken by: [[Name]]", r"\f1\fs18\i")]
    return rtf_snippet("".join(b), "Phone message", font=1).encode("ascii")


def misc_agenda():
    b = [par("Agenda", r"\b\f1\fs40\cf5\sa0"),
         par("[[Meeting name]]  \u2014  <<DATE>>, [[Time]], [[Place]]",
             r"\f1\fs20\cf3\sa240" + RULE_BELOW),
         table([["Time", "Item", "Lead"],
                ["[[9:00]]", "Welcome and introductions", "[[Name]]"],
                ["[[9:10]]", "Review of previous actions", "[[Name]]"],
                ["[[9:25]]", "[[Topic]]", "[[Name]]"],
                ["[[9:50]]", "[[Topic]]", "[[Name]]"],
                ["[[10:20]]", "Summary of decisions and next steps", "[[Name]]"]],
               [1200, 5400, 2200], shade_header=8, border_color=3, font_size=20)]
    return rtf_snippet("".join(b), "Meeting agenda", font=1).encode("ascii")


def misc_rsvp():
    b = [par("R.S.V.P.", r"\qc\f5\fs56\cf4\sa120"),
         par("Kindly reply by [[date]]", r"\qc\i\f3\fs22\sa360"),
         par("Name(s): ____________________________________", r"\qc\f3\fs22\sa240"),
         par("\u2610 Joyfully accepts        \u2610 Regretfully declines",
             r"\qc\f3\fs22\sa240"),
         par("Number attending: _____", r"\qc\f3\fs22")]
    return rtf_snippet("".join(b), "RSVP card", font=3).encode("ascii")


def misc_checklist():
    items = ["[[First task]]", "[[Second task]]", "[[Third task]]",
             "[[Fourth task]]", "[[Fifth task]]"]
    b = [par("Checklist: [[Title]]", r"\b\f1\fs28\cf7\sa200")]
    for it in items:
        b.append(r"\pard\plain\f1\fs22\fi-400\li400\sa100\tx400 \u9744?\tab " +
                 inline(it) + r"\par" + "\n")
    b.append(par("Completed by [[Name]] on [[Date]]", r"\f1\fs18\i\cf3\sb240"))
    return rtf_snippet("".join(b), "Checklist", font=1).encode("ascii")


MISCELLANEOUS = [
    ("Address block.txt", txt("""
        [Recipient Name]
        [Title]
        [Company Name]
        [Street Address]
        [City, Region Postal Code]
        [Country]
        """)),
    ("Attention line.txt", txt("""
        Attention: [Name or Department]
        """)),
    ("Checklist.rtf", misc_checklist()),
    ("Confidentiality notice.txt", txt("""
        CONFIDENTIALITY NOTICE: This message and any attachments are intended
        only for the person or organisation to which they are addressed and may
        contain confidential information. If you have received it by mistake,
        please tell the sender and delete it. Any use, copying or disclosure by
        anyone else is not permitted.
        """)),
    ("Copy notation.txt", txt("""
        cc: [Name], [Title]
            [Name], [Title]
        """)),
    ("Date formats.txt", txt("""
        Common ways of writing a date

        March 2, 2026        month, day, year
        2 March 2026         day, month, year
        2026-03-02           year-month-day (ISO 8601)
        02/03/2026           day/month/year
        03/02/2026           month/day/year
        Monday, 2 March 2026 with the day of the week
        Mar. 2, '26          short and informal
        """)),
    ("Enclosure notation.txt", txt("""
        Enclosures (2):
            [Title of first document]
            [Title of second document]
        """)),
    ("Fax cover sheet.rtf", misc_fax_cover()),
    ("Meeting agenda.rtf", misc_agenda()),
    ("Out of office reply.txt", txt("""
        Thank you for your message. I am out of the office from [start date]
        until [return date] with limited access to email. I will reply as soon
        as I can after my return.

        For urgent matters, please contact [Name] at [email or telephone].

        [Your Name]
        """)),
    ("Pangrams.txt", txt("""
        Sentences that use every letter of the alphabet, handy for trying out
        fonts:

        The quick onyx goblin jumps over the lazy dwarf.
        Pack my box with five dozen liquor jugs.
        How vexingly quick daft zebras jump!
        Sphinx of black quartz, judge my vow.
        Jackdaws love my big sphinx of quartz.
        Waltz, bad nymph, for quick jigs vex.
        """)),
    ("Phone message.rtf", misc_phone_message()),
    ("Postscript.txt", txt("""
        P.S. [Add a short reminder or a personal note here.]
        """)),
    ("Proofreading marks.txt", txt("""
        Proofreading marks (as written in the margin)

        ^      insert here
        #      insert space
        (del)  delete
        stet   let it stand (ignore the correction)
        tr     transpose letters or words
        cap    capital letter
        lc     lower case
        bf     bold face
        ital   italics
        run on no new paragraph
        new P  start a new paragraph
        sp     spell out
        ?      query to the author
        """)),
    ("RSVP card.rtf", misc_rsvp()),
    ("Signature block.txt", txt("""
        [Your Name]
        [Title]
        [Company Name]
        Tel. [telephone]  |  [email address]
        [web address]
        """)),
]


PHRASES = [
    ("Accepting an invitation.txt", """
        Thank you for your kind invitation to [event] on [date]. I am delighted
        to accept and look forward to seeing you there.
        """),
    ("Acknowledging receipt.txt", """
        Thank you for your letter of [date], which reached us on [date]. We are
        looking into the matter and will reply in full by [date].
        """),
    ("Announcing a change.txt", """
        We would like to let you know that, from [date], [describe the change].
        This will not affect [what stays the same]. If you have any questions,
        please contact [name].
        """),
    ("Apologising for a delay.txt", """
        Please accept our apologies for the delay in [replying / delivering your
        order]. This was caused by [reason], and we have taken steps to make sure
        it does not happen again.
        """),
    ("Arranging a call.txt", """
        Would you be available for a short call on [day] at [time]? If that does
        not suit you, please suggest a time that does, and I will send an
        invitation.
        """),
    ("Asking for feedback.txt", """
        Your opinion matters to us. Could you spare five minutes to tell us what
        worked well and what we could do better? Every reply is read.
        """),
    ("Asking for information.txt", """
        I would be grateful if you could send me further information about
        [subject], in particular [details]. Please send it to the address above
        or by email to [address].
        """),
    ("Attaching documents.txt", """
        Please find attached [the document / the documents] you asked for. Let
        me know if anything is missing or unclear.
        """),
    ("Bad news gently.txt", """
        After careful consideration, we regret that we are unable to [request].
        We know this is not the answer you hoped for, and we appreciate the time
        you took to [action].
        """),
    ("Closing paragraph.txt", """
        Thank you again for your help. If there is anything else you need from
        me, please let me know.
        """),
    ("Condolences.txt", """
        I was so sorry to hear of the loss of your [relation]. [Name] will be
        remembered with great warmth by everyone who knew [him / her / them].
        Please accept my heartfelt sympathy.
        """),
    ("Confirming a meeting.txt", """
        This is to confirm our meeting on [day, date] at [time] at [place]. I
        will bring [documents]. Please let me know if anything changes.
        """),
    ("Confirming an order.txt", """
        Thank you for your order no. [number] of [date]. The goods will be
        dispatched on [date] and should reach you within [n] working days.
        """),
    ("Congratulating a colleague.txt", """
        Congratulations on your [promotion / new role / award]! It is
        thoroughly deserved, and I am sure you will do a wonderful job.
        """),
    ("Declining politely.txt", """
        Thank you very much for thinking of me. Unfortunately I will not be able
        to [accept / attend] because of [reason], but I hope there will be
        another opportunity soon.
        """),
    ("Following up.txt", """
        I am writing to follow up on my [letter / email] of [date] about
        [subject]. I would be grateful for an update when you have a moment.
        """),
    ("Introducing yourself.txt", """
        Allow me to introduce myself: my name is [name], and I am the new
        [position] at [company]. I will be your main contact for [area].
        """),
    ("Making a referral.txt", """
        I would like to introduce [name], who [short description]. I think you
        would find a conversation worthwhile, and I have taken the liberty of
        copying [him / her / them] on this message.
        """),
    ("Offering help.txt", """
        If I can be of any help with [project / task], please do not hesitate to
        ask. I would be happy to [specific offer].
        """),
    ("Opening paragraph.txt", """
        I am writing to you regarding [subject], which we discussed on [date].
        """),
    ("Payment reminder.txt", """
        Our records show that invoice no. [number] of [date], for [amount], has
        not yet been paid. If you have already sent the payment, please ignore
        this reminder; otherwise we would be grateful to receive it by [date].
        """),
    ("Rescheduling.txt", """
        Unfortunately I need to move our meeting planned for [date]. Would [new
        date and time] work for you instead? I am sorry for any inconvenience.
        """),
    ("Reminding of a deadline.txt", """
        A friendly reminder that [task] is due on [date]. If you expect any
        difficulty meeting this date, please let me know as soon as possible.
        """),
    ("Summarising a discussion.txt", """
        To summarise our discussion of [date]: we agreed that [point one], that
        [point two], and that [name] will [action] by [date].
        """),
    ("Thanks after an interview.txt", """
        Thank you for taking the time to meet me on [date] to discuss the
        [position] role. Our conversation confirmed my enthusiasm for the job,
        and I look forward to hearing from you.
        """),
    ("Thanks for a gift.txt", """
        Thank you so much for the lovely [gift]. It was such a thoughtful
        present, and I [how you are using or enjoying it].
        """),
    ("Transition words.txt", """
        Words that link sentences and paragraphs

        Adding:      furthermore, in addition, moreover, also
        Contrasting: however, on the other hand, nevertheless, yet
        Cause:       because, since, as a result, therefore
        Example:     for example, for instance, in particular
        Sequence:    first, next, then, finally
        Summing up:  in short, overall, to conclude
        """),
    ("Welcoming a new client.txt", """
        Welcome to [company]! We are very pleased to have you as a client. Your
        account manager, [name], will be in touch shortly to introduce [himself /
        herself / themselves] and to answer any questions.
        """),
]
PHRASES = [(name, txt(text)) for name, text in PHRASES]


SALUTATIONS = [
    ("Dear Colleague.txt", "Dear Colleague,"),
    ("Dear Customer.txt", "Dear Valued Customer,"),
    ("Dear Dr Surname.txt", "Dear Dr [Surname],"),
    ("Dear First Name.txt", "Dear [First Name],"),
    ("Dear Friends.txt", "Dear Friends,"),
    ("Dear Hiring Manager.txt", "Dear Hiring Manager,"),
    ("Dear Member.txt", "Dear Member,"),
    ("Dear Mr Surname.txt", "Dear Mr [Surname]:"),
    ("Dear Ms Surname.txt", "Dear Ms [Surname]:"),
    ("Dear Sir or Madam.txt", "Dear Sir or Madam:"),
    ("Hello everyone.txt", "Hello everyone,"),
    ("Hi team.txt", "Hi team,"),
    ("To whom it may concern.txt", "To Whom It May Concern:"),
]
SALUTATIONS = [(name, crlf(text).encode("ascii")) for name, text in SALUTATIONS]


def tables_doc(title, heading, tbl, note=None, landscape=False):
    b = [par(heading, r"\b\f1\fs26\cf2\sa160")]
    b.append(tbl)
    if note:
        b.append(par(note, r"\f1\fs18\i\cf3"))
    body = "".join(b)
    if landscape:
        return document(body, title, font=1, size=20, landscape=True).encode("ascii")
    return rtf_snippet(body, title, font=1, size=20).encode("ascii")


def tables_calendar():
    rows = [["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"]]
    days = [""] * 6 + [str(d) for d in range(1, 32)]
    while len(days) % 7:
        days.append("")
    for w in range(0, len(days), 7):
        rows.append(days[w:w + 7])
    return table(rows, [1300] * 7, shade_header=2, header_color=10, border_color=3,
                 align=["r"] * 7)


TABLES = [
    ("Budget summary.rtf", tables_doc("Budget summary", "Budget Summary: [[Period]]", table(
        [["Category", "Budget", "Actual", "Difference"],
         ["[[Staff]]", "[[0.00]]", "[[0.00]]", "[[0.00]]"],
         ["[[Equipment]]", "[[0.00]]", "[[0.00]]", "[[0.00]]"],
         ["[[Travel]]", "[[0.00]]", "[[0.00]]", "[[0.00]]"],
         ["[[Other]]", "[[0.00]]", "[[0.00]]", "[[0.00]]"],
         ["**Total**", "**[[0.00]]**", "**[[0.00]]**", "**[[0.00]]**"]],
        [3000, 2000, 2000, 2000], shade_header=8, border_color=3,
        align=["l", "r", "r", "r"]))),
    ("Comparison table.rtf", tables_doc("Comparison table", "Comparison", table(
        [["Feature", "[[Option A]]", "[[Option B]]", "[[Option C]]"],
         ["Price", "[[ ]]", "[[ ]]", "[[ ]]"],
         ["Delivery time", "[[ ]]", "[[ ]]", "[[ ]]"],
         ["Warranty", "[[ ]]", "[[ ]]", "[[ ]]"],
         ["Support", "[[ ]]", "[[ ]]", "[[ ]]"],
         ["Overall rating", "\u2605\u2605\u2605\u2606\u2606", "\u2605\u2605\u2605\u2605\u2606",
          "\u2605\u2605\u2606\u2606\u2606"]],
        [2600, 2200, 2200, 2200], shade_header=6, border_color=3,
        align=["l", "c", "c", "c"]))),
    ("Contact list.rtf", tables_doc("Contact list", "Contact List", table(
        [["Name", "Organisation", "Telephone", "Email"]] +
        [["[[Name]]", "[[Organisation]]", "[[Telephone]]", "[[Email]]"]] * 5,
        [2300, 2500, 1900, 2600], shade_header=8, stripes=6, border_color=6,
        font_size=18))),
    ("Invoice items.rtf", tables_doc("Invoice items", "Invoice [[Number]]", table(
        [["Qty", "Description", "Unit price", "Amount"],
         ["[[1]]", "[[Item]]", "[[0.00]]", "[[0.00]]"],
         ["[[1]]", "[[Item]]", "[[0.00]]", "[[0.00]]"],
         ["[[1]]", "[[Item]]", "[[0.00]]", "[[0.00]]"],
         ["", "", "Subtotal", "[[0.00]]"],
         ["", "", "Tax ([[rate]]%)", "[[0.00]]"],
         ["", "", "**Total**", "**[[0.00]]**"]],
        [800, 4600, 1800, 1800], shade_header=6, border_color=1,
        align=["c", "l", "r", "r"]),
        note="Payment due within [[30]] days of the invoice date.")),
    ("Monthly calendar.rtf", tables_doc(
        "Monthly calendar", "[[Month]] [[Year]]", tables_calendar(),
        note="Days shown for a month that begins on a Sunday; adjust as needed.",
        landscape=True)),
    ("Price list.rtf", tables_doc("Price list", "Price List  \u2014  valid from [[date]]", table(
        [["Item no.", "Product", "Size", "Price"],
         ["[[1001]]", "[[Product]]", "[[ ]]", "[[0.00]]"],
         ["[[1002]]", "[[Product]]", "[[ ]]", "[[0.00]]"],
         ["[[1003]]", "[[Product]]", "[[ ]]", "[[0.00]]"],
         ["[[1004]]", "[[Product]]", "[[ ]]", "[[0.00]]"]],
        [1500, 4000, 1500, 1800], shade_header=8, stripes=6, border_color=6,
        align=["l", "l", "c", "r"]),
        note="All prices include [[tax]]. Subject to change without notice.")),
    ("Three column grid.rtf", tables_doc("Three column grid", "[[Table title]]", table(
        [["[[Heading]]", "[[Heading]]", "[[Heading]]"]] + [["", "", ""]] * 4,
        [3100, 3100, 3100], shade_header=6, border_color=1))),
    ("Two column list.rtf", tables_doc("Two column list", "[[Table title]]", table(
        [["[[Term]]", "[[Description]]"]] * 5,
        [2800, 6400], header=False, border_color=6))),
    ("Weekly schedule.rtf", tables_doc("Weekly schedule", "Week of [[date]]", table(
        [["Time", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday"]] +
        [["%d:00" % h, "", "", "", "", ""] for h in (8, 9, 10, 11, 12, 13, 14, 15, 16)],
        [1000, 1650, 1650, 1650, 1650, 1650], shade_header=5, header_color=10,
        border_color=3, font_size=18, align=["r", "l", "l", "l", "l", "l"]))),
]


# --------------------------------------------------------------------------
# Clip library: images (drawn with ImageMagick)
# --------------------------------------------------------------------------

BLUE, DBLUE, LBLUE = "#2F6FB5", "#1B3F6B", "#A9CBEF"
RED, DRED = "#D0363C", "#7E1A1E"
GREEN, DGREEN, LGREEN = "#3A9A48", "#1D5A27", "#B9E2B5"
ORANGE, DORANGE = "#F0901E", "#9A5508"
GOLD, DGOLD = "#F4C430", "#9B7412"
PURPLE, DPURPLE = "#7B4FB0", "#432770"
TEAL, DTEAL = "#1F9AA0", "#0E5A5E"
GREY, DGREY, LGREY = "#8A8F98", "#3C4048", "#E4E6EA"
BROWN, DBROWN = "#9A6634", "#5A3A1A"
WHITE, BLACK, NONE = "#FFFFFF", "#000000", "none"


def P(x, y):
    return "%.1f,%.1f" % (x, y)


def poly(points, kind="polygon"):
    return kind + " " + " ".join(P(x, y) for x, y in points)


def transform(points, cx, cy, scale, angle=0.0):
    a = math.radians(angle)
    ca, sa = math.cos(a), math.sin(a)
    return [(cx + scale * (x * ca - y * sa), cy + scale * (x * sa + y * ca))
            for x, y in points]


def regular(n, cx, cy, r, start=-90.0):
    return [(cx + r * math.cos(math.radians(start + 360.0 * i / n)),
             cy + r * math.sin(math.radians(start + 360.0 * i / n))) for i in range(n)]


def star_points(n, cx, cy, r_out, r_in, start=-90.0):
    pts = []
    for i in range(2 * n):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(start + 180.0 * i / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


BLOCK_ARROW = [(-0.9, -0.3), (0.1, -0.3), (0.1, -0.75), (0.9, 0.0),
               (0.1, 0.75), (0.1, 0.3), (-0.9, 0.3)]
DOUBLE_ARROW = [(-0.9, 0.0), (-0.35, -0.6), (-0.35, -0.25), (0.35, -0.25),
                (0.35, -0.6), (0.9, 0.0), (0.35, 0.6), (0.35, 0.25),
                (-0.35, 0.25), (-0.35, 0.6)]


def op(prim, fill=NONE, stroke=NONE, width=1.0):
    return (fill, stroke, width, prim)


def arrowhead(tipx, tipy, angle, size):
    """Triangle head whose tip is at (tipx, tipy), pointing along angle."""
    return poly(transform([(0, 0), (-1.0, -0.6), (-1.0, 0.6)], tipx, tipy, size, angle))


def arc_path(cx, cy, r, a0, a1):
    """Open circular arc from angle a0 to a1 (degrees, clockwise on screen)."""
    x0, y0 = cx + r * math.cos(math.radians(a0)), cy + r * math.sin(math.radians(a0))
    x1, y1 = cx + r * math.cos(math.radians(a1)), cy + r * math.sin(math.radians(a1))
    large = 1 if (a1 - a0) % 360 > 180 else 0
    return "path 'M %s A %.1f,%.1f 0 %d,1 %s'" % (P(x0, y0), r, r, large, P(x1, y1))


def wedge_path(cx, cy, r, a0, a1):
    x0, y0 = cx + r * math.cos(math.radians(a0)), cy + r * math.sin(math.radians(a0))
    x1, y1 = cx + r * math.cos(math.radians(a1)), cy + r * math.sin(math.radians(a1))
    large = 1 if (a1 - a0) > 180 else 0
    return "path 'M %s L %s A %.1f,%.1f 0 %d,1 %s Z'" % (
        P(cx, cy), P(x0, y0), r, r, large, P(x1, y1))


SEGMENTS = {"0": "abcdef", "1": "bc", "2": "abged", "3": "abgcd", "4": "fgbc",
            "5": "afgcd", "6": "afgedc", "7": "abc", "8": "abcdefg", "9": "abcdfg"}


def digit_ops(d, x0, y0, x1, y1, t, color):
    ym = (y0 + y1) / 2.0
    rects = {
        "a": (x0, y0, x1, y0 + t), "d": (x0, y1 - t, x1, y1),
        "g": (x0, ym - t / 2, x1, ym + t / 2),
        "f": (x0, y0, x0 + t, ym + t / 2), "e": (x0, ym - t / 2, x0 + t, y1),
        "b": (x1 - t, y0, x1, ym + t / 2), "c": (x1 - t, ym - t / 2, x1, y1),
    }
    return [op("rectangle %s %s" % (P(r[0], r[1]), P(r[2] - 0.01, r[3] - 0.01)), color)
            for r in (rects[s] for s in SEGMENTS[d])]


def leaf_points(cx, cy, length, width, angle, n=40):
    pts = []
    for i in range(n):
        t = 2 * math.pi * i / n
        x = math.cos(t)
        y = math.sin(t) * (0.55 + 0.45 * math.cos(t)) * (1 + 0.08 * math.sin(7 * t))
        pts.append((x * length / 2, y * width / 2))
    return transform(pts, cx, cy, 1.0, angle)


def wave_points(x0, x1, y, amp, period, step=2.0):
    pts = []
    x = x0
    while x <= x1 + 0.01:
        pts.append((x, y + amp * math.sin(2 * math.pi * (x - x0) / period)))
        x += step
    return pts


# ---- Arrows --------------------------------------------------------------

def images_arrows():
    out = []
    for name, ang, fill, stroke in [("arrow-right.png", 0, BLUE, DBLUE),
                                    ("arrow-left.png", 180, BLUE, DBLUE),
                                    ("arrow-up.png", -90, GREEN, DGREEN),
                                    ("arrow-down.png", 90, RED, DRED),
                                    ("arrow-northeast.png", -45, ORANGE, DORANGE)]:
        out.append((name, 48, 48, [op(poly(transform(BLOCK_ARROW, 24, 24, 21, ang)),
                                      fill, stroke, 1.5)]))
    out.append(("arrow-double.png", 64, 32,
                [op(poly(transform(DOUBLE_ARROW, 32, 16, 30)), PURPLE, DPURPLE, 1.5)]))
    out.append(("arrow-curved.png", 48, 48,
                [op("path 'M 8,40 Q 8,12 34,12'", NONE, TEAL, 5),
                 op(arrowhead(44, 12, 0, 12), TEAL, TEAL, 1)]))
    out.append(("arrow-circular.png", 48, 48,
                [op(arc_path(24, 26, 15, 0, 270), NONE, GREEN, 5),
                 op(arrowhead(34, 11, 0, 12), GREEN, GREEN, 1)]))
    out.append(("arrow-u-turn.png", 48, 48,
                [op("path 'M 36,44 L 36,20 A 12,12 0 0,0 12,20 L 12,30'", NONE, BLUE, 5),
                 op(arrowhead(12, 42, 90, 12), BLUE, BLUE, 1)]))
    out.append(("chevrons-right.gif", 32, 32,
                [op(poly([(5, 6), (15, 16), (5, 26)], "polyline"), NONE, DGREY, 4),
                 op(poly([(16, 6), (26, 16), (16, 26)], "polyline"), NONE, DGREY, 4)]))
    out.append(("arrow-thin-right.gif", 48, 16,
                [op("line 3,8 38,8", NONE, BLACK, 2),
                 op(arrowhead(46, 8, 0, 10), BLACK, BLACK, 1)]))
    out.append(("arrow-big-right.bmp", 96, 64,
                [op(poly(transform(BLOCK_ARROW, 50, 35, 44)), "#B0B0B0"),
                 op(poly(transform(BLOCK_ARROW, 47, 32, 44)), RED, DRED, 2)]))
    return out


# ---- Borders -------------------------------------------------------------

def images_borders():
    out = []
    out.append(("border-single.png", 96, 96,
                [op("rectangle 3,3 92,92", NONE, DBLUE, 2)]))
    out.append(("border-double.png", 96, 96,
                [op("rectangle 2,2 93,93", NONE, BLACK, 2),
                 op("rectangle 7,7 88,88", NONE, BLACK, 1)]))
    out.append(("border-dashed.png", 96, 96,
                [op("stroke-dasharray 8 4 rectangle 3,3 92,92", NONE, RED, 2)]))
    dots = []
    for i in range(12):
        p = 5 + i * 86 / 11.0
        for x, y in [(p, 5), (p, 91), (5, p), (91, p)]:
            dots.append(op("circle %s %s" % (P(x, y), P(x + 2.2, y)), GREEN))
    out.append(("border-dotted.png", 96, 96, dots))
    out.append(("border-rounded.png", 96, 96,
                [op("roundrectangle 4,4 91,91 16,16", NONE, TEAL, 4)]))
    sc = []
    for i in range(8):
        p = 6 + i * 12
        for x, y in [(p, 6), (p, 90), (6, p), (90, p)]:
            sc.append(op("circle %s %s" % (P(x, y), P(x + 6, y)), PURPLE))
    sc.append(op("rectangle 6,6 90,90", WHITE))
    sc.append(op("rectangle 6,6 90,90", NONE, DPURPLE, 1))
    out.append(("border-scallop.png", 96, 96, sc))
    out.append(("corner-flourish.png", 64, 64,
                [op("path 'M 4,60 L 4,4 L 60,4'", NONE, DBROWN, 3),
                 op("path 'M 10,54 Q 10,10 54,10'", NONE, BROWN, 2),
                 op("path 'M 16,40 C 16,22 22,16 40,16'", NONE, BROWN, 1.5),
                 op("circle 14,14 18,14", GOLD, DBROWN, 1),
                 op("circle 54,10 56.5,10", DBROWN),
                 op("circle 10,54 12.5,54", DBROWN)]))
    ck = [op("rectangle 0,0 95,95", WHITE)]
    n = 12
    s = 96 / n
    for i in range(n):
        for j in range(n):
            if i in (0, n - 1) or j in (0, n - 1):
                color = BLACK if (i + j) % 2 == 0 else GOLD
                ck.append(op("rectangle %s %s" % (P(i * s, j * s), P(i * s + s - 1, j * s + s - 1)),
                             color))
    out.append(("border-checker.gif", 96, 96, ck))
    return out


# ---- Bullets -------------------------------------------------------------

def images_bullets():
    out = [
        ("bullet-round-blue.png", 16, 16,
         [op("circle 8,8 8,2", BLUE, DBLUE, 1), op("circle 6,6 6,4.5", LBLUE)]),
        ("bullet-round-red.png", 16, 16,
         [op("circle 8,8 8,2", RED, DRED, 1), op("circle 6,6 6,4.5", "#F3A0A3")]),
        ("bullet-square-green.png", 16, 16,
         [op("rectangle 3,3 12,12", GREEN, DGREEN, 1)]),
        ("bullet-diamond.png", 16, 16,
         [op(poly([(8, 1.5), (14.5, 8), (8, 14.5), (1.5, 8)]), PURPLE, DPURPLE, 1)]),
        ("bullet-star.png", 20, 20,
         [op(poly(star_points(5, 10, 10.5, 9, 3.8)), GOLD, DGOLD, 1)]),
        ("bullet-check.png", 16, 16,
         [op(poly([(2, 8), (6, 12.5), (14, 3)], "polyline"), NONE, GREEN, 2.5)]),
        ("bullet-arrow.png", 16, 16,
         [op(poly([(4, 2), (13, 8), (4, 14)]), ORANGE, DORANGE, 1)]),
        ("bullet-ring.png", 16, 16,
         [op("circle 8,8 8,3", NONE, TEAL, 2.5)]),
        ("bullet-triangle.png", 12, 12,
         [op(poly([(1, 2), (11, 2), (6, 10.5)]), DGREY)]),
        ("bullet-heart.png", 16, 16,
         [op("path 'M 8,14 C 2,10 0,6 3,3 C 5,1 7,2 8,4.5 C 9,2 11,1 13,3 "
             "C 16,6 14,10 8,14 Z'", RED, DRED, 0.8)]),
        ("bullet-plus.gif", 16, 16,
         [op("rectangle 6,2 9,13", BLUE), op("rectangle 2,6 13,9", BLUE)]),
        ("bullet-square-hollow.gif", 16, 16,
         [op("rectangle 3,3 12,12", NONE, BLACK, 2)]),
    ]
    return out


# ---- Buttons -------------------------------------------------------------

def button_base(w, h, color, dark, light):
    return [op("roundrectangle 1,1 %d,%d 7,7" % (w - 2, h - 2), color, dark, 1),
            op("roundrectangle 3,2.5 %d,%d 5,5" % (w - 4, h // 2), light)]


def images_buttons():
    out = []
    out.append(("button-back.png", 64, 24, button_base(64, 24, BLUE, DBLUE, "#6C9BD2") +
                [op(poly([(22, 12), (34, 5), (34, 19)]), WHITE),
                 op("rectangle 36,9 44,15", WHITE)]))
    out.append(("button-next.png", 64, 24, button_base(64, 24, BLUE, DBLUE, "#6C9BD2") +
                [op(poly([(42, 12), (30, 5), (30, 19)]), WHITE),
                 op("rectangle 20,9 28,15", WHITE)]))
    out.append(("button-play.png", 32, 32,
                [op("circle 16,16 16,1.5", GREEN, DGREEN, 1),
                 op(poly([(12, 8), (24, 16), (12, 24)]), WHITE)]))
    out.append(("button-pause.png", 32, 32,
                [op("circle 16,16 16,1.5", ORANGE, DORANGE, 1),
                 op("rectangle 10,9 14,23", WHITE), op("rectangle 18,9 22,23", WHITE)]))
    out.append(("button-stop.png", 32, 32,
                [op("circle 16,16 16,1.5", RED, DRED, 1),
                 op("rectangle 10,10 22,22", WHITE)]))
    out.append(("button-plus.png", 32, 32,
                [op("roundrectangle 1,1 30,30 6,6", TEAL, DTEAL, 1),
                 op("rectangle 14,7 17,24", WHITE), op("rectangle 7,14 24,17", WHITE)]))
    out.append(("button-minus.png", 32, 32,
                [op("roundrectangle 1,1 30,30 6,6", TEAL, DTEAL, 1),
                 op("rectangle 7,14 24,17", WHITE)]))
    out.append(("button-close.png", 32, 32,
                [op("roundrectangle 1,1 30,30 6,6", DGREY, BLACK, 1),
                 op("line 10,10 21,21", NONE, WHITE, 3),
                 op("line 21,10 10,21", NONE, WHITE, 3)]))
    return out


# ---- Callouts ------------------------------------------------------------

def images_callouts():
    out = []
    out.append(("speech-round.png", 96, 72,
                [op(poly([(28, 44), (18, 68), (44, 48)]), WHITE, BLACK, 2),
                 op("ellipse 48,28 44,24 0,360", WHITE, BLACK, 2),
                 op(poly([(29, 42), (20, 64), (43, 46)]), WHITE)]))
    out.append(("speech-square.png", 96, 72,
                [op("roundrectangle 3,3 92,50 8,8", LBLUE, DBLUE, 2),
                 op(poly([(60, 49), (76, 69), (72, 49)]), LBLUE, DBLUE, 2),
                 op("rectangle 61,46 71,50", LBLUE)]))
    cloud = [op("circle 6,64 10,64", WHITE, GREY, 1.5),
             op("circle 14,54 20,54", WHITE, GREY, 1.5)]
    for cx, cy, r in [(30, 30, 16), (50, 22, 18), (70, 30, 16), (58, 42, 14), (38, 42, 14)]:
        cloud.append(op("circle %d,%d %d,%d" % (cx, cy, cx + r, cy), WHITE, GREY, 1.5))
    for cx, cy, r in [(30, 30, 15), (50, 22, 17), (70, 30, 15), (58, 42, 13), (38, 42, 13)]:
        cloud.append(op("circle %d,%d %d,%d" % (cx, cy, cx + r, cy), WHITE))
    out.append(("thought-cloud.png", 96, 72, cloud))
    out.append(("callout-left.png", 96, 48,
                [op(poly([(3, 24), (20, 12), (20, 3), (92, 3), (92, 44), (20, 44), (20, 36)]),
                    "#FFF4C2", DGOLD, 2)]))
    out.append(("callout-down.png", 72, 72,
                [op(poly([(3, 3), (68, 3), (68, 46), (44, 46), (36, 68), (30, 46), (3, 46)]),
                    LGREEN, DGREEN, 2)]))
    out.append(("burst.png", 80, 80,
                [op(poly(star_points(14, 40, 40, 38, 26)), GOLD, RED, 2),
                 op(poly(star_points(14, 40, 40, 24, 18, -77)), "#FFE680")]))
    out.append(("sticky-note.png", 64, 64,
                [op(poly([(5, 5), (60, 5), (60, 46), (46, 60), (5, 60)]), "#C8C8A0"),
                 op(poly([(3, 3), (58, 3), (58, 44), (44, 58), (3, 58)]), "#FFF08A", DGOLD, 1),
                 op(poly([(58, 44), (46, 46), (44, 58)]), "#E0C850", DGOLD, 1),
                 op("line 10,16 50,16", NONE, "#B0A040", 1),
                 op("line 10,26 50,26", NONE, "#B0A040", 1),
                 op("line 10,36 40,36", NONE, "#B0A040", 1)]))
    return out


# ---- Charts --------------------------------------------------------------

def axes(w, h):
    return [op("line 6,4 6,%d" % (h - 6), NONE, DGREY, 1.5),
            op("line 6,%d %d,%d" % (h - 6, w - 3, h - 6), NONE, DGREY, 1.5)]


def images_charts():
    out = []
    ops = axes(64, 48)
    for i, (v, c) in enumerate([(26, BLUE), (44, ORANGE), (34, GREEN), (18, RED)]):
        y = 8 + i * 8
        ops.append(op("rectangle 7,%d %d,%d" % (y, 7 + v, y + 5), c))
    out.append(("bar-chart.png", 64, 48, ops))
    ops = axes(64, 48)
    for i, (v, c) in enumerate([(18, BLUE), (30, BLUE), (24, BLUE), (36, BLUE), (28, BLUE)]):
        x = 10 + i * 10
        ops.append(op("rectangle %d,%d %d,41" % (x, 42 - v, x + 6), c, DBLUE, 1))
    out.append(("column-chart.png", 64, 48, ops))
    ops = axes(64, 48)
    for i, parts in enumerate([(10, 8, 6), (14, 10, 8), (8, 12, 10), (16, 9, 12)]):
        x = 11 + i * 12
        y = 42
        for v, c in zip(parts, (TEAL, GOLD, PURPLE)):
            ops.append(op("rectangle %d,%d %d,%d" % (x, y - v, x + 8, y - 1), c))
            y -= v
    out.append(("stacked-columns.png", 64, 48, ops))
    pts = [(8, 34), (18, 26), (28, 30), (38, 16), (48, 20), (58, 8)]
    ops = axes(64, 48) + [op(poly(pts, "polyline"), NONE, RED, 2)]
    ops += [op("circle %s %s" % (P(x, y), P(x + 2, y)), WHITE, RED, 1.2) for x, y in pts]
    out.append(("line-chart.png", 64, 48, ops))
    pts = [(7, 41), (7, 30), (18, 22), (30, 28), (42, 14), (58, 18), (58, 41)]
    out.append(("area-chart.png", 64, 48,
                [op(poly(pts), LGREEN, GREEN, 1.5)] + axes(64, 48)))
    ops = []
    a = -90.0
    for frac, c in [(0.42, BLUE), (0.25, ORANGE), (0.18, GREEN), (0.15, GOLD)]:
        b = a + 360 * frac
        ops.append(op(wedge_path(24, 24, 21, a, b), c, WHITE, 1.5))
        a = b
    out.append(("pie-chart.png", 48, 48, ops))
    ops = []
    a = -90.0
    for frac, c in [(0.5, TEAL), (0.3, PURPLE), (0.2, GREY)]:
        b = a + 360 * frac
        ops.append(op(wedge_path(24, 24, 21, a, b), c, WHITE, 1.5))
        a = b
    ops.append(op("circle 24,24 24,35", WHITE))
    out.append(("donut-chart.png", 48, 48, ops))
    ops = axes(64, 48)
    for k in range(18):
        h = hashlib.sha256(b"scatter%d" % k).digest()
        x = 10 + (h[0] % 48)
        y = 38 - (x - 10) * 0.55 + (h[1] % 11) - 5
        ops.append(op("circle %s %s" % (P(x, y), P(x + 1.8, y)), PURPLE if k % 3 else ORANGE))
    out.append(("scatter-plot.png", 64, 48, ops))
    return out


# ---- Dividers ------------------------------------------------------------

def images_dividers():
    out = []
    out.append(("divider-line.png", 96, 8, [op("line 2,4 93,4", NONE, DGREY, 1.5)]))
    out.append(("divider-double.png", 96, 10,
                [op("line 2,3 93,3", NONE, DBLUE, 1.5), op("line 2,7 93,7", NONE, DBLUE, 1)]))
    out.append(("divider-dotted.png", 96, 8,
                [op("circle %d,4 %d,4" % (x, x + 1.5), GREY) for x in range(4, 96, 6)]))
    out.append(("divider-dashed.png", 96, 8,
                [op("stroke-dasharray 10 5 line 2,4 93,4", NONE, TEAL, 2)]))
    out.append(("divider-wave.png", 96, 16,
                [op(poly(wave_points(2, 94, 8, 4.5, 16), "polyline"), NONE, BLUE, 2)]))
    zz = [(2 + i * 6, 4 if i % 2 == 0 else 12) for i in range(16)]
    out.append(("divider-zigzag.png", 96, 16, [op(poly(zz, "polyline"), NONE, RED, 1.5)]))
    out.append(("divider-diamonds.png", 96, 12,
                [op(poly([(x, 6), (x + 4, 2), (x + 8, 6), (x + 4, 10)]),
                    PURPLE if (x // 12) % 2 else GOLD) for x in range(2, 90, 12)]))
    out.append(("divider-ornament.png", 96, 16,
                [op("line 4,8 38,8", NONE, DBROWN, 1), op("line 58,8 92,8", NONE, DBROWN, 1),
                 op(poly([(48, 2), (55, 8), (48, 14), (41, 8)]), GOLD, DBROWN, 1),
                 op("circle 36,8 37.8,8", DBROWN), op("circle 60,8 61.8,8", DBROWN),
                 op("circle 4,8 5.2,8", DBROWN), op("circle 92,8 93.2,8", DBROWN)]))
    fade = []
    for i in range(12):
        g = 40 + abs(i - 5.5) * 36
        col = "#%02X%02X%02X" % (int(g), int(g), int(g))
        fade.append(op("rectangle %d,3 %d,4" % (i * 8, i * 8 + 7), col))
    out.append(("divider-fade.gif", 96, 8, fade))
    return out


# ---- Flowchart -----------------------------------------------------------

FC_FILL, FC_LINE = "#DCE9F7", DBLUE


def images_flowchart():
    f, s = FC_FILL, FC_LINE
    out = [
        ("process.png", 80, 48, [op("rectangle 3,6 76,41", f, s, 2)]),
        ("decision.png", 80, 56, [op(poly([(40, 3), (77, 28), (40, 53), (3, 28)]), f, s, 2)]),
        ("terminator.png", 80, 40, [op("roundrectangle 3,5 76,34 15,15", f, s, 2)]),
        ("data.png", 80, 48, [op(poly([(16, 6), (77, 6), (64, 41), (3, 41)]), f, s, 2)]),
        ("document.png", 80, 56,
         [op("path 'M 3,4 L 76,4 L 76,44 C 58,36 40,58 22,48 C 14,44 8,44 3,46 Z'", f, s, 2)]),
        ("connector.png", 40, 40, [op("circle 20,20 20,3", f, s, 2)]),
        ("manual-input.png", 80, 48, [op(poly([(3, 18), (76, 5), (76, 42), (3, 42)]), f, s, 2)]),
        ("preparation.png", 80, 48,
         [op(poly([(16, 5), (64, 5), (77, 24), (64, 43), (16, 43), (3, 24)]), f, s, 2)]),
        ("database.png", 56, 64,
         [op("rectangle 4,12 51,52", f), op("line 4,12 4,52", NONE, s, 2),
          op("line 51,12 51,52", NONE, s, 2),
          op("path 'M 4,52 A 23.5,8 0 0,0 51,52'", f, s, 2),
          op("ellipse 27.5,12 23.5,8 0,360", "#EEF4FB", s, 2)]),
        ("off-page.png", 48, 56,
         [op(poly([(4, 3), (43, 3), (43, 36), (24, 52), (4, 36)]), f, s, 2)]),
    ]
    return out


# ---- Frames --------------------------------------------------------------

def images_frames():
    out = []
    out.append(("frame-plain.png", 96, 96,
                [op("rectangle 5,5 90,90", NONE, BROWN, 8),
                 op("rectangle 1,1 94,94", NONE, DBROWN, 1),
                 op("rectangle 9,9 86,86", NONE, DBROWN, 1)]))
    out.append(("frame-rounded.png", 96, 96,
                [op("roundrectangle 5,5 90,90 14,14", NONE, TEAL, 7),
                 op("roundrectangle 10,10 85,85 10,10", NONE, DTEAL, 1)]))
    out.append(("frame-oval.png", 72, 96,
                [op("ellipse 36,48 31,43 0,360", NONE, GOLD, 7),
                 op("ellipse 36,48 34,46 0,360", NONE, DGOLD, 1),
                 op("ellipse 36,48 27,39 0,360", NONE, DGOLD, 1)]))
    out.append(("frame-photo.png", 80, 96,
                [op("rectangle 6,6 77,93", "#00000040"),
                 op("rectangle 3,3 74,90", WHITE, "#C0C0C0", 1),
                 op("rectangle 9,9 68,68", "#8FC3EA"),
                 op("path 'M 9,56 Q 30,40 50,52 T 68,48 L 68,68 L 9,68 Z'", "#5DA84A"),
                 op("circle 54,22 58,22", GOLD)]))
    out.append(("frame-double.png", 96, 72,
                [op("rectangle 2,2 93,69", NONE, DBLUE, 3),
                 op("rectangle 9,9 86,62", NONE, BLUE, 1.5)]))
    out.append(("frame-shadow.png", 96, 72,
                [op("rectangle 8,8 93,69", "#00000050"),
                 op("rectangle 2,2 87,63", WHITE, DGREY, 2)]))
    film = [op("rectangle 0,0 95,63", "#202020")]
    for x in range(4, 96, 10):
        film.append(op("rectangle %d,3 %d,8" % (x, x + 5), WHITE))
        film.append(op("rectangle %d,55 %d,60" % (x, x + 5), WHITE))
    film += [op("rectangle 4,13 44,50", "#7FA7C9"), op("rectangle 51,13 91,50", "#C99F7F")]
    out.append(("frame-film.png", 96, 64, film))
    return out


# ---- Icons ---------------------------------------------------------------

def images_icons():
    out = [
        ("house.png", 32, 32,
         [op(poly([(16, 3), (30, 15), (26, 15), (26, 29), (6, 29), (6, 15), (2, 15)]),
             "#F2E3C6", DBROWN, 1.5),
          op(poly([(16, 2), (31, 15), (1, 15)]), RED, DRED, 1),
          op("rectangle 13,19 19,29", BROWN), op("rectangle 20,18 24,22", LBLUE, DBROWN, 0.8)]),
        ("envelope.png", 32, 32,
         [op("rectangle 2,7 29,24", WHITE, DGREY, 1.5),
          op(poly([(2, 7), (16, 18), (29, 7)], "polyline"), NONE, DGREY, 1.5)]),
        ("telephone.png", 32, 32,
         [op(poly([(8, 14), (24, 14), (29, 28), (3, 28)]), DGREY, BLACK, 1),
          op("roundrectangle 2,6 29,11 3,3", BLACK),
          op("circle 16,21 19.5,21", LGREY, BLACK, 1), op("circle 16,21 17,21", BLACK)]),
        ("clock.png", 32, 32,
         [op("circle 16,16 16,2", WHITE, DBLUE, 2.5)] +
         [op("line %s %s" % (P(16 + 10.5 * math.cos(a), 16 + 10.5 * math.sin(a)),
                             P(16 + 12.5 * math.cos(a), 16 + 12.5 * math.sin(a))), NONE, DGREY, 1.5)
          for a in (math.radians(30 * k) for k in range(12))] +
         [op("line 16,16 16,8", NONE, BLACK, 2), op("line 16,16 22,19", NONE, BLACK, 2),
          op("circle 16,16 17.3,16", RED)]),
        ("calendar.png", 32, 32,
         [op("rectangle 3,5 28,29", WHITE, DGREY, 1.5), op("rectangle 3,5 28,11", RED),
          op("rectangle 8,2 10,8", DGREY), op("rectangle 21,2 23,8", DGREY)] +
         [op("rectangle %d,%d %d,%d" % (6 + 5 * c, 14 + 5 * r, 8 + 5 * c, 16 + 5 * r),
             BLUE if (r, c) == (1, 2) else GREY) for r in range(3) for c in range(4)]),
        ("magnifier.png", 32, 32,
         [op("line 19,19 29,29", NONE, DBROWN, 5),
          op("circle 13,13 13,3", "#DDEEFF", DGREY, 3)]),
        ("lightbulb.png", 32, 32,
         [op("circle 16,12 16,2", "#FFE97A", DGOLD, 1.5),
          op("rectangle 12,19 20,27", GREY, DGREY, 1),
          op("line 12,22 20,22", NONE, DGREY, 1), op("line 12,25 20,25", NONE, DGREY, 1),
          op("path 'M 14,18 L 14,12 L 16,14 L 18,12 L 18,18'", NONE, DORANGE, 1)]),
        ("key.png", 32, 32,
         [op("circle 9,16 9,9", GOLD, DGOLD, 1.5), op("circle 7,16 8.8,16", WHITE),
          op("rectangle 15,14.5 30,17.5", GOLD, DGOLD, 1),
          op("rectangle 23,17 25,22", GOLD, DGOLD, 1), op("rectangle 27,17 29,21", GOLD, DGOLD, 1)]),
        ("padlock.png", 32, 32,
         [op("path 'M 10,15 L 10,10 A 6,6 0 0,1 22,10 L 22,15'", NONE, GREY, 3),
          op("roundrectangle 6,14 26,29 3,3", GOLD, DGOLD, 1.5),
          op("circle 16,20 17.8,20", DGREY), op("rectangle 15.2,20 16.8,25", DGREY)]),
        ("folder.png", 32, 32,
         [op(poly([(2, 6), (12, 6), (15, 9), (29, 9), (29, 27), (2, 27)]), "#E8B64C", "#9B7412", 1),
          op(poly([(2, 13), (29, 13), (29, 27), (2, 27)]), "#F6CF6A", "#9B7412", 1)]),
        ("printer.png", 32, 32,
         [op("rectangle 8,3 23,12", WHITE, DGREY, 1),
          op("roundrectangle 2,11 29,23 3,3", GREY, DGREY, 1.5),
          op("rectangle 8,19 23,29", WHITE, DGREY, 1),
          op("line 11,23 20,23", NONE, GREY, 1), op("line 11,26 18,26", NONE, GREY, 1),
          op("circle 25,15 26,15", GREEN)]),
        ("pencil.png", 32, 32,
         [op(poly(transform([(-12, -3), (8, -3), (13, 0), (8, 3), (-12, 3)], 16, 16, 1, -45)),
             GOLD, DGOLD, 1),
          op(poly(transform([(8, -3), (13, 0), (8, 3)], 16, 16, 1, -45)), "#F2D8B0", DGOLD, 0.8),
          op(poly(transform([(-15, -3), (-12, -3), (-12, 3), (-15, 3)], 16, 16, 1, -45)),
             "#F08CA0", DRED, 0.8)]),
    ]
    return out


# ---- Numbers -------------------------------------------------------------

def images_numbers():
    colors = [(BLUE, DBLUE), (RED, DRED), (GREEN, DGREEN), (ORANGE, DORANGE),
              (PURPLE, DPURPLE), (TEAL, DTEAL)]
    out = []
    for d in range(10):
        fill, line = colors[d % len(colors)]
        ops = [op("circle 16,16 16,1.5", fill, line, 1.5)]
        ops += digit_ops(str(d), 11, 8, 21, 24, 2.6, WHITE)
        out.append(("digit-%d.png" % d, 32, 32, ops))
    return out


# ---- Seasons -------------------------------------------------------------

def images_seasons():
    out = []
    flake = []
    for k in range(6):
        a = -90 + 60 * k
        flake.append(op("line 24,24 %s" % P(24 + 20 * math.cos(math.radians(a)),
                                            24 + 20 * math.sin(math.radians(a))),
                        NONE, "#5AA0E0", 2.5))
        for dist, length in ((10, 6), (15, 4)):
            bx = 24 + dist * math.cos(math.radians(a))
            by = 24 + dist * math.sin(math.radians(a))
            for side in (-45, 45):
                flake.append(op("line %s %s" % (P(bx, by), P(
                    bx + length * math.cos(math.radians(a + side)),
                    by + length * math.sin(math.radians(a + side)))), NONE, "#5AA0E0", 1.8))
    out.append(("snowflake.png", 48, 48, flake))
    sun = []
    for k in range(12):
        a = math.radians(30 * k)
        sun.append(op(poly([(24 + 22 * math.cos(a), 24 + 22 * math.sin(a)),
                            (24 + 13 * math.cos(a + 0.22), 24 + 13 * math.sin(a + 0.22)),
                            (24 + 13 * math.cos(a - 0.22), 24 + 13 * math.sin(a - 0.22))]),
                      ORANGE))
    sun.append(op("circle 24,24 24,11", GOLD, ORANGE, 1.5))
    out.append(("sun.png", 48, 48, sun))
    out.append(("autumn-leaf.png", 48, 48,
                [op("line 7,43 17,33", NONE, DBROWN, 2.5),
                 op(poly(leaf_points(28, 21, 36, 30, -45)), "#D2691E", "#8B3A0E", 1.5),
                 op("line 15,35 39,10", NONE, "#8B3A0E", 1.2),
                 op("line 24,26 22,16", NONE, "#8B3A0E", 1),
                 op("line 24,26 34,28", NONE, "#8B3A0E", 1),
                 op("line 30,20 29,11", NONE, "#8B3A0E", 1),
                 op("line 30,20 38,21", NONE, "#8B3A0E", 1)]))
    flower = [op("line 24,26 24,46", NONE, DGREEN, 2.5),
              op(poly(leaf_points(30, 38, 12, 6, -30)), GREEN)]
    for k in range(6):
        a = math.radians(60 * k)
        cx, cy = 24 + 8 * math.cos(a), 18 + 8 * math.sin(a)
        flower.append(op("circle %s %s" % (P(cx, cy), P(cx + 6, cy)), "#F48FB1", "#C2185B", 1))
    flower.append(op("circle 24,18 28,18", GOLD, DORANGE, 1))
    out.append(("spring-flower.png", 48, 48, flower))
    out.append(("umbrella.png", 48, 48,
                [op("path 'M 24,20 L 24,40 A 4,4 0 0,1 16,40'", NONE, DGREY, 2.5),
                 op("path 'M 3,22 A 21,17 0 0,1 45,22 Q 38,17 31,22 Q 24,17 17,22 "
                    "Q 10,17 3,22 Z'", RED, DRED, 1.5),
                 op("line 24,5 24,3", NONE, DGREY, 2)]))
    out.append(("snowman.png", 48, 64,
                [op("circle 24,48 24,34", WHITE, "#9DB4CC", 1.5),
                 op("circle 24,26 24,16", WHITE, "#9DB4CC", 1.5),
                 op("rectangle 16,12 32,14", BLACK), op("rectangle 19,1 29,13", BLACK),
                 op("circle 21,24 22,24", BLACK), op("circle 27,24 28,24", BLACK),
                 op(poly([(24, 27), (32, 29), (24, 29.5)]), ORANGE),
                 op("rectangle 14,33 34,36", RED),
                 op("circle 24,43 25,43", BLACK), op("circle 24,50 25,50", BLACK)]))
    out.append(("pine-tree.png", 48, 64,
                [op("rectangle 21,50 27,61", BROWN),
                 op(poly([(24, 26), (44, 52), (4, 52)]), DGREEN),
                 op(poly([(24, 14), (40, 38), (8, 38)]), GREEN),
                 op(poly([(24, 3), (35, 24), (13, 24)]), "#4CB05A"),
                 op(poly(star_points(5, 24, 5, 4.5, 2)), GOLD)]))
    out.append(("sunset.jpg", 96, 64, None))
    return out


def sunset_jpg():
    """The one photographic-style clip: needs a gradient base, so it has its
    own command line."""
    return ["-size", "96x64", "gradient:#F7B267-#5B2A86",
            "-fill", "#FFE08A", "-stroke", "none", "-draw", "circle 48,42 48,28",
            "-fill", "#1B3F6B", "-draw", "rectangle 0,44 95,63",
            "-fill", "#F4A259", "-draw", "rectangle 36,48 60,49",
            "-fill", "#F4A259", "-draw", "rectangle 40,53 56,54",
            "-fill", "#F4A259", "-draw", "rectangle 44,58 52,59",
            "-strip", "-quality", "88", "-sampling-factor", "2x2"]


# ---- Shapes --------------------------------------------------------------

def images_shapes():
    return [
        ("circle.png", 48, 48, [op("circle 24,24 24,3", BLUE, DBLUE, 2)]),
        ("cross.png", 48, 48,
         [op(poly([(17, 3), (31, 3), (31, 17), (45, 17), (45, 31), (31, 31), (31, 45),
                   (17, 45), (17, 31), (3, 31), (3, 17), (17, 17)]), RED, DRED, 2)]),
        ("heart.png", 48, 48,
         [op("path 'M 24,43 C 8,31 2,21 7,12 C 12,4 21,6 24,14 C 27,6 36,4 41,12 "
             "C 46,21 40,31 24,43 Z'", "#E2445C", DRED, 2)]),
        ("hexagon.gif", 48, 48, [op(poly(regular(6, 24, 24, 21, 0)), TEAL, DTEAL, 2)]),
        ("octagon.gif", 48, 48, [op(poly(regular(8, 24, 24, 21, -67.5)), RED, DRED, 2)]),
        ("pentagon.png", 48, 48, [op(poly(regular(5, 24, 26, 21)), PURPLE, DPURPLE, 2)]),
        ("square.bmp", 48, 48, [op("rectangle 5,5 42,42", GREEN, DGREEN, 2)]),
        ("star.png", 48, 48, [op(poly(star_points(5, 24, 26, 22, 9)), GOLD, DGOLD, 2)]),
        ("triangle.png", 48, 48, [op(poly([(24, 4), (45, 42), (3, 42)]), ORANGE, DORANGE, 2)]),
    ]


# ---- Symbols -------------------------------------------------------------

def images_symbols():
    return [
        ("check-mark.png", 32, 32,
         [op(poly([(4, 16), (12, 25), (28, 6)], "polyline"), NONE, GREEN, 5)]),
        ("cross-mark.png", 32, 32,
         [op("line 6,6 26,26", NONE, RED, 5), op("line 26,6 6,26", NONE, RED, 5)]),
        ("information.png", 32, 32,
         [op("circle 16,16 16,1.5", BLUE, DBLUE, 1.5),
          op("circle 16,9 17.9,9", WHITE), op("rectangle 14.3,13 17.7,25", WHITE)]),
        ("question.png", 32, 32,
         [op("circle 16,16 16,1.5", PURPLE, DPURPLE, 1.5),
          op(poly([(16 + 5 * math.cos(math.radians(a)), 11 + 5 * math.sin(math.radians(a)))
                   for a in range(195, 375, 15)] + [(20.2, 14.2), (16.8, 16.4), (16, 17.5),
                                                     (16, 20.5)], "polyline"),
             NONE, WHITE, 3),
          op("circle 16,25 17.8,25", WHITE)]),
        ("warning.png", 32, 32,
         [op(poly([(16, 2), (30.5, 28), (1.5, 28)]), GOLD, BLACK, 1.5),
          op(poly([(14.5, 10), (17.5, 10), (16.8, 20), (15.2, 20)]), BLACK),
          op("circle 16,24 17.7,24", BLACK)]),
    ]


IMAGE_FOLDERS = [
    ("Arrows", images_arrows), ("Borders", images_borders),
    ("Bullets", images_bullets), ("Buttons", images_buttons),
    ("Callouts", images_callouts), ("Charts", images_charts),
    ("Dividers", images_dividers), ("Flowchart", images_flowchart),
    ("Frames", images_frames), ("Icons", images_icons),
    ("Numbers", images_numbers), ("Seasons", images_seasons),
    ("Shapes", images_shapes), ("Symbols", images_symbols),
]

PNG_OPTS = ["-define", "png:exclude-chunks=date,time", "+set", "date:create",
            "+set", "date:modify", "-strip"]


def output_args(path):
    ext = os.path.splitext(path)[1].lower()
    if ext == ".png":
        return PNG_OPTS + ["PNG32:" + path]
    if ext == ".gif":
        return ["-strip", "GIF:" + path]
    if ext == ".bmp":
        return ["-strip", "-alpha", "off", "-type", "TrueColor", "BMP3:" + path]
    if ext == ".jpg":
        return ["-strip", "JPG:" + path]
    raise ValueError(path)


def draw_image(path, w, h, ops):
    ext = os.path.splitext(path)[1].lower()
    if ops is None:
        subprocess.run(["convert"] + sunset_jpg() + ["JPG:" + path], check=True)
        return
    bg = "none" if ext == ".png" else "white"
    cmd = ["convert", "-size", "%dx%d" % (w, h), "xc:" + bg]
    for fill, stroke, width, prim in ops:
        if prim.startswith(("polyline", "path")):
            # round joins avoid the spurs that sharp miters leave on thick strokes
            prim = "stroke-linejoin round stroke-linecap round " + prim
        cmd += ["-fill", fill, "-stroke", stroke, "-strokewidth", "%g" % width,
                "-draw", prim]
    cmd += output_args(path)
    subprocess.run(cmd, check=True)


# --------------------------------------------------------------------------
# Application icon
# --------------------------------------------------------------------------

ICON_BLUE, ICON_DARK = "#1E5B96", "#123E69"


def icon_ops(with_quill):
    ops = [op("roundrectangle 6,6 249,249 46,46", ICON_DARK),
           op("roundrectangle 8,8 247,243 44,44", ICON_BLUE),
           op("roundrectangle 20,14 235,120 36,36", "#FFFFFF14"),
           op(poly([(70, 46), (174, 46), (206, 78), (206, 226), (70, 226)]), "#00000055"),
           op(poly([(62, 38), (166, 38), (198, 70), (198, 218), (62, 218)]), WHITE),
           op(poly([(166, 38), (166, 70), (198, 70)]), "#C6D6EA"),
           op("rectangle 82,76 178,100", ICON_BLUE),
           op("rectangle 118,76 142,196", ICON_BLUE)]
    if with_quill:
        ops += [op("line 226,44 150,196", NONE, "#5A3A1A", 5),
                op(poly(leaf_points(198, 100, 130, 40, -63.4)), GOLD, "#9B7412", 3),
                op("line 228,40 166,164", NONE, "#9B7412", 3),
                op(poly([(150, 196), (156, 180), (166, 185)]), "#2A2A2A")]
    else:
        ops += [op("line 82,206 178,206", NONE, "#9DB4CC", 10)]
    return ops


def make_icon(res_dir, tmp):
    png = os.path.join(res_dir, "tessaron.png")
    draw_image(png, 256, 256, icon_ops(True))
    simple = os.path.join(tmp, "icon-simple-256.png")
    draw_image(simple, 256, 256, icon_ops(False))
    parts = [png]
    for size, src in ((48, png), (32, png), (16, simple)):
        out = os.path.join(tmp, "icon-%d.png" % size)
        subprocess.run(["convert", src, "-filter", "Lanczos", "-resize",
                        "%dx%d" % (size, size)] + PNG_OPTS + ["PNG32:" + out], check=True)
        parts.append(out)
    ico = os.path.join(res_dir, "tessaron.ico")
    subprocess.run(["convert"] + parts + ["-strip", "ICO:" + ico], check=True)
    check_icon(ico)


def check_icon(path):
    data = open(path, "rb").read()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    assert (reserved, kind, count) == (0, 1, 4), (reserved, kind, count)
    sizes = []
    for i in range(count):
        w, h, colors, _, planes, bits, size, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        assert bits == 32, (i, bits)
        assert w == h and offset + size <= len(data)
        sizes.append(w or 256)
    assert sizes == [256, 48, 32, 16], sizes


# --------------------------------------------------------------------------
# Time stamps and listing
# --------------------------------------------------------------------------

import datetime

RELEASE_STAMP = datetime.datetime(2026, 11, 17, 14, 38, 24)

# folder -> (first day, number of days over which its files were edited)
FOLDER_DATES = {
    "Templates\\Letters": ((2025, 2, 10), 20),
    "Templates\\Memos": ((2025, 3, 3), 25),
    "Templates\\Stories": ((2025, 9, 15), 30),
    "Templates\\TOCs": ((2025, 5, 12), 40),
    "Clip Library\\Closings": ((2025, 1, 20), 60),
    "Clip Library\\Greetings": ((2025, 11, 3), 35),
    "Clip Library\\Headers & Footers": ((2025, 4, 7), 45),
    "Clip Library\\Miscellaneous": ((2026, 2, 2), 120),
    "Clip Library\\Phrases": ((2025, 7, 14), 50),
    "Clip Library\\Salutations": ((2025, 1, 27), 10),
    "Clip Library\\Tables": ((2026, 5, 11), 60),
}
IMAGE_FOLDER_START = (2025, 6, 2)   # image folders follow each other from here
IMAGE_FOLDER_STEP = 31              # days between the starts of two folders
IMAGE_FOLDER_SPAN = 21


def folder_dates(folder):
    if folder in FOLDER_DATES:
        return FOLDER_DATES[folder]
    prefix = "Clip Library\\Images\\"
    assert folder.startswith(prefix), folder
    index = [name for name, _ in IMAGE_FOLDERS].index(folder[len(prefix):])
    start = datetime.date(*IMAGE_FOLDER_START) + datetime.timedelta(days=IMAGE_FOLDER_STEP * index)
    return (start.year, start.month, start.day), IMAGE_FOLDER_SPAN


def stamp_for(name):
    """A reproducible working-hours time stamp with even seconds."""
    if name in ("tsd.exe", "License.txt"):
        return RELEASE_STAMP
    folder = name.rsplit("\\", 1)[0]
    (y, m, d), span = folder_dates(folder)
    h = hashlib.sha256(name.encode("utf-8")).digest()
    day = datetime.date(y, m, d) + datetime.timedelta(days=h[0] % span)
    if day.weekday() >= 5:          # move weekend edits to the Monday
        day += datetime.timedelta(days=7 - day.weekday())
    stamp = datetime.datetime(day.year, day.month, day.day, 8 + h[1] % 11, h[2] % 60,
                              2 * (h[3] % 30))
    assert datetime.datetime(2025, 1, 1) <= stamp < datetime.datetime(2026, 11, 30), (name, stamp)
    return stamp


# --------------------------------------------------------------------------
# Main
# --------------------------------------------------------------------------

TEXT_FOLDERS = [
    ("Closings", CLOSINGS), ("Greetings", GREETINGS),
    ("Headers & Footers", HEADERS_FOOTERS), ("Images", None),
    ("Miscellaneous", MISCELLANEOUS), ("Phrases", PHRASES),
    ("Salutations", SALUTATIONS), ("Tables", TABLES),
]

EXPECTED_COUNTS = {
    "Templates\\Letters": 4, "Templates\\Memos": 5, "Templates\\Stories": 2,
    "Templates\\TOCs": 5, "Clip Library\\Closings": 28, "Clip Library\\Greetings": 7,
    "Clip Library\\Headers & Footers": 16, "Clip Library\\Images": 125,
    "Clip Library\\Miscellaneous": 16, "Clip Library\\Phrases": 28,
    "Clip Library\\Salutations": 13, "Clip Library\\Tables": 9,
}


def write_file(root, name, data):
    path = os.path.join(root, *name.split("\\"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    return path


def case_key(name):
    return name.lower()


def build(root):
    res_dir = os.path.join(root, "resources")
    payload = os.path.join(res_dir, "payload")
    for sub in ("Templates", "Clip Library"):
        shutil.rmtree(os.path.join(payload, sub), ignore_errors=True)
    os.makedirs(payload, exist_ok=True)

    entries = ["tsd.exe", "License.txt"]
    write_file(payload, "License.txt", make_license())

    for folder, items in TEMPLATES:
        for fname, fn in sorted(items, key=lambda t: case_key(t[0])):
            name = "Templates\\%s\\%s" % (folder, fname)
            write_file(payload, name, fn().encode("ascii"))
            entries.append(name)

    for folder, items in TEXT_FOLDERS:
        if items is None:
            for sub, fn in IMAGE_FOLDERS:
                for fname, w, h, ops in fn():
                    name = "Clip Library\\Images\\%s\\%s" % (sub, fname)
                    path = os.path.join(payload, *name.split("\\"))
                    os.makedirs(os.path.dirname(path), exist_ok=True)
                    draw_image(path, w, h, ops)
                    entries.append(name)
            continue
        for fname, data in sorted(items, key=lambda t: case_key(t[0])):
            name = "Clip Library\\%s\\%s" % (folder, fname)
            write_file(payload, name, data)
            entries.append(name)

    with tempfile.TemporaryDirectory() as tmp:
        make_icon(res_dir, tmp)

    lines = ["# Payload entries in stored order: name<TAB>time stamp (local time)"]
    for name in entries:
        stamp = stamp_for(name)
        lines.append("%s\t%s" % (name, stamp.strftime("%Y-%m-%d %H:%M:%S")))
        if name != "tsd.exe":
            path = os.path.join(payload, *name.split("\\"))
            t = stamp.timestamp()
            os.utime(path, (t, t))
    with open(os.path.join(payload, "listing.txt"), "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    verify(payload, entries)
    return entries


def verify(payload, entries):
    assert len(entries) == 260, len(entries)
    keys = [case_key(n) for n in entries]
    assert len(set(keys)) == len(keys), "duplicate names"
    counts = {}
    for name in entries:
        assert all(32 <= ord(c) < 127 for c in name), name
        assert len(name) <= 61, (name, len(name))
        parts = name.split("\\")
        if len(parts) > 2:
            key = "\\".join(parts[:2])
            counts[key] = counts.get(key, 0) + 1
        if name != "tsd.exe":
            size = os.path.getsize(os.path.join(payload, *parts))
            assert size >= 8, (name, size)
    assert counts == EXPECTED_COUNTS, counts
    image_dirs = {n.split("\\")[2] for n in entries if n.startswith("Clip Library\\Images\\")}
    assert len(image_dirs) == 14, image_dirs
    on_disk = set()
    for dirpath, _, files in os.walk(payload):
        for f in files:
            rel = os.path.relpath(os.path.join(dirpath, f), payload).replace(os.sep, "\\")
            if rel != "listing.txt":
                on_disk.add(rel)
    assert on_disk == set(entries) - {"tsd.exe"}, on_disk ^ (set(entries) - {"tsd.exe"})


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--root", default=os.path.dirname(here),
                    help="repository root (default: parent of tools/)")
    args = ap.parse_args()
    entries = build(args.root)
    print("wrote %d payload entries (tsd.exe is built separately)" % len(entries))


if __name__ == "__main__":
    sys.exit(main())
