// A live session's recording, which must replay the run: what happened is
// written down, in order, and nothing that did not happen; and the registry
// written as the steps that set it up again.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "core/clock.h"
#include "core/machine.h"
#include "sim/registry_steps.h"
#include "sim/session.h"

namespace {

using hosted::StepOutcome;

std::int64_t Now() {
    hosted::MachineLock lock = hosted::LockMachine();
    return hosted::VirtualNow();
}

std::string Contents(std::FILE* file) {
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    return text;
}

TEST(LiveSession, RecordsTheStepsCarriedOutWithTheTimeBetweenThemAsOneAdvance) {
    std::FILE* recording = std::tmpfile();
    ASSERT_NE(recording, nullptr);
    hosted::LiveSession session(recording);
    std::string error;
    const std::int64_t start = Now();
    const std::string kSet = "registry dword \"HKCU\\Software\\Session Test\" \"Value\" 7";

    EXPECT_EQ(session.AdvanceTo(start + 20, &error), StepOutcome::Done) << error;
    EXPECT_EQ(session.AdvanceTo(start + 50, &error), StepOutcome::Done) << error;
    EXPECT_EQ(session.AdvanceTo(start + 50, &error), StepOutcome::Done) << "not later: nothing";
    EXPECT_EQ(session.AdvanceTo(start + 10, &error), StepOutcome::Done) << "earlier: nothing";
    EXPECT_EQ(Now(), start + 50);
    // Refused steps change nothing, so a replay must not meet them.
    const char* const kRefused[] = {"click 4242",  "frobnicate 1",       "",
                                    "# a comment", "key enter\nkey tab", "advance soon"};
    for (const char* line : kRefused) {
        error.clear();
        EXPECT_EQ(session.Do(line, &error), StepOutcome::Refused) << line;
        EXPECT_NE(error, "") << line;
    }
    EXPECT_EQ(session.Do(kSet, &error), StepOutcome::Done) << error;
    EXPECT_EQ(session.Do(kSet, &error), StepOutcome::Done) << error;
    EXPECT_EQ(session.AdvanceTo(start + 70, &error), StepOutcome::Done) << error;
    EXPECT_EQ(session.AdvanceTo(start + 80, &error), StepOutcome::Done) << error;
    EXPECT_EQ(session.Do("advance 5ms", &error), StepOutcome::Done) << error;
    EXPECT_EQ(session.AdvanceTo(start + 100, &error), StepOutcome::Done) << error;
    // Until it is flushed, the recording ends as a SIGKILL would end it.
    EXPECT_EQ(Contents(recording),
              "advance 50ms\n" + kSet + "\n" + kSet + "\nadvance 30ms\nadvance 5ms\nsignal KILL\n");
    session.Flush();
    session.Flush();
    EXPECT_EQ(Contents(recording), "advance 50ms\n" + kSet + "\n" + kSet +
                                       "\n"
                                       "advance 30ms\n"
                                       "advance 5ms\n"
                                       "advance 15ms\n");
    EXPECT_EQ(Now(), start + 100);
    std::fclose(recording);
}

// The lines of RegistryStepLines for the machine's registry under `path`.
std::vector<std::string> StepLinesUnder(const std::string& path) {
    std::vector<std::string> all, under;
    {
        hosted::MachineLock lock = hosted::LockMachine();
        all = hosted::RegistryStepLines(hosted::Roots());
    }
    for (const std::string& line : all)
        if (line.find(path) != std::string::npos)
            under.push_back(line);
    return under;
}

struct Value {
    const char* key; // below HKCU
    std::string name;
    DWORD type;
    std::string data; // a REG_SZ's with its terminating NUL
};

std::string Sz(const char* text) {
    return std::string(text) + '\0';
}

std::string Dword(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), 4);
}

void Write(const Value& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, value.key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, value.name.c_str(), 0, value.type,
                             reinterpret_cast<const BYTE*>(value.data.data()),
                             static_cast<DWORD>(value.data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

std::string Read(const Value& value, DWORD* type) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, value.key, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    char data[256];
    DWORD size = sizeof data;
    LONG result = RegQueryValueExA(key, value.name.c_str(), nullptr, type,
                                   reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(data, size) : "<no value>";
}

TEST(RegistryStepLines, RecreateEveryValueAndSayWhatALineCannotHold) {
    const std::string kPath = "HKCU\\Software\\Step Lines";
    const BYTE kBinary[] = {7, 0, 0, 0};
    const Value kKept[] = {
        {"Software\\Step Lines", "Zero", REG_DWORD, Dword(0)},
        {"Software\\Step Lines", "Most", REG_DWORD, Dword(0xFFFFFFFF)},
        {"Software\\Step Lines", "Blanks", REG_SZ, Sz("  two  words ")},
        {"Software\\Step Lines", "Empty", REG_SZ, Sz("")},
        {"Software\\Step Lines", "", REG_SZ, Sz("the default value")},
        {"Software\\Step Lines\\ Sub Key ", "C:\\Path\\Name", REG_SZ, Sz("C:\\Program Files\\x")},
        {"Software\\Step Lines", "Say \"hi\"", REG_DWORD, Dword(1)},
        {"Software\\Step Lines", "No #1", REG_DWORD, Dword(1)},
        {"Software\\Step Lines", "Quote", REG_SZ, Sz("a \"b\" \"")},
        {"Software\\Step Lines", "Hash", REG_SZ, Sz("a #b # c")},
        {"Software\\Step Lines\\Key #2", "Kept", REG_DWORD, Dword(2)},
        {"Software\\Step Lines\\Key \"3\"", "Kept", REG_DWORD, Dword(3)},
        {"Software\\Step Lines", "Binary", REG_BINARY,
         std::string(reinterpret_cast<const char*>(kBinary), 4)},
        {"Software\\Step Lines", "Nothing", REG_BINARY, ""},
        {"Software\\Step Lines\\carriage\rreturn", "a\rb", REG_DWORD, Dword(5)},
        {"Software\\Step Lines", "Short", REG_DWORD, "\1\2"},
        {"Software\\Step Lines", "Unterminated", REG_SZ, "ab"},
        {"Software\\Step Lines", "Line end", REG_SZ, Sz("one\ntwo")},
        {"Software\\Step Lines", "Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5)},
    };
    const Value kLeftOut[] = {
        {"Software\\Step Lines", "line\nend", REG_DWORD, Dword(1)},
        {"Software\\Step Lines\\line\nend", "Kept", REG_DWORD, Dword(2)},
    };
    for (const Value& value : kKept)
        Write(value);
    for (const Value& value : kLeftOut)
        Write(value);
    HKEY empty = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Step Lines\\Empty Key", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &empty, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(empty);
    std::vector<std::string> lines = StepLinesUnder(kPath);
    // Said, not dropped without a word.
    std::size_t comments = 0;
    for (const std::string& line : lines)
        comments += line[0] == '#';
    EXPECT_EQ(comments, std::size(kLeftOut));

    hosted::LiveSession session;
    std::string error;
    ASSERT_EQ(session.Do("registry delete \"" + kPath + "\"", &error), StepOutcome::Done) << error;
    for (const std::string& line : lines) {
        if (line[0] == '#')
            continue;
        ASSERT_EQ(session.Do(line, &error), StepOutcome::Done) << line << ": " << error;
    }
    for (const Value& value : kKept) {
        DWORD type = REG_NONE;
        EXPECT_EQ(Read(value, &type), value.data) << value.key << " " << value.name;
        EXPECT_EQ(type, value.type) << value.key << " " << value.name;
    }
    HKEY key = nullptr;
    EXPECT_EQ(
        RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Step Lines\\Empty Key", 0, KEY_READ, &key),
        ERROR_SUCCESS);
    RegCloseKey(key);
    for (const Value& value : kLeftOut) {
        DWORD type = REG_NONE;
        EXPECT_EQ(Read(value, &type).front(), '<') << value.key << " " << value.name;
    }
    std::vector<std::string> again = StepLinesUnder(kPath);
    again.erase(std::remove_if(again.begin(), again.end(),
                               [](const std::string& line) { return line[0] == '#'; }),
                again.end());
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& line) { return line[0] == '#'; }),
                lines.end());
    EXPECT_EQ(again, lines);
}

} // namespace
