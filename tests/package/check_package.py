#!/usr/bin/env python3
"""Checks the user's package of the win32 build.

Usage: check_package.py sizes ZIP
       check_package.py readme ZIP SOURCE_DIR

sizes: the zip holds exactly the two programs and README.TXT, under MS-DOS
(8.3) names, and each program fits its size limit.
readme: README.TXT has MS-DOS line ends, plain ASCII and at most 78 columns,
and names every fixed text the log can hold and every line PATCHER prints,
as the program sources state them.
"""

import re
import sys
import zipfile

LIMITS = {"BRISKARN.EXE": 64 * 1024, "PATCHER.EXE": 32 * 1024}
SHORT_NAME = re.compile(r"^[A-Z0-9_~-]{1,8}(\.[A-Z0-9_~-]{1,3})?$")
WIDTH = 78


def check_sizes(archive):
    problems = []
    names = sorted(info.filename for info in archive.infolist())
    if names != sorted(list(LIMITS) + ["README.TXT"]):
        problems.append("the package holds %s" % names)
    for info in archive.infolist():
        if not SHORT_NAME.match(info.filename):
            problems.append("%s is not an 8.3 name" % info.filename)
        limit = LIMITS.get(info.filename)
        print("%-12s %6d bytes" % (info.filename, info.file_size))
        if limit and info.file_size > limit:
            problems.append("%s has %d bytes, more than %d" % (info.filename, info.file_size, limit))
    return problems


def string_literals(path, call):
    """The first string argument of every call of `call` in a source file."""
    with open(path, encoding="utf-8") as source:
        text = source.read()
    return re.findall(r"\b%s\(\s*\"((?:[^\"\\]|\\.)*)\"" % re.escape(call), text)


def log_texts(source_dir):
    """Every fixed text handed to the log: WriteLog's own and the failure
    steps that ReportDIError completes with a return code."""
    texts = []
    for part in ("shell", "input", "bridge"):
        for path in sorted(glob_sources(source_dir + "/src/" + part)):
            texts += string_literals(path, "WriteLog") + string_literals(path, "ReportDIError")
    return sorted({text.replace("\\n", "").strip() for text in texts})


def patcher_lines(source_dir):
    """Every line PATCHER prints, its %s conversions as a pattern."""
    path = source_dir + "/src/patcher/patcher_main.cpp"
    lines = string_literals(path, "std::puts") + string_literals(path, "std::printf")
    return [line.replace("\\n", "") for line in lines]


def glob_sources(folder):
    import glob
    return glob.glob(folder + "/**/*.cpp", recursive=True)


def check_readme(archive, source_dir):
    problems = []
    data = archive.read("README.TXT")
    if re.search(rb"(?<!\r)\n|\r(?!\n)", data):
        problems.append("a line does not end in carriage return and line feed")
    if re.search(rb"[^\r\n\x20-\x7e]", data):
        problems.append("a character is not printable ASCII")
    lines = data.decode("ascii", "replace").split("\r\n")
    for number, line in enumerate(lines, 1):
        if len(line) > WIDTH:
            problems.append("line %d has %d columns" % (number, len(line)))
    texts = log_texts(source_dir)
    patterns = patcher_lines(source_dir)
    if len(texts) < 20 or len(patterns) < 5:
        problems.append("found only %d log texts and %d PATCHER lines in the sources"
                        % (len(texts), len(patterns)))
    body = "\n".join(lines)
    for text in texts:
        if not re.search(r"(?m)^ *" + re.escape(text) + r"(\s|$)", body):
            problems.append("the log text '%s' is not named on a line of its own" % text)
    for line in patterns:
        pattern = re.escape(line).replace(re.escape("%s"), r"\S+")
        if not re.search(r"(?m)^ *" + pattern + r" *$", body):
            problems.append("PATCHER's line '%s' is not named on a line of its own" % line)
    return problems


def main(argv):
    mode, zip_path = argv[1], argv[2]
    with zipfile.ZipFile(zip_path) as archive:
        problems = check_sizes(archive) if mode == "sizes" else check_readme(archive, argv[3])
    for problem in problems:
        print("problem: " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
