#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Build the sample lecture library from its UTF-8 sources.

The client reads its version file, catalogue and lecture lists as GB2312 text
and only sees lines that end in CR LF, so those files cannot be edited
comfortably by hand. Their sources live in sample-library-source/ as plain
UTF-8 text with ordinary line ends, one source line per output line:

  version.txt            the version file
  catalogue.txt          the catalogue, one conference per line:
                         Title%UpdateDate*Rest
  lectures/<date>.txt    the lecture list of the conference with that
                         UpdateDate, one lecture per line:
                         Title%Detail$Note*DownloadAddress

"{root}" in a text stands for the server root (--root). Lines without both
"%" and "*" (headings, empty lines) are copied too: the client has to drop
them, and the sample should make it do so.

Output goes to sample-library/: version.txt, lists/catalogue.txt, one
lists/<name> per conference, named as the client names it. The pages (home,
help, phone edition) are plain UTF-8 HTML and are edited in sample-library/
itself.
The lecture audio is made by make-sample-audio.sh, which asks this script for
the list of files and titles (--audio-manifest).

  make-sample-library.py                 regenerate sample-library/
  make-sample-library.py --check         fail if sample-library/ is stale
  make-sample-library.py --audio-manifest
"""

import argparse
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
DEFAULT_SOURCE = HERE / "sample-library-source"
DEFAULT_LIBRARY = HERE / "sample-library"
DEFAULT_ROOT = "http://127.0.0.1:18418/"

DATE_CAPTION_PREFIX = "更新日期："
VERSION_MARKER = "[QorVersion]"
# A lecture is stored under Title%Detail$Note plus ".zip", and later cut back
# at the first "." and renamed with every "zip" turned into "wma".
NOT_IN_FILE_NAMES = set('/\\:*?"<>|%$.')


class SourceError(Exception):
    pass


def lecture_list_name(update_date):
    """The client takes the last 12 characters of the date caption."""
    return (DATE_CAPTION_PREFIX + update_date + ".zip")[-12:]


def read_source_lines(path):
    text = path.read_text(encoding="utf-8")
    if "\r" in text:
        raise SourceError(f"{path}: carriage returns do not belong in a source; "
                          "line ends are added when the library is built")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return lines


def encode_lines(path, lines):
    """GB2312 with every line, the last one included, ended by CR LF."""
    out = bytearray()
    for number, line in enumerate(lines, 1):
        try:
            out += line.encode("gb2312") + b"\r\n"
        except UnicodeEncodeError as error:
            bad = line[error.start:error.end]
            raise SourceError(f"{path}:{number}: {bad!r} has no GB2312 code") from None
    return bytes(out)


def is_kept(line):
    return "%" in line and "*" in line


def warn_half_marked(path, number, line):
    if ("%" in line) != ("*" in line):
        print(f"warning: {path}:{number}: only one of '%' and '*', "
              "so the client drops this line", file=sys.stderr)


def check_name_part(path, number, what, text):
    if not text:
        raise SourceError(f"{path}:{number}: empty {what}")
    bad = sorted(set(text) & NOT_IN_FILE_NAMES)
    if bad:
        raise SourceError(f"{path}:{number}: {what} {text!r} holds {''.join(bad)!r}, "
                          "which cannot be part of a stored lecture name")
    if text != text.strip():
        raise SourceError(f"{path}:{number}: {what} {text!r} begins or ends with a blank")


class Library:
    def __init__(self, source, root):
        self.source = source
        self.root = root
        self.files = {}        # relative output path -> bytes
        self.audio = []        # (relative path, title) of lecture files on this server
        self._build()

    def _build(self):
        version_path = self.source / "version.txt"
        version_lines = read_source_lines(version_path)
        if not any(VERSION_MARKER in line for line in version_lines):
            raise SourceError(f"{version_path}: no {VERSION_MARKER} marker")
        self.files["version.txt"] = encode_lines(version_path, version_lines)

        catalogue_path = self.source / "catalogue.txt"
        catalogue_lines = [line.replace("{root}", self.root)
                           for line in read_source_lines(catalogue_path)]
        self.files["lists/catalogue.txt"] = encode_lines(catalogue_path, catalogue_lines)

        used_sources = set()
        for number, line in enumerate(catalogue_lines, 1):
            warn_half_marked(catalogue_path, number, line)
            if not is_kept(line):
                continue
            percent, star = line.index("%"), line.index("*")
            if star < percent:
                raise SourceError(f"{catalogue_path}:{number}: '*' before '%'")
            update_date = line[percent + 1:star]
            if not update_date:
                raise SourceError(f"{catalogue_path}:{number}: empty UpdateDate")
            name = lecture_list_name(update_date)
            target = "lists/" + name
            if target in self.files:
                raise SourceError(f"{catalogue_path}:{number}: a second conference "
                                  f"with the lecture list {name}")
            lectures_path = self.source / "lectures" / (update_date + ".txt")
            if not lectures_path.is_file():
                raise SourceError(f"{catalogue_path}:{number}: no lecture list "
                                  f"{lectures_path.relative_to(self.source)}")
            used_sources.add(lectures_path.name)
            self.files[target] = self._lecture_list(lectures_path)

        lectures_dir = self.source / "lectures"
        if lectures_dir.is_dir():
            for unused in sorted(p.name for p in lectures_dir.glob("*.txt")):
                if unused not in used_sources:
                    print(f"warning: lectures/{unused} belongs to no conference "
                          "of the catalogue", file=sys.stderr)

    def _lecture_list(self, path):
        lines = [line.replace("{root}", self.root) for line in read_source_lines(path)]
        for number, line in enumerate(lines, 1):
            warn_half_marked(path, number, line)
            if not is_kept(line):
                continue
            percent, star = line.index("%"), line.index("*")
            dollar = line.find("$")
            if not (0 <= percent < dollar < star):
                raise SourceError(f"{path}:{number}: expected Title%Detail$Note*Address")
            title, detail, note = line[:percent], line[percent + 1:dollar], line[dollar + 1:star]
            address = line[star + 1:]
            check_name_part(path, number, "Title", title)
            check_name_part(path, number, "Detail", detail)
            check_name_part(path, number, "Note", note)
            if "zip" in line[:star]:
                raise SourceError(f"{path}:{number}: 'zip' in the stored name would be "
                                  "changed when the lecture is played")
            if not address.startswith(("http://", "https://")):
                raise SourceError(f"{path}:{number}: the address {address!r} is not absolute")
            if address.startswith(self.root):
                relative = address[len(self.root):]
                if not relative or ".." in relative.split("/"):
                    raise SourceError(f"{path}:{number}: {address!r} names no file "
                                      "inside the library")
                self.audio.append((relative, title))
        return encode_lines(path, lines)


def stale_lists(library_dir, library):
    lists_dir = library_dir / "lists"
    if not lists_dir.is_dir():
        return []
    return sorted(p for p in lists_dir.iterdir()
                  if p.is_file() and "lists/" + p.name not in library.files)


def missing_audio(library_dir, library):
    return [relative for relative, _ in library.audio
            if not (library_dir / relative).is_file()]


def write(library_dir, library):
    for relative, data in sorted(library.files.items()):
        target = library_dir / relative
        if target.is_file() and target.read_bytes() == data:
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
        print(f"wrote {relative}")
    for stale in stale_lists(library_dir, library):
        stale.unlink()
        print(f"removed {stale.relative_to(library_dir)}")
    for relative in missing_audio(library_dir, library):
        print(f"warning: {relative} is missing; run make-sample-audio.sh", file=sys.stderr)
    return 0


def check(library_dir, library):
    problems = []
    for relative, data in sorted(library.files.items()):
        target = library_dir / relative
        if not target.is_file():
            problems.append(f"{relative} is missing")
        elif target.read_bytes() != data:
            problems.append(f"{relative} differs from its source")
    problems += [f"{p.relative_to(library_dir)} belongs to no conference"
                 for p in stale_lists(library_dir, library)]
    problems += [f"{relative} is missing" for relative in missing_audio(library_dir, library)]
    for problem in problems:
        print(f"stale sample library: {problem}", file=sys.stderr)
    if problems:
        print("run make-sample-library.py (and make-sample-audio.sh for audio)",
              file=sys.stderr)
        return 1
    print(f"sample library up to date: {len(library.files)} files, "
          f"{len(library.audio)} lectures")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--source", type=pathlib.Path, default=DEFAULT_SOURCE)
    parser.add_argument("--library", type=pathlib.Path, default=DEFAULT_LIBRARY)
    parser.add_argument("--root", default=DEFAULT_ROOT,
                        help="server root put in place of {root} (default %(default)s)")
    mode = parser.add_mutually_exclusive_group()
    mode.add_argument("--check", action="store_true",
                      help="change nothing; fail when the library does not match its sources")
    mode.add_argument("--audio-manifest", action="store_true",
                      help="print each lecture file of this server and its title, tab-separated")
    args = parser.parse_args()
    if not args.root.endswith("/"):
        parser.error("--root must end in /")

    try:
        library = Library(args.source, args.root)
    except (SourceError, OSError) as error:
        print(f"error: {error}", file=sys.stderr)
        return 1
    if args.audio_manifest:
        for relative, title in library.audio:
            print(f"{relative}\t{title}")
        return 0
    if args.check:
        return check(args.library, library)
    return write(args.library, library)


if __name__ == "__main__":
    sys.exit(main())
