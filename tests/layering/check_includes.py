#!/usr/bin/env python3
"""Checks that every #include "..." of the tree follows the one direction of
dependencies between the folders:

    platform <- base <- analysis, config <- usage <- ui/*, tools/*

("A <- B": B may include A, never the reverse; analysis and config not each
other). Besides:
  - platform/posix and platform/win32 are included from platform/ alone (and
    from the tests of that implementation, tests/platform/posix|win32);
    neither implementation includes the other;
  - one ui/ or tools/ program does not include another's files (files right
    in ui/ are shared by both editions);
  - the production folders never include tests/, fuzz/, bench/ or samples/;
    those four may include anything else.

Usage: check_includes.py ROOT
Prints FILE:LINE: the include and the rule it breaks, for each; exit status 1
when there is one, 2 when ROOT holds none of the source folders.
"""
import os
import re
import sys

# What each production folder may include, itself aside.
ALLOWED = {
    "platform": set(),
    "base": {"platform"},
    "analysis": {"base", "platform"},
    "config": {"base", "platform"},
    "usage": {"config", "analysis", "base", "platform"},
    "ui": {"usage", "config", "analysis", "base", "platform"},
    "tools": {"usage", "config", "analysis", "base", "platform"},
}
NON_PRODUCTION = ("tests", "fuzz", "bench", "samples")
IMPLEMENTATIONS = ("posix", "win32")
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c", ".inl", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>)')


def parts(path):
    return path.split("/")


def unit(path):
    """The folder a file belongs to for the rules: ui/console, tools/exeprobe,
    ui (a file right in ui/), or the top folder."""
    p = parts(path)
    if p[0] in ("ui", "tools") and len(p) > 2:
        return p[0] + "/" + p[1]
    return p[0]


def implementation(path):
    """'posix' or 'win32' for a file of platform/posix or platform/win32."""
    p = parts(path)
    if len(p) > 2 and p[0] == "platform" and p[1] in IMPLEMENTATIONS:
        return p[1]
    return None


def violation(source, target):
    """Why source may not include target, or None when it may."""
    top, target_top = parts(source)[0], parts(target)[0]
    impl = implementation(target)
    if impl is not None:
        p = parts(source)
        in_platform = p[0] == "platform" and implementation(source) in (None, impl)
        in_its_tests = p[:3] == ["tests", "platform", impl]
        if not (in_platform or in_its_tests):
            return "platform/%s is included from platform/ alone" % impl
    if top in NON_PRODUCTION:
        return None
    if target_top in NON_PRODUCTION:
        return "%s/ is never included by the production folders" % target_top
    if target_top not in ALLOWED or target_top == top:
        if top in ("ui", "tools") and target_top == top:
            own, other = unit(source), unit(target)
            if other != own and other != top:
                return "%s may not include another program's files (%s)" % (own, other)
        return None
    if target_top not in ALLOWED[top]:
        allowed = ", ".join(sorted(ALLOWED[top] | {top})) or top
        return "%s/ may include only %s" % (top, allowed)
    return None


def resolve(root, source, written):
    """The include as a path from ROOT: beside the including file when such a
    file exists there, else from ROOT (the include folder of every target)."""
    beside = os.path.normpath(os.path.join(os.path.dirname(source), written)).replace(os.sep, "/")
    if os.path.isfile(os.path.join(root, beside)):
        return beside
    return os.path.normpath(written).replace(os.sep, "/")


def source_files(root):
    for top in list(ALLOWED) + list(NON_PRODUCTION):
        folder = os.path.join(root, top)
        for directory, subdirs, files in os.walk(folder):
            subdirs.sort()
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(directory, name), root).replace(os.sep, "/")


def check(root):
    """The broken rules as (file, line, include, reason), and the number of
    files read."""
    found = []
    count = 0
    for source in source_files(root):
        count += 1
        with open(os.path.join(root, source), encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                if match.group(1) is not None:
                    written = '"%s"' % match.group(1)
                    target = resolve(root, source, match.group(1))
                else:
                    # <...> finds the tree's files too (every target exports
                    # its root); a system header is none of its folders.
                    written = "<%s>" % match.group(2)
                    target = os.path.normpath(match.group(2)).replace(os.sep, "/")
                    if parts(target)[0] not in ALLOWED and parts(target)[0] not in NON_PRODUCTION:
                        continue
                reason = violation(source, target)
                if reason is not None:
                    found.append((source, number, written, reason))
    return found, count


def main(argv):
    if len(argv) != 2:
        print("use: check_includes.py ROOT", file=sys.stderr)
        return 2
    root = argv[1]
    found, count = check(root)
    if count == 0:
        print("no source files under %s" % root, file=sys.stderr)
        return 2
    for source, number, written, reason in found:
        print("%s:%d: #include %s: %s" % (source, number, written, reason))
    if found:
        print("%d include(s) against the direction of dependencies" % len(found))
        return 1
    print("%d files, every include in the allowed direction" % count)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
