#!/usr/bin/python3
"""Prints NOTICE: the licences of the toolchain code that the statically
linked quillmark.exe carries (libstdc++, libgcc, the MinGW-w64 runtime and
winpthreads), taken from the copyright files of the Debian packages that
installed those libraries.

    tools/make-notice.py > NOTICE

package.sh runs it again and refuses to package when NOTICE differs, so a
toolchain whose licences changed is noticed before a release.
"""

import os
import re
import subprocess
import sys

CXX = "x86_64-w64-mingw32-g++-posix"
MINGW_LIB = "/usr/x86_64-w64-mingw32/lib"

# The parts of the MinGW-w64 source tree that end up in a program: the C
# runtime (its start-up code, libmingwex, libmsvcrt and the import
# libraries) and winpthreads. Not the profiling code (only with -pg), the
# tools or the tests.
MINGW_KEEP = ("mingw-w64-crt/", "mingw-w64-libraries/winpthreads/")
MINGW_SKIP = ("mingw-w64-crt/profile/", "mingw-w64-libraries/winpthreads/tests_pthread/")


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout.strip()


def package_of(path):
    """The Debian package that installed path (symbolic links resolved)."""
    path = os.path.realpath(path)
    return run("dpkg-query", "-S", path).split(":")[0]


def copyright_text(package):
    with open(f"/usr/share/doc/{package}/copyright", encoding="utf-8") as f:
        return f.read()


def between(text, start, end):
    """The lines of text from the one starting with start up to (not
    including) the one starting with end."""
    lines = text.splitlines()
    first = next(i for i, line in enumerate(lines) if line.startswith(start))
    last = next(i for i in range(first + 1, len(lines)) if lines[i].startswith(end))
    return "\n".join(lines[first:last]).rstrip() + "\n"


def gcc_section(text):
    return (between(text, "GCC is Copyright", "The libbacktrace library") + "\n" +
            between(text, "GCC RUNTIME LIBRARY EXCEPTION", "libquadmath/"))


def paragraphs(text):
    """The paragraphs of a machine-readable copyright file, as lists of lines."""
    return [p.splitlines() for p in re.split(r"\n\s*\n", text) if p.strip()]


def field(paragraph, name):
    """A field's value with its continuation lines, or None."""
    for i, line in enumerate(paragraph):
        if line.startswith(name + ":"):
            value = [line[len(name) + 1:].strip()]
            for more in paragraph[i + 1:]:
                if not more[:1].isspace():
                    break
                value.append(more.strip())
            return value
    return None


def mingw_section(text):
    kept = []
    wanted = set()
    stated = set()
    for paragraph in paragraphs(text):
        files = field(paragraph, "Files")
        if files is None:
            continue
        patterns = " ".join(files).split()
        if not any(p == "*" or (p.startswith(MINGW_KEEP) and not p.startswith(MINGW_SKIP))
                   for p in patterns):
            continue
        kept.append(paragraph)
        licence = field(paragraph, "License")
        names = re.split(r"\s+(?:and|or)\s+", licence[0])
        if len(licence) > 1:
            stated.update(names)
        wanted.update(names)
    # The licence texts that the kept paragraphs name but do not spell out.
    for paragraph in paragraphs(text):
        if field(paragraph, "Files") is None and paragraph[0].startswith("License:"):
            name = paragraph[0][len("License:"):].strip()
            if name in wanted and name not in stated:
                kept.append(paragraph)
    return "\n\n".join("\n".join(p) for p in kept) + "\n"


def heading(title, packages):
    names = ", ".join(packages)
    files = ", ".join(sorted({f"/usr/share/doc/{p}/copyright" for p in packages}))
    rule = "=" * 76
    return f"{rule}\n{title}\nDebian packages: {names}\nFrom: {files}\n{rule}\n\n"


def main():
    libstdcxx = run(CXX, "-print-file-name=libstdc++.a")
    libgcc = run(CXX, "-print-file-name=libgcc.a")
    gcc_packages = sorted({package_of(libstdcxx), package_of(libgcc)})
    mingw_packages = sorted({package_of(f"{MINGW_LIB}/libmingwex.a"),
                             package_of(f"{MINGW_LIB}/libwinpthread.a")})
    gcc_texts = {copyright_text(p) for p in gcc_packages}
    mingw_texts = {copyright_text(p) for p in mingw_packages}
    if len(gcc_texts) != 1 or len(mingw_texts) != 1:
        sys.exit("make-notice: the packages' copyright files differ; read them by hand")

    out = sys.stdout
    out.write("Quillmark is distributed under the MIT licence: see LICENSE.\n\n"
              "quillmark.exe is linked statically with the runtime libraries of the\n"
              "MinGW-w64 GCC toolchain it is built with, so it carries parts of them:\n"
              "libstdc++ and libgcc (GCC's runtime library, under the GNU GPL version 3\n"
              "with the GCC Runtime Library Exception), and the MinGW-w64 C runtime and\n"
              "winpthreads. Their licences follow, as the copyright files of the Debian\n"
              "packages that provide them state them.\n\n")
    out.write(heading("libstdc++ and libgcc (GCC)", gcc_packages))
    out.write(gcc_section(gcc_texts.pop()))
    out.write("\n\n")
    out.write(heading("The MinGW-w64 runtime and winpthreads", mingw_packages))
    out.write(mingw_section(mingw_texts.pop()))


if __name__ == "__main__":
    main()
