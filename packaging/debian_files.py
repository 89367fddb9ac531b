#!/usr/bin/env python3
"""Files of the Debian package made from the project's own sources.

    debian_files.py changelog CHANGELOG.md VERSION MAINTAINER OUT.gz
        the Debian changelog, one entry per version of CHANGELOG.md
    debian_files.py man PAGE VERSION OUT.gz
        a manual page with its @VERSION@ filled in

Everything is compressed as gzip -9n would: best compression, no name, no time.
"""

import datetime
import gzip
import re
import sys
import textwrap


def write_gzip(path, text):
    with open(path, "wb") as raw:
        with gzip.GzipFile(filename="", mode="wb", compresslevel=9, fileobj=raw, mtime=0) as out:
            out.write(text.encode("utf-8"))


def versions(markdown):
    """(version, date, [bullet texts]) for each "## VERSION — DATE" heading, in file order."""
    result = []
    bullet = None
    for line in markdown.splitlines():
        heading = re.match(r"^## (\S+) \S+ (\d{4}-\d{2}-\d{2})\s*$", line)
        if heading:
            result.append((heading.group(1), heading.group(2), []))
            bullet = None
        elif not result:
            continue
        elif line.startswith("- "):
            bullet = [line[2:].strip()]
            result[-1][2].append(bullet)
        elif bullet is not None and line.startswith("  ") and line.strip():
            bullet.append(line.strip())
        else:
            bullet = None
    return [(v, d, [" ".join(b) for b in bullets]) for v, d, bullets in result]


def changelog(markdown, version, maintainer):
    entries = versions(markdown)
    if not entries or entries[0][0] != version:
        sys.exit(f"CHANGELOG.md: the newest heading must be '## {version} — YYYY-MM-DD'")
    text = ""
    for number, date, bullets in entries:
        day = datetime.datetime.strptime(date, "%Y-%m-%d").replace(tzinfo=datetime.timezone.utc)
        text += f"kuzelna ({number}) unstable; urgency=medium\n\n"
        for item in bullets:
            text += textwrap.fill(item, width=78, initial_indent="  * ", subsequent_indent="    ") + "\n"
        text += f"\n -- {maintainer}  {day.strftime('%a, %d %b %Y %H:%M:%S +0000')}\n\n"
    return text.rstrip("\n") + "\n"


def main(argv):
    if len(argv) == 6 and argv[1] == "changelog":
        with open(argv[2], encoding="utf-8") as source:
            write_gzip(argv[5], changelog(source.read(), argv[3], argv[4]))
    elif len(argv) == 5 and argv[1] == "man":
        with open(argv[2], encoding="utf-8") as source:
            write_gzip(argv[4], source.read().replace("@VERSION@", argv[3]))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
