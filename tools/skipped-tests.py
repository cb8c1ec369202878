#!/usr/bin/env python3
"""skipped-tests.py LABEL JUNIT_XML: the tests that skipped in one ctest run,
one line each, "skipped: LABEL TEST: REASON".

ctest's JUnit report (ctest --output-junit) marks a skipped test (a GoogleTest
case that called GTEST_SKIP, or a script that exited with its skip code);
the reason is the line after GoogleTest's "Skipped" or a script's own
"SKIPPED: " line. A test program run as one ctest test (the Windows ones,
under Wine) passes as a whole: the cases that skipped inside it are read
from its output and named "PROGRAM/CASE"."""

import sys
import xml.etree.ElementTree as ET


def reasons(output):
    """The reason of each skip in a program's output, in order, with the
    GoogleTest case that skipped (None when the output names none)."""
    found = []
    lines = output.splitlines()
    case = None
    for i, line in enumerate(lines):
        if line.startswith("[ RUN      ] "):
            case = line[13:].strip()
        elif line.endswith(": Skipped") and i + 1 < len(lines):
            found.append((case, lines[i + 1].strip()))
        elif line.startswith("SKIPPED: "):
            found.append((None, line[9:].strip()))
    return found


def main():
    label, path = sys.argv[1], sys.argv[2]
    for case in ET.parse(path).getroot().iter("testcase"):
        name = case.get("name", "").split("  # ")[0]
        output = case.findtext("system-out") or ""
        found = reasons(output)
        if case.find("skipped") is not None:
            why = found[0][1] if found else "no reason given"
            print(f"skipped: {label} {name}: {why}")
        else:
            for inner, why in found:
                if inner:
                    print(f"skipped: {label} {name}/{inner}: {why}")


if __name__ == "__main__":
    main()
