#!/usr/bin/python3
"""tools/readme-html.py README.md VERSION: prints the players' README.html.

It holds the README's opening paragraphs and its "User guide" section (not
the developers' sections), converted from Markdown, with every image the
guide shows embedded as a data: URI so that the page is one file. The
output depends only on the input files, for a reproducible package.
"""

import base64
import html
import os
import re
import sys

import markdown

STYLE = """body { font-family: Segoe UI, Tahoma, sans-serif; max-width: 46em; margin: 2em auto;
  padding: 0 1em; line-height: 1.45; color: #1b1b1b; }
code, pre { font-family: Consolas, monospace; background: #f2f2f2; }
pre { padding: 0.6em; overflow-x: auto; }
img { max-width: 100%; }
.about { color: #555; font-size: 0.9em; border-top: 1px solid #ccc; margin-top: 2em; }"""


def players_part(text):
    """The text before the first "## " heading, then the "## User guide"
    section up to the next "## " heading."""
    sections = re.split(r"(?m)^(?=## )", text)
    guide = [s for s in sections[1:] if s.startswith("## User guide")]
    if not guide:
        sys.exit("readme-html: README.md has no '## User guide' section")
    return sections[0] + guide[0]


def embed_images(body, folder):
    def data_uri(match):
        path = os.path.join(folder, html.unescape(match.group(2)))
        with open(path, "rb") as f:
            data = base64.b64encode(f.read()).decode("ascii")
        return f'{match.group(1)}data:image/png;base64,{data}"'

    return re.sub(r'(<img[^>]*\bsrc=")([^":]+\.png)"', data_uri, body)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: readme-html.py README.md VERSION")
    readme, version = sys.argv[1], sys.argv[2]
    with open(readme, encoding="utf-8") as f:
        text = players_part(f.read())
    body = markdown.markdown(text, extensions=["tables"], output_format="html")
    body = embed_images(body, os.path.dirname(os.path.abspath(readme)))
    sys.stdout.write(
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        f"<title>Quillmark {html.escape(version)}</title>\n<style>\n{STYLE}\n</style>\n"
        f"</head>\n<body>\n{body}\n"
        f"<p class=\"about\">Quillmark {html.escape(version)}. Licensed under the MIT licence "
        "(LICENSE); NOTICE lists the licences of the runtime libraries built into "
        "quillmark.exe.</p>\n</body>\n</html>\n")


if __name__ == "__main__":
    main()
