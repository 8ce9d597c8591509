#!/usr/bin/env python3
"""clang-tidy over a Ninja build's compile commands, skipping the sources
that a run with the same inputs found clean.

usage (from the clone's root):
  clang_tidy_cached.py BUILD_DIR CACHE_DIR [run-clang-tidy argument...]

A source's key is the hash of what clang-tidy's verdict depends on: its
version, .clang-tidy, the arguments given here, the compile command, and the
bytes of the source and of every header the build recorded for it (ninja -t
deps). Paths inside the clone are hashed relative to it, so another clone of
the same commit finds the same keys. Only clean verdicts are kept; a source
with findings, or without recorded headers, is checked every time. The
checks themselves run through run-clang-tidy, which prints the findings and
fails the run.

A header's own check (layers/header_checks/, one #include each) is left
out when another source reads the header: clang-tidy checks the header's
code there, and the build has compiled it alone.
"""
import hashlib
import json
import os
import re
import shlex
import subprocess
import sys


def digest(*parts):
    h = hashlib.sha256()
    for part in parts:
        h.update(part if isinstance(part, bytes) else part.encode())
        h.update(b"\0")
    return h.hexdigest()


def recorded_headers(build):
    """Maps each object file to the files its compilation read."""
    out = subprocess.run(["ninja", "-C", build, "-t", "deps"], check=True,
                         capture_output=True, text=True).stdout
    deps, current = {}, None
    for line in out.splitlines():
        if not line.strip():
            current = None
        elif not line[0].isspace():
            target, _, state = line.partition(":")
            current = [] if "VALID" in state else None
            if current is not None:
                deps[target] = current
        elif current is not None:
            current.append(line.strip())
    return deps


HEADER_CHECK = re.compile(r"/layers/header_checks/(\w+/[\w.]+\.h)\.cc$")


def checked_header(source):
    """The header, relative to src/, that a header check includes."""
    return HEADER_CHECK.search(source).group(1)


def object_file(command):
    """The object file a compile command writes (its -o)."""
    words = shlex.split(command)
    return words[words.index("-o") + 1] if "-o" in words[:-1] else None


def main():
    build, cache, extra = sys.argv[1], sys.argv[2], sys.argv[3:]
    root, build = os.getcwd(), os.path.abspath(build)
    os.makedirs(cache, exist_ok=True)

    def local(text):
        return text.replace(root, "@")

    file_hashes = {}

    def content(path):
        if path not in file_hashes:
            with open(path, "rb") as f:
                file_hashes[path] = digest(f.read())
        return file_hashes[path]

    version = subprocess.run(["clang-tidy", "--version"], check=True,
                             capture_output=True, text=True).stdout
    with open(os.path.join(root, ".clang-tidy"), "rb") as f:
        config = f.read()
    deps = recorded_headers(build)
    with open(os.path.join(build, "compile_commands.json")) as f:
        commands = json.load(f)

    def read_by(entry):
        headers = deps.get(object_file(entry["command"])) or []
        return {os.path.realpath(os.path.join(entry["directory"], h))
                for h in headers}

    checks = [e for e in commands if HEADER_CHECK.search(e["file"])]
    read = set()
    for entry in commands:
        if not HEADER_CHECK.search(entry["file"]):
            read |= read_by(entry)
    commands = [e for e in commands if e not in checks or
                os.path.realpath(os.path.join(root, "src", checked_header(e["file"])))
                not in read]

    misses = []
    for entry in commands:
        source = entry["file"]
        headers = deps.get(object_file(entry["command"]))
        if not headers:
            misses.append((source, None))
            continue
        paths = sorted({os.path.normpath(os.path.join(entry["directory"], h))
                        for h in headers} | {source})
        key = digest(version, config, *extra, local(entry["command"]),
                     *(local(p) + content(p) for p in paths))
        if not os.path.exists(os.path.join(cache, key)):
            misses.append((source, key))

    print(f"{len(commands) - len(misses)} of {len(commands)} sources found "
          f"clean before; checking {len(misses)}", flush=True)
    if misses:
        patterns = ["^" + re.escape(source) + "$" for source, _ in misses]
        args = ["run-clang-tidy", "-p", build, "-quiet", *extra, *patterns]
        if subprocess.run(args).returncode != 0:
            return 1
    for _, key in misses:
        if key:
            open(os.path.join(cache, key), "wb").close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
