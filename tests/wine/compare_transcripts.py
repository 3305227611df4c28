#!/usr/bin/env python3
"""compare_transcripts.py SCENARIO HOSTED WINE

Compares the transcript of a scenario on the simulated machine with the one
of the same scenario run against the real program under Wine, as far as a
real Windows lets one see: per kind of line (log, message boxes, windows,
control snapshots, the driver, registry writes, the end), in order, times
aside. The lines only the simulated machine can write (its registered
messages, timers, priorities) are left out. Exit 0 when they agree."""
import difflib
import re
import sys

LOG_TIME = re.compile(r"^log \d\d/\d\d/\d{4} \d\d:\d\d:\d\d-\d{4} ")
BUTTONS = {"MB_OK": "OK", "MB_OKCANCEL": "OK Cancel", "MB_ABORTRETRYIGNORE": "Abort Retry Ignore",
           "MB_YESNOCANCEL": "Yes No Cancel", "MB_YESNO": "Yes No", "MB_RETRYCANCEL": "Retry Cancel"}
KINDS = ("log", "msgbox", "window", "control", "driver", "registry", "exit")


def kind_of(line):
    word = line.split(" ", 1)[0]
    return word if word in KINDS else None


def path_name_value(words):
    """A registry line's key path (its words that hold a backslash), the
    value's name and the value."""
    end = 1
    while end < len(words) and "\\" in words[end]:
        end += 1
    return " ".join(words[:end]), words[end] if end < len(words) else "", " ".join(words[end + 1:])


def set_up_values(scenario):
    """The registry values the scenario sets before the program starts."""
    values = {}
    for line in open(scenario, encoding="utf-8"):
        words = line.split("#", 1)[0].split()
        if words[:1] == ["start"]:
            break
        if len(words) >= 5 and words[0] == "registry" and words[1] in ("dword", "string"):
            path, name, value = path_name_value(words[2:])
            value = str(int(value, 0)) if words[1] == "dword" else '"%s"' % value.strip('"')
            values[path + " " + name] = value
    return values


def hosted_lines(path, scenario):
    captions, written, lines = {}, {}, []
    for raw in open(path, encoding="utf-8", errors="replace"):
        line = re.sub(r"^\[-?\d+\] ", "", raw.rstrip("\n"))
        if line.startswith("window open "):
            _, _, ident, caption = line.split(" ", 3)
            captions[ident] = caption
            line = "window open " + caption
        elif line.startswith("window close "):
            ident = line.split(" ")[2]
            line = "window close " + captions.get(ident, ident)
        elif line.startswith("msgbox "):
            caption, text, flags = line[len("msgbox "):].rsplit(" | ", 2)
            line = "msgbox %s | %s | %s" % (caption, text, BUTTONS.get(flags.split("|")[0], flags))
        elif line.startswith("registry write "):
            path, name, value = path_name_value(line.split(" ")[2:])
            written[path + " " + name] = value
            continue
        lines.append(line)
    before = set_up_values(scenario)
    registry = ["registry write %s %s" % (key, value) for key, value in sorted(written.items())
                if before.get(key) != value]
    # The runner reads the registry as the program ends.
    end = lines.index("exit") if "exit" in lines else len(lines)
    return lines[:end] + registry + lines[end:]


def wine_lines(path):
    return [raw.rstrip("\n") for raw in open(path, encoding="utf-8", errors="replace")]


def by_kind(lines):
    kinds = {kind: [] for kind in KINDS}
    for line in lines:
        kind = kind_of(line)
        if kind:
            kinds[kind].append(LOG_TIME.sub("log ", line) if kind == "log" else line)
    return kinds


# Switching forwarding off kills the multimedia timer and unacquires the
# wheel without waiting for a pass under way (it may be waiting for the very
# thread that switches off); on a real Win32 such a pass can then read the
# unacquired wheel. The simulated machine runs its passes only at their
# virtual instants and never shows it.
LATE_PASS = "log * Error getting game device state.  Return Code: DIERR_NOTACQUIRED\\n"
SWITCHED_OFF = "log * RZ4 Callback disabled.\\n"


def without_late_passes(logs):
    return [line for i, line in enumerate(logs)
            if line != LATE_PASS or SWITCHED_OFF not in logs[max(0, i - 1):i + 2]]


def main():
    scenario, hosted, wine = sys.argv[1:4]
    left, right = by_kind(hosted_lines(hosted, scenario)), by_kind(wine_lines(wine))
    right["log"] = without_late_passes(right["log"])
    differ = False
    for kind in KINDS:
        if left[kind] != right[kind]:
            differ = True
            print("%s lines differ (hosted -, Wine +):" % kind)
            for line in difflib.unified_diff(left[kind], right[kind], "hosted", "wine", lineterm="", n=2):
                print("  " + line)
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
