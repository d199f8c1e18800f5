"""Tags written through `airfoldex-cli tags --set` are read back by independent readers.

For MP3 files of the corpus (untagged, ID3v2.2, 2.3 with ID3v1, 2.4 with UTF-8 text and pictures):
mutagen must read the fields we set, the frames we did not touch must keep their values and picture
data, the id3v2 tool must list the fields, and mpg123 must decode the same samples as before.

Usage: mutagen_check.py AIRFOLDEX_CLI CORPUS_DIR. Exits 77 (skipped) when mutagen is missing.
"""

import os
import shutil
import subprocess
import sys
import tempfile

try:
    from mutagen.id3 import ID3
except ImportError:
    print("SKIP: mutagen is not installed for", sys.executable)
    sys.exit(77)

CLI, CORPUS = sys.argv[1], sys.argv[2]

FILES = [
    "mutagen/no-tags.mp3",           # no tag: the file is enlarged
    "mutagen/id3v22-test.mp3",       # version 2.2 read, written as 2.3
    "mutagen/silence-44-s.mp3",      # version 2.3 with ID3v1
    "atldotnet/id3v2.3_UTF16.mp3",   # UTF-16 text, two pictures, room to rewrite in place
    "atldotnet/id3v2.4_UTF8.mp3",    # version 2.4, UTF-8 text, pictures with data-length indicators
]

VALUES = {
    "title": "Caf\u00e9 \u20acuro",  # the euro sign is not ISO-8859-1: written as UTF-16
    "artist": "Zo\u00eb Example",
    "album": "Album of the Year",
    "year": "2021",
    "comment": "x" * 70000,  # a frame larger than 65,535 bytes
    "genre": "Rock",
    "track": "3/12",
}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def decode(path):
    if shutil.which("mpg123") is None:
        return None
    return subprocess.run(["mpg123", "-q", "-s", path], capture_output=True, check=False).stdout


def untouched_frames(tag):
    """Frames that setting our fields must leave as they were, by mutagen's hash key."""
    ours = ("TIT2", "TPE1", "TALB", "TYER", "TDRC", "COMM", "TCON", "TRCK")
    return {key: frame for key, frame in tag.items() if not key.startswith(ours)}


with tempfile.TemporaryDirectory() as work:
    for name in FILES:
        source = os.path.join(CORPUS, name)
        path = os.path.join(work, os.path.basename(name))
        shutil.copyfile(source, path)
        before_audio = decode(path)
        try:
            before = untouched_frames(ID3(path, load_v1=False))
        except Exception:  # an untagged file
            before = {}

        args = [CLI, "tags", path]
        for field, value in VALUES.items():
            args += ["--set", f"{field}={value}"]
        run = subprocess.run(args, capture_output=True, check=False)
        check(run.returncode == 0, f"{name}: airfoldex-cli failed: {run.stderr!r}")

        tag = ID3(path, load_v1=False)
        check(tag.version == (2, 3, 0), f"{name}: version {tag.version}")
        check(str(tag.get("TIT2")) == VALUES["title"], f"{name}: title {tag.get('TIT2')!r}")
        check(str(tag.get("TPE1")) == VALUES["artist"], f"{name}: artist {tag.get('TPE1')!r}")
        check(str(tag.get("TALB")) == VALUES["album"], f"{name}: album {tag.get('TALB')!r}")
        check(str(tag.get("TDRC")) == VALUES["year"], f"{name}: year {tag.get('TDRC')!r}")
        comments = [str(c) for c in tag.getall("COMM")]
        check(comments == [VALUES["comment"]], f"{name}: comments {[c[:20] for c in comments]}")
        check(tag.get("TCON") is not None and tag["TCON"].genres == ["Rock"], f"{name}: genre {tag.get('TCON')!r}")
        check(str(tag.get("TRCK")) == VALUES["track"], f"{name}: track {tag.get('TRCK')!r}")

        after = untouched_frames(tag)
        for key, frame in before.items():
            check(key in after and after[key] == frame, f"{name}: frame {key} changed or lost")
            if key.startswith("APIC") and key in after:
                check(after[key].data == frame.data, f"{name}: picture {key} data changed")

        if shutil.which("id3v2"):
            listing = subprocess.run(["id3v2", "-l", path], capture_output=True, check=False).stdout
            text = listing.decode("utf-8", "replace")
            for needle in ("Zo\u00eb Example", "Album of the Year", "TYER (Year): 2021", "Rock (17)"):
                check(needle in text, f"{name}: id3v2 -l lacks {needle!r}")

        after_audio = decode(path)
        check(before_audio == after_audio, f"{name}: mpg123 decodes different samples after tagging")

for failure in failures:
    print("FAIL:", failure)
print(f"{len(FILES)} files checked, {len(failures)} failures")
sys.exit(1 if failures else 0)
