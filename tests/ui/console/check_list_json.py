#!/usr/bin/env python3
"""Checks the console edition's JSON list against the TSV list of a run over
the same installation: usage: check_list_json.py JSON TSV [BACKUP_DIR].
With BACKUP_DIR the JSON comes from a run with a backup into that folder.
Prints what does not agree and exits with 1; exits with 0 when all agrees."""
import json
import os
import sys


def escape(text):
    return text.replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def main():
    json_path, tsv_path = sys.argv[1], sys.argv[2]
    backup = sys.argv[3] if len(sys.argv) > 3 else None
    with open(json_path, "rb") as f:
        document = json.loads(f.read().decode("utf-8"))
    with open(tsv_path, "rb") as f:
        lines = f.read().decode("utf-8", "surrogateescape").split("\n")
    assert lines[-1] == "", "the TSV ends with a line feed"
    lines = lines[:-1]
    problems = []
    candidates = document["candidates"]
    if len(candidates) != len(lines):
        problems.append(f"{len(candidates)} candidates in JSON, {len(lines)} TSV lines")
    used = unused = unused_bytes = moved = moved_bytes = kept = 0
    for c, line in zip(candidates, lines):
        user = "?" if not c["used"] else f"{escape(c['usedBy'])}({c['usedByKind']})"
        expected = f"{escape(c['name'])}\t{c['libraryKind']}\t{user}"
        if line != expected:
            problems.append(f"TSV {line!r} but JSON gives {expected!r}")
        if os.path.basename(c["path"]).lower() != c["name"]:
            problems.append(f"path {c['path']!r} does not end in {c['name']!r}")
        fate = c.get("backup")
        if c["used"]:
            used += 1
        else:
            unused += 1
            unused_bytes += c["size"]
        if backup is None:
            if fate is not None:
                problems.append(f"{c['name']!r}: a fate without a backup")
            if os.path.getsize(c["path"]) != c["size"]:
                problems.append(f"{c['name']!r}: size {c['size']} is not the file's")
            continue
        if c["used"] != (fate == "used"):
            problems.append(f"{c['name']!r}: used {c['used']} but backup {fate!r}")
        if fate == "moved":
            moved += 1
            moved_bytes += c["size"]
            target = os.path.join(backup, c["name"])
            if os.path.exists(c["path"]) or os.path.getsize(target) != c["size"]:
                problems.append(f"{c['name']!r} said moved but is not in {backup}")
        elif fate == "kept":
            kept += 1
            if not c.get("keptBecause") or not os.path.exists(c["path"]):
                problems.append(f"{c['name']!r} kept without a reason or not in place")
    totals = document["totals"]
    wanted = {"candidates": len(candidates), "used": used, "unused": unused, "unusedBytes": unused_bytes}
    if backup is not None:
        wanted.update({"moved": moved, "movedBytes": moved_bytes, "kept": kept})
    for key, value in wanted.items():
        if totals.get(key) != value:
            problems.append(f"totals[{key!r}] is {totals.get(key)!r}, the candidates give {value!r}")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
