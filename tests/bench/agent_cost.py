#!/usr/bin/env python3
"""The agent's own cost in a callgrind profile of bench::RunSession.

    agent_cost.py <source root> <callgrind.out>

Prints one line of JSON: {"instructions": N, "allocations": N, "unattributed": N}.

What counts as the agent's:
  instructions  the self cost (Ir) of every function compiled from one of
                AGENT_FOLDERS of the source tree, code inlined into it from
                headers included. The file a function is compiled from is
                the profile's fl=, unless that names a file outside the tree
                (the compiler let the function begin with code inlined from
                a library header): then it is the source file of the tree
                that lines of the function come from (fi=/fe=). Without
                link-time inlining that can only be the function's own. So
                an agent function that begins with a library string's code,
                or a library template instantiated for an agent's lambda,
                counts as the agent's. The stand-in viewer's, the benchmark
                harness', the standard library's and the C library's own
                functions are left out.
  allocations   calls of operator new / new[], malloc, calloc and realloc
                (not malloc called by operator new: one allocation, counted
                once) whose nearest caller compiled from the source tree is
                one of the agent's functions. Standard library code between
                (a std::string growing, a map inserting a node) passes the
                call on to the code that asked for it, so an allocation the
                agent causes through a container counts as the agent's,
                while one the stand-in viewer makes for itself does not. The
                profile must be taken with --separate-callers<depth>=<allocator>
                so that each allocator call carries its chain of callers;
                a chain of only library code within that depth is counted
                under "unattributed".
"""
import json
import os
import re
import sys

AGENT_FOLDERS = ("module", "agent", "pdm", "viewlist", "interfaces", "platform")
ALLOCATORS = re.compile(r"^(operator new(\[\])?\(|malloc$|calloc$|realloc$)")
SOURCE_SUFFIXES = (".cpp", ".cc", ".c")
NAMED = re.compile(r"^\((\d+)\)(?: (.*))?$")


def source_folder(root, path, cache={}):
    """The top folder of the source tree a file comes from, or None.

    Objects may come from another checkout of the same tree through the
    compiler cache, so the file is matched by its longest tail that names a
    file of this tree. A build's folders of include links lead back into
    the tree: the file counts where the link leads."""
    if path in cache:
        return cache[path]
    folder = None
    real_root = os.path.realpath(root)
    parts = os.path.normpath(path).split(os.sep)
    for i in range(len(parts) - 1):
        candidate = os.path.join(root, *parts[i:])
        if parts[i] and os.path.isfile(candidate):
            inside = os.path.relpath(os.path.realpath(candidate), real_root).split(os.sep)
            folder = inside[0] if inside[0] != os.pardir else None
            break
    cache[path] = folder
    return folder


def main(root, profile):
    names = {"fl": {}, "fn": {}}
    file_of = {}          # function name -> file it is compiled from
    self_cost = {}        # (file, function) -> Ir
    line_cost = {}        # (file, function) -> {file of the lines -> Ir}
    alloc_calls = {}      # allocator context name -> calls
    fl = fn = line_file = None
    after_call = False

    def resolve(kind, value):
        # fi/fe/cfi/cfl share the file names, cfn the function names.
        table = names["fl" if kind in ("fl", "fi", "fe", "cfi", "cfl") else "fn"]
        m = NAMED.match(value)
        if not m:
            return value
        if m.group(2) is not None:
            table[m.group(1)] = m.group(2)
        return table.get(m.group(1), "")

    with open(profile, encoding="utf-8", errors="replace") as f:
        cfn = None
        for line in f:
            line = line.rstrip("\n")
            if not line:
                continue
            c = line[0]
            if c.isdigit() or c in "+-*":
                if after_call:
                    after_call = False
                    continue
                fields = line.split()
                if len(fields) > 1 and fn is not None:
                    key = (fl, fn)
                    self_cost[key] = self_cost.get(key, 0) + int(fields[1])
                    by_file = line_cost.setdefault(key, {})
                    by_file[line_file] = by_file.get(line_file, 0) + int(fields[1])
                continue
            key, _, value = line.partition("=")
            if key == "fl":
                fl = line_file = resolve(key, value)
            elif key == "fn":
                fn = resolve(key, value)
                line_file = fl
                file_of.setdefault(fn, fl)
            elif key in ("fi", "fe"):
                line_file = resolve(key, value)
            elif key in ("cfi", "cfl"):
                resolve(key, value)
            elif key == "cfn":
                cfn = resolve(key, value)
            elif key == "calls":
                after_call = True
                if cfn and ALLOCATORS.match(cfn.split("'")[0]):
                    alloc_calls[cfn] = alloc_calls.get(cfn, 0) + int(value.split()[0])

    def is_agent(file):
        return file is not None and source_folder(root, file) in AGENT_FOLDERS

    def in_tree(file):
        return file is not None and source_folder(root, file) is not None

    def compiled_from(file, function):
        if in_tree(file) and file.endswith(SOURCE_SUFFIXES):
            return file
        for line_file in line_cost.get((file, function), {}):
            if line_file and line_file.endswith(SOURCE_SUFFIXES) and in_tree(line_file):
                return line_file
        return file

    instructions = 0
    for (file, function), ir in self_cost.items():
        source = compiled_from(file, function)
        if source != file:
            file_of[function] = source
        if is_agent(source):
            instructions += ir
    allocations = unattributed = 0
    for context, calls in alloc_calls.items():
        chain = context.split("'")
        if len(chain) < 2:
            unattributed += calls
            continue
        if ALLOCATORS.match(chain[1]):
            continue  # malloc inside operator new: counted at operator new
        for caller in chain[1:]:
            file = file_of.get(caller)
            if file is not None and source_folder(root, file) is not None:
                allocations += calls if is_agent(file) else 0
                break
        else:
            unattributed += calls
    print(json.dumps({"instructions": instructions, "allocations": allocations,
                      "unattributed": unattributed}))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
