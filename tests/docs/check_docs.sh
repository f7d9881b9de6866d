#!/usr/bin/env bash
# Keeps README.md and docs/ true to the code: the refusal messages, the ./run
# commands, the registry and launch file names, the copied examples and the
# links. Prints one line per stale place and "docs: ..." at the end.
#   tests/docs/check_docs.sh [repository root]
set -uo pipefail
ROOT="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
exec python3 - "$ROOT" <<'PY'
import glob, os, re, sys

root = sys.argv[1]
read = lambda path: open(os.path.join(root, path), encoding="utf-8").read()
docs = ["README.md"] + sorted(os.path.relpath(p, root) for p in glob.glob(os.path.join(root, "docs", "*.md")))
text = {doc: read(doc) for doc in docs}
faults = []

# Refusal messages: the table of administrators.md against the module's texts.
messages = dict(re.findall(r'^\s*(IDS_\w+)\s+"(.*)"\s*$', read("module/strings.rc"), re.M))
refusals = {v for k, v in messages.items() if k == "IDS_NO_MARKUP_PERMISSION" or k.startswith("IDS_SAVE_")}
quoted = set()
for cell in re.findall(r"^\| ([^|]*?) \|", text["docs/administrators.md"], re.M):
    if cell.startswith(("The markup was not handed", "You do not have permission")):
        quoted.add(re.sub(r" `<DMAgent>`$", "", cell))
faults += [f"administrators.md: message not in module/strings.rc: {m}" for m in sorted(quoted - set(messages.values()))]
faults += [f"administrators.md: refusal not listed: {m}" for m in sorted(refusals - quoted)]

# log.md: each refusal message's number and text, and each event's ID, level
# and text, against the string table, the message table source and the
# levels the code gives the events.
numbers = {k: int(v) for k, v in re.findall(r"^#define (IDS_\w+) (\d+)", read("platform/com/string_ids.h"), re.M)}
texts_by_number = {numbers[k]: v for k, v in messages.items() if k in numbers}
refusal_numbers = {numbers[k] for k, v in messages.items() if v in refusals}
log = text["docs/log.md"]
listed = {}
for number, said in re.findall(r"^\| (\d{3}) \| ([^|]+?) \|$", log, re.M):
    listed[int(number)] = said
    if texts_by_number.get(int(number)) != said:
        faults.append(f"log.md: message {number} is not the text of module/strings.rc: {said}")
faults += [f"log.md: refusal message {n} not in the message table" for n in sorted(refusal_numbers - set(listed))]
event_texts = {int(i): t.strip() for i, t in re.findall(r"^MessageId=(\d+)\n(?:\w+=.*\n)*?Language=\w+\n(.*)\n\.$",
                                                      read("module/events.mc"), re.M)}
levels = {numbers[k]: l for k, l in re.findall(r"\{(IDS_\w+), EventLevel::k(\w+),", read("pdm/session_log.cpp"))}
events = re.findall(r"^\| (\d{3}) \| (Error|Warning|Information) \| ([^|]+?) \|", log, re.M)
for number, level, said in events:
    n = int(number)
    if not event_texts.get(n, "").startswith(said):
        faults.append(f"log.md: event {n} does not begin as module/events.mc says: {said}")
    if levels.get(n) != level:
        faults.append(f"log.md: event {n} is {levels.get(n)} in pdm/session_log.cpp, not {level}")
faults += [f"log.md: event {n} not in the event table" for n in sorted(set(event_texts) - {int(e[0]) for e in events})]
faults += [f"module/events.mc: no event for refusal message {n}" for n in sorted(refusal_numbers - set(event_texts))]

# ./run commands and their options, against the script's commands and usage.
run = read("run")
commands = set(re.findall(r"^  ([a-z]+)\) shift; cmd_", run, re.M))
# The usage: the script's leading comment, up to its first empty comment line.
usage = run.split("\n#\n", 1)[0]
for doc, body in text.items():
    for command, options in re.findall(r"\./run ([a-z]+)((?: --[a-z0-9]+)*)", body):
        if command not in commands:
            faults.append(f"{doc}: ./run has no command {command}")
        faults += [f"{doc}: ./run {command} has no option {o}" for o in options.split()
                   if not re.search(rf"\./run {command} .*{o}\b", usage)]

# Registry and launch file names, against the constants that the code reads.
constants = set()
for header in ("pdm/save_policy.h", "pdm/session_log.h", "platform/system/registry.h", "platform/system/event_log.h",
               "interfaces/launch_file_keys.h"):
    constants |= {c.replace("\\\\", "\\") for c in re.findall(r'constexpr char k\w+\[\] = "([^"]*)"', read(header))}
for doc, body in text.items():
    for key in re.findall(r"(?:HKEY_LOCAL_MACHINE|HKLM)\\([\w\\]+)", body):
        if key not in constants:
            faults.append(f"{doc}: no such policy key in the code: {key}")
admin = text["docs/administrators.md"]
for name in re.findall(r"^\| `(\w+)` \| (?:REG_\w+|key) \|", admin, re.M):
    if not any(c == name or c.endswith("\\" + name) for c in constants):
        faults.append(f"administrators.md: no such registry name in the code: {name}")
policy = [c.replace("\\\\", "\\") for c in re.findall(r'constexpr char k\w+\[\] = "([^"]*)"', read("pdm/save_policy.h"))]
faults += [f"administrators.md: policy name not documented: {n}" for n in policy
           if n not in admin and f"`{n.split(chr(92))[-1]}`" not in admin]
launch_keys = re.findall(r"^\| (?:`\[\w+\]` )?\| (.*?) \|", text["docs/integrators.md"], re.M)
for key in re.findall(r"`(\w+)(?:<n>)?`", " ".join(launch_keys)):
    if key not in constants:
        faults.append(f"integrators.md: no such launch file key in the code: {key}")

# Blocks taken from files: copied lines, or report lines the end-to-end test expects.
expected = [e.replace("\\\\", "\\") for e in re.findall(r'^\s*expect_line "(.*)"', read("tests/e2e/session.sh"), re.M)]
for doc, body in text.items():
    for kind, source, block in re.findall(r"<!-- (copied from|expected by) (\S+) -->\n```\w*\n(.*?)```", body, re.S):
        lines = read(source).splitlines()
        for line in block.splitlines():
            if line == "..." or (line in lines if kind == "copied from" else any(e in line for e in expected)):
                continue
            faults.append(f"{doc}: not {kind} {source}: {line.strip()}")

# Relative links and the headings they name.
def anchors(body):
    return {re.sub(r"[^\w\- ]", "", h.strip().lower()).replace(" ", "-") for h in re.findall(r"^#+ (.*)$", body, re.M)}
for doc, body in text.items():
    for target, anchor in re.findall(r"\]\(([^)#:\s]*)(?:#([^)\s]*))?\)", body):
        path = os.path.normpath(os.path.join(os.path.dirname(doc), target)) if target else doc
        if not os.path.exists(os.path.join(root, path)):
            faults.append(f"{doc}: link to a missing file: {target}")
        elif anchor and anchor not in anchors(read(path)):
            faults.append(f"{doc}: link to a missing heading: {target}#{anchor}")

for fault in faults:
    print("docs:", fault)
print(f"docs: {len(docs)} documents, {len(refusals)} refusal messages, {len(faults)} stale places")
sys.exit(1 if faults else 0)
PY
