#!/usr/bin/env python3
"""Summary of a `make bench` log: every measured line of each benchmark, the
playlist commands against their floor, and the targets missed.

    scripts/bench-summary.py <log>

A benchmark's section starts with "== <executable>". Lines ending in "MISSED"
are targets not met. The playlist-command table (name, seconds at 10,000 and
100,000, ratio) gets each command against the push alone at the same size: every
command ends in that push, so it is the command's floor."""
import re
import sys

ROW = re.compile(r"^\s*(\S.*?)\s+([0-9.]+)\s+([0-9.]+)\s+([0-9.]+)(\s+.*)?$")
MEASURED = re.compile(r"ratio|per entry|bytes|target|MISSED|met$|reported$")


def table_rows(lines):
    """Rows "name ... t10 t100 ratio[ note]" of a command table."""
    out = []
    for line in lines:
        if "floor" in line or line.strip().startswith(("highest", "(reference", "command")):
            continue
        m = ROW.match(line)
        if m:
            out.append((m.group(1), float(m.group(2)), float(m.group(3)), float(m.group(4))))
    return out


def main(path):
    sections, name = {}, None
    for line in open(path, encoding="utf-8", errors="replace"):
        line = line.rstrip("\n")
        if line.startswith("== "):
            name = line[3:].split()[0]
            sections[name] = []
        elif name:
            sections[name].append(line)

    for exe, lines in sections.items():
        tables = exe.startswith(("PlayListCommands", "ListCommands"))
        # Lines that carry a measurement against a floor or a target.
        measured = [l.strip() for l in lines
                    if MEASURED.search(l) and not (tables and table_rows([l]))
                    and not l.strip().startswith(("highest", "command", "every command"))]
        failed = [l.strip() for l in lines if "FAILED" in l]
        if exe.startswith("PlayListCommands"):
            rows = table_rows(lines)
            push = next((r for r in rows if r[0].startswith("push alone")), None)
            print(exe + ": seconds at 10,000 and 100,000 entries; x = against the push alone at that size "
                  "(every command ends in it); scaling 100k/10k (linear 10, n log n 12.5, target 15)")
            for n, a, b, ratio in rows:
                vs = ""
                if push and push[1] > 0 and push[2] > 0:
                    vs = "  %7.1f x %7.1f x" % (a / push[1], b / push[2])
                print("  %-30s %9.4f %9.4f%s  scaling %5.1f  %s" % (n, a, b, vs, ratio,
                                                                     "MISSED" if ratio > 15 else "met"))
        elif exe.startswith("ListCommands"):
            print(exe + ": the list algorithms on the in-memory store, ms at 10,000 and 100,000, "
                  "scaling 100k/10k (target 15)")
            for n, a, b, ratio in table_rows(lines):
                print("  %-30s %9.3f %9.3f  scaling %5.1f  %s" % (n, a, b, ratio, "MISSED" if ratio > 15 else "met"))
        elif measured or failed:
            print(exe + ":")
        for l in measured + failed:
            print("  " + l)

    missed = [(exe, l.strip()) for exe, lines in sections.items() for l in lines if "MISSED" in l]
    missed += [(exe, "%s: scaling %.1f > 15" % (r[0], r[3]))
               for exe, lines in sections.items() if exe.startswith(("PlayListCommands", "ListCommands"))
               for r in table_rows(lines) if r[3] > 15 and "MISSED" not in r[0]]
    if missed:
        print("targets missed (%d):" % len(missed))
        for exe, l in missed:
            print("  %s: %s" % (exe, l))
    else:
        print("targets missed: none")


if __name__ == "__main__":
    main(sys.argv[1])
