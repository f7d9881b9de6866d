#!/usr/bin/env python3
"""Every C++ source of the tree is named by a build list, and every source a
list names exists: sources are listed by hand, so a file left out of every
list would silently not be compiled (its tests not run), in either build.

A list is read as CMake reads it, for both builds at once: a name relative
to the CMakeLists.txt that lists it (or to ${CMAKE_SOURCE_DIR}), with
${ZEL_PLATFORM_DIR} standing for win32 and native alike. The scripts that
compile a program themselves ("$ROOT/<path>.cpp") count as lists.
    tests/layout/check_sources.py [repository root]
"""
import fnmatch
import os
import re
import subprocess
import sys

root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))


def tracked(pattern):
    try:
        out = subprocess.run(["git", "-C", root, "ls-files", "-z", pattern], check=True,
                             capture_output=True, text=True).stdout
        return {p for p in out.split("\0") if p}
    except (OSError, subprocess.CalledProcessError):  # a copy of the tree without its history
        found = set()
        for folder, dirs, files in os.walk(root):
            dirs[:] = [d for d in dirs if not (folder == root and d in ("build", "dist", ".git"))]
            found |= {os.path.relpath(os.path.join(folder, f), root) for f in files if fnmatch.fnmatch(f, pattern)}
        return found


sources = {p for p in tracked("*.cpp") if not p.startswith(("build/", "dist/"))}
lists = sorted(tracked("*CMakeLists.txt") | tracked("*.sh"))

listed, faults = set(), []
for name in lists:
    folder = os.path.dirname(name)
    text = open(os.path.join(root, name), encoding="utf-8").read()
    text = re.sub(r"#.*", "", text) if name.endswith(".txt") else text
    for word in re.findall(r"[\w.${}\"/-]*\.cpp\b", text):
        word = word.strip('"')
        if name.endswith(".sh") and not word.startswith("$ROOT/"):  # a script names other files too
            continue
        if "BINARY_DIR" in word or "$BUILD" in word:  # generated
            continue
        base = folder
        for prefix in ("${CMAKE_SOURCE_DIR}/", "$ROOT/"):
            if word.startswith(prefix):
                word, base = word[len(prefix):], ""
        word = word.replace("${CMAKE_CURRENT_SOURCE_DIR}/", "")
        builds = ("win32", "native") if "${ZEL_PLATFORM_DIR}" in word else ("",)
        for build in builds:
            path = os.path.normpath(os.path.join(base, word.replace("${ZEL_PLATFORM_DIR}", build)))
            if "$" in path:
                faults.append(f"{name}: {word}: a source is named, not made from a variable")
            elif path in sources:
                listed.add(path)
            elif not os.path.exists(os.path.join(root, path)):
                faults.append(f"{name}: {word}: no such source ({path})")

faults += [f"{path}: in no build list (a CMakeLists.txt names each source)" for path in sorted(sources - listed)]
for fault in sorted(set(faults)):
    print(fault)
print(f"sources: {len(sources)} files, {len(sources & listed)} listed, {len(set(faults))} faults")
sys.exit(1 if faults else 0)
