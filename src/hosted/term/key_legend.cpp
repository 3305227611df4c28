#include "term/key_legend.h"

#include <algorithm>

namespace hosted::term {
namespace {

struct KeyHelp {
    const char* keys;
    const char* meaning;
};

const KeyHelp kWheelKeys[] = {
    {"F3 / F4", "steer left / right"},
    {"F5 / F6", "pedal down / up"},
    {"Alt+1..0", "button 1..10 down / up"},
    {"F7", "turn the hat"},
    {"F8", "wheel at rest"},
    {"F2", "autopilot on / off"},
};

const KeyHelp kScreenKeys[] = {
    {"F1", "this help"},
    {"F11", "panels (small screen)"},
    {"Ctrl-C", "quit at once"},
};

const KeyHelp kWindowKeys[] = {
    {"Tab", "next control"},          {"Shift+Tab", "control before"},
    {"Space Enter", "press"},         {"Esc", "cancel (the main: quit)"},
    {"Up / Down", "turn an up-down"}, {"letters", "type into an edit"},
    {"F9 Alt+Space", "system menu"},  {"Alt+F4", "close the window"},
    {"F12", "minimise / restore"},    {"mouse", "click"},
};

template <std::size_t N>
void AddSection(std::vector<std::string>* lines, const char* title, const KeyHelp (&keys)[N]) {
    lines->push_back(title);
    for (const KeyHelp& key : keys) {
        std::string name = std::string("  ") + key.keys;
        lines->push_back(name + std::string(name.size() < 15 ? 15 - name.size() : 1, ' ') +
                         key.meaning);
    }
}

} // namespace

std::vector<std::string> HelpLines(const RunFiles& files, int width) {
    std::vector<std::string> left, right, lines;
    AddSection(&left, "The wheel", kWheelKeys);
    left.push_back("");
    AddSection(&left, "The screen", kScreenKeys);
    AddSection(&right, "The window", kWindowKeys);
    const std::size_t kColumn = 38;
    if (width >= static_cast<int>(2 * kColumn)) {
        for (std::size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
            std::string line = i < left.size() ? left[i] : "";
            if (i < right.size())
                line += std::string(kColumn - std::min(kColumn - 1, line.size()), ' ') + right[i];
            lines.push_back(line);
        }
    } else {
        lines = left;
        lines.push_back("");
        lines.insert(lines.end(), right.begin(), right.end());
    }
    lines.push_back("");
    lines.push_back("Files");
    lines.push_back("  log        " + files.log);
    lines.push_back("  registry   " + files.registry);
    lines.push_back("  recording  " + (files.recording.empty()
                                           ? std::string("none; briskarn --record FILE makes one")
                                           : files.recording));
    lines.push_back("");
    lines.push_back("Any key closes this help.");
    return lines;
}

std::string StatusHint(bool quits, bool folded) {
    std::string hint = "Tab moves, Space presses, ";
    hint += quits ? "Esc quits BRISKARN" : "Esc cancels";
    hint += "; F1 help";
    if (folded)
        hint += ", F11 panels";
    return hint + ".";
}

} // namespace hosted::term
