#!/usr/bin/env python3
"""Assembles the builder's help into one folder, ready for chmcmd or a browser.

The hand-written pages of docs/help are copied as they are; the movie API's
Markdown pages (docs/api) become api-*.html, so their text lives in one place.
The contents (.hhc) and index (.hhk) are the hand-written files with the API
pages and every documented API method filled in at their marker lines, and the
project file (.hhp) lists every page.

    build_help.py HELP_SOURCE_DIR API_SOURCE_DIR OUTPUT_DIR
"""

import html
import os
import re
import shutil
import sys

PROJECT_FILE = "kestrel_help.hhp"
CHM_NAME = "Kestrel Help.chm"
CONTENTS_FILE = "contents.hhc"
INDEX_FILE = "index.hhk"
API_MARKER = "<!-- movie api pages -->"
API_INDEX_MARKER = "<!-- movie api methods -->"

# ---------------------------------------------------------------- Markdown


def Slug(text, used):
    """The anchor a heading gets, as the usual Markdown hosts make it, so the
    pages' own links (window.md#events) keep working."""
    slug = re.sub(r"[^\w\- ]", "", text.lower()).replace(" ", "-")
    unique, n = slug, 0
    while unique in used:
        n += 1
        unique = "%s-%d" % (slug, n)
    used.add(unique)
    return unique


def PageLink(target):
    """A link between Markdown pages points at the page made from it."""
    path, hash_mark, anchor = target.partition("#")
    if path.endswith(".md") and "://" not in path:
        path = ApiPageName(path)
    return path + hash_mark + anchor


def Inline(text):
    """Escapes the text and turns code spans, links and bold into HTML. Code
    spans are cut out first so nothing inside them is read as markup."""
    pieces = re.split(r"(`[^`]*`)", text)
    out = []
    for piece in pieces:
        if len(piece) >= 2 and piece.startswith("`") and piece.endswith("`"):
            out.append("<code>%s</code>" % html.escape(piece[1:-1], quote=False))
            continue
        piece = html.escape(piece, quote=False)
        piece = re.sub(
            r"\[([^\]]+)\]\(([^)\s]+)\)",
            lambda m: '<a href="%s">%s</a>' % (html.escape(PageLink(html.unescape(m.group(2)))), m.group(1)),
            piece,
        )
        piece = re.sub(r"\*\*(.+?)\*\*", r"<strong>\1</strong>", piece)
        out.append(piece)
    # A link whose text is a code span was split across pieces; join and redo links.
    joined = "".join(out)
    return re.sub(
        r"\[(<code>[^<]*</code>)\]\(([^)\s]+)\)",
        lambda m: '<a href="%s">%s</a>' % (html.escape(PageLink(html.unescape(m.group(2)))), m.group(1)),
        joined,
    )


def TableCells(line):
    return [cell.strip() for cell in line.strip().strip("|").split("|")]


def MarkdownToHtml(text):
    """Returns (title, body) for the Markdown subset the API pages use:
    headings, paragraphs, fenced code, bullet and numbered lists (indented
    lines continue an item), tables, code spans, links and bold."""
    lines = text.replace("\r\n", "\n").split("\n")
    body, used, title = [], set(), ""
    i = 0
    while i < len(lines):
        line = lines[i]
        stripped = line.strip()
        if not stripped:
            i += 1
            continue
        if stripped.startswith("```"):
            i += 1
            code = []
            while i < len(lines) and not lines[i].strip().startswith("```"):
                code.append(lines[i])
                i += 1
            i += 1  # the closing fence (or the end of a page that lacks one)
            body.append("<pre><code>%s</code></pre>" % html.escape("\n".join(code), quote=False))
            continue
        heading = re.match(r"(#{1,6})\s+(.*)", stripped)
        if heading:
            level, content = len(heading.group(1)), heading.group(2).strip()
            plain = content.replace("`", "")
            if level == 1 and not title:
                title = plain
            body.append('<h%d id="%s">%s</h%d>' % (level, Slug(plain, used), Inline(content), level))
            i += 1
            continue
        if stripped.startswith("|") and i + 1 < len(lines) and re.match(r"^\s*\|[\s:|-]+\|\s*$", lines[i + 1]):
            rows = ["<table>", "<tr>%s</tr>" % "".join("<th>%s</th>" % Inline(c) for c in TableCells(line))]
            i += 2
            while i < len(lines) and lines[i].strip().startswith("|"):
                rows.append("<tr>%s</tr>" % "".join("<td>%s</td>" % Inline(c) for c in TableCells(lines[i])))
                i += 1
            rows.append("</table>")
            body.append("\n".join(rows))
            continue
        item = re.match(r"(-|\*|\d+\.)\s+(.*)", stripped)
        if item and not line.startswith(" "):
            tag = "ol" if item.group(1)[0].isdigit() else "ul"
            items = []
            while i < len(lines):
                current = re.match(r"(-|\*|\d+\.)\s+(.*)", lines[i])
                if current:
                    items.append(current.group(2).strip())
                elif lines[i].startswith(" ") and lines[i].strip() and items:
                    items[-1] += " " + lines[i].strip()
                else:
                    break
                i += 1
            body.append("<%s>\n%s\n</%s>" % (tag, "\n".join("<li>%s</li>" % Inline(t) for t in items), tag))
            continue
        paragraph = []
        while i < len(lines):
            current = lines[i].strip()
            if (
                not current
                or current.startswith("```")
                or re.match(r"#{1,6}\s", current)
                or (current.startswith("|") and not paragraph)
                or (re.match(r"(-|\*|\d+\.)\s", current) and not lines[i].startswith(" "))
            ):
                break
            paragraph.append(current)
            i += 1
        body.append("<p>%s</p>" % Inline(" ".join(paragraph)))
    return title, "\n".join(body)


API_PAGE = """<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="windows-1252">
<title>{title}</title>
<link rel="stylesheet" href="help.css">
</head>
<body>
<p class="nav"><a href="index.html">Kestrel Help</a> &rsaquo; <a href="api-index.html">The movie's API</a></p>
{body}
</body>
</html>
"""

# ---------------------------------------------------------------- help project


def ApiPageName(md_name):
    """The API pages sit beside the others (chmcmd mixes up anchors of pages
    in subfolders that share a file name), named apart by their prefix."""
    return "api-index.html" if md_name == "README.md" else "api-" + md_name[:-3] + ".html"


def ConvertApiPages(api_dir, out_dir):
    """Writes the api-*.html pages; returns [(file, title, [(method heading, anchor)])],
    the overview first, then the family pages by name."""
    pages = []
    names = sorted(n for n in os.listdir(api_dir) if n.endswith(".md"))
    names.sort(key=lambda n: n != "README.md")
    for name in names:
        with open(os.path.join(api_dir, name), encoding="utf-8") as source:
            title, body = MarkdownToHtml(source.read())
        if name == "README.md":
            title = "The movie's API"
        page = ApiPageName(name)
        with open(os.path.join(out_dir, page), "w", encoding="cp1252", errors="xmlcharrefreplace") as out:
            out.write(API_PAGE.format(title=html.escape(title), body=body))
        methods = re.findall(r'<h3 id="([^"]+)">(.*?)</h3>', body)
        pages.append((page, title, [(re.sub(r"<[^>]+>", "", h), a) for a, h in methods]))
    return pages


def Attribute(text):
    # Only the double quote: HTML Help shows "&#x27;" as it stands.
    return html.escape(text, quote=False).replace('"', "&quot;")


def Entry(name, local, indent):
    pad = "  " * indent
    return (
        '%s<LI> <OBJECT type="text/sitemap">\n'
        '%s  <param name="Name" value="%s">\n'
        '%s  <param name="Local" value="%s">\n'
        "%s  </OBJECT>\n" % (pad, pad, Attribute(name), pad, Attribute(local), pad)
    )


def FillMarker(path, marker, text):
    with open(path, encoding="cp1252") as source:
        content = source.read()
    if marker not in content:
        sys.exit("build_help: %s has no line %s" % (path, marker))
    with open(path, "w", encoding="cp1252") as out:
        out.write(content.replace(marker, text.rstrip("\n")))


def WriteProject(out_dir, files):
    with open(os.path.join(out_dir, PROJECT_FILE), "w", encoding="cp1252", newline="\r\n") as out:
        out.write(
            "[OPTIONS]\n"
            "Compatibility=1.1 or later\n"
            "Compiled file=%s\n"
            "Contents file=%s\n"
            "Index file=%s\n"
            "Default topic=index.html\n"
            "Display compile progress=No\n"
            "Full-text search=Yes\n"
            "Language=0x409 English (United States)\n"
            "Title=Kestrel Help\n"
            "Default Window=main\n"
            # Three panes with the Contents, Index and Search tabs; the usual buttons.
            '\n[WINDOWS]\nmain="Kestrel Help","%s","%s","index.html","index.html",,,,,0x520,240,0x387e,[40,40,900,700],,,,0,0,0,0\n'
            "\n[FILES]\n" % (CHM_NAME, CONTENTS_FILE, INDEX_FILE, CONTENTS_FILE, INDEX_FILE)
        )
        for name in files:
            out.write(name.replace("/", "\\") + "\n")


def Build(help_dir, api_dir, out_dir):
    if os.path.isdir(out_dir):
        shutil.rmtree(out_dir)  # pages removed from the sources leave the output too
    os.makedirs(out_dir)
    files = []
    for name in sorted(os.listdir(help_dir)):
        if name.endswith((".html", ".css", ".hhc", ".hhk", ".png")):
            shutil.copyfile(os.path.join(help_dir, name), os.path.join(out_dir, name))
            if name.endswith((".html", ".css", ".png")):
                files.append(name)
    api_pages = ConvertApiPages(api_dir, out_dir)
    files += [page for page, _, _ in api_pages]

    overview = api_pages[0]
    contents = Entry(overview[1], overview[0], 1) + "    <UL>\n"
    contents += "".join(Entry(title, page, 2) for page, title, _ in api_pages[1:])
    contents += "    </UL>\n"
    FillMarker(os.path.join(out_dir, CONTENTS_FILE), API_MARKER, contents)

    keywords = []
    for page, title, methods in api_pages[1:]:
        for heading, anchor in methods:
            for method in re.split(r",\s*", heading):
                keywords.append((method, "%s#%s" % (page, anchor)))
    keywords.sort(key=lambda k: k[0].lower())
    FillMarker(os.path.join(out_dir, INDEX_FILE), API_INDEX_MARKER, "".join(Entry(k, p, 0) for k, p in keywords))
    WriteProject(out_dir, files)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    Build(sys.argv[1], sys.argv[2], sys.argv[3])
