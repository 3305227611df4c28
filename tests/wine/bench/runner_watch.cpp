// What the runner sees of the program from outside, as a user, the driver
// and the registry would: its windows, its log, the driver's record, its
// registry key and its end.
#include <cstring>

#include "runner.h"

namespace {

const char kLogName[] = "Briskarn.log";
const char kProgramKey[] = "Software\\ORMEL Software";

struct Finding {
    DWORD process;
    std::vector<HWND>* windows;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM found) {
    Finding& finding = *reinterpret_cast<Finding*>(found);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (owner == finding.process && IsWindowVisible(window) &&
        std::strcmp(className, "#32770") == 0)
        finding.windows->push_back(window);
    return TRUE;
}

std::string ButtonsOf(HWND box) {
    std::string buttons;
    for (int id = IDOK; id <= IDNO; ++id) {
        HWND button = GetDlgItem(box, id);
        if (button && IsWindowVisible(button)) {
            std::string text = TextOf(button);
            std::string plain;
            for (char c : text)
                if (c != '&')
                    plain += c;
            buttons += (buttons.empty() ? "" : " ") + plain;
        }
    }
    return buttons;
}

void CollectWindows(Run& run) {
    std::vector<HWND> now = run.ended ? std::vector<HWND>() : ProgramWindows(run);
    // Gone first: a dialog that ends and one that follows it.
    for (std::size_t i = 0; i < run.shown.size();) {
        bool still = false;
        for (HWND window : now)
            still = still || window == run.shown[i].window;
        if (still) {
            ++i;
            continue;
        }
        if (run.shown[i].caption != "\x01msgbox")
            Line(run, "window close " + run.shown[i].caption);
        run.shown.erase(run.shown.begin() + static_cast<std::ptrdiff_t>(i));
    }
    // New ones, bottom first: the order they opened in.
    for (auto it = now.rbegin(); it != now.rend(); ++it) {
        bool known = false;
        for (const Run::Shown& shown : run.shown)
            known = known || shown.window == *it;
        if (known)
            continue;
        std::string caption = TextOf(*it);
        if (IsMessageBox(*it)) {
            Line(run, "msgbox " + caption + " | " + TextOf(GetDlgItem(*it, 0xFFFF)) + " | " +
                          ButtonsOf(*it));
            run.shown.push_back({*it, "\x01msgbox"});
        } else {
            Line(run, "window open " + caption);
            run.shown.push_back({*it, caption});
        }
    }
}

void CollectLog(Run& run) {
    HANDLE file = CreateFileA(kLogName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    SetFilePointer(file, run.logSeen, nullptr, FILE_BEGIN);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        run.logSeen += static_cast<long>(got);
        run.logPending.append(buffer, got);
    }
    CloseHandle(file);
    std::size_t end;
    while ((end = run.logPending.find('\n')) != std::string::npos) {
        Line(run, "log " + run.logPending.substr(0, end) + "\\n");
        run.logPending.erase(0, end + 1);
    }
}

void CollectDriver(Run& run) {
    std::vector<bench::DriverEvent> events;
    {
        bench::Lock lock;
        for (; run.driverSeen < run.memory->driverEventCount; ++run.driverSeen)
            events.push_back(run.memory->driverEvents[run.driverSeen % bench::kDriverEvents]);
    }
    char text[128];
    for (const bench::DriverEvent& event : events) {
        const DWORD* v = event.values;
        switch (event.kind) {
        case bench::kOpen:
            Line(run, "driver open");
            break;
        case bench::kOpenRefused:
            std::snprintf(text, sizeof text, "driver open failed %lu", v[0]);
            Line(run, text);
            break;
        case bench::kStatus:
            std::snprintf(text, sizeof text, "driver status %lu %lu", v[0], v[1]);
            Line(run, text);
            break;
        case bench::kReport:
            std::snprintf(text, sizeof text, "driver report %ld %ld %lu %lu 0x%lX",
                          static_cast<long>(v[0]), static_cast<long>(v[1]), v[2], v[3], v[4]);
            Line(run, text);
            break;
        case bench::kClose:
            Line(run, "driver close");
            break;
        }
    }
}

long long Milliseconds() {
    return static_cast<long long>(GetTickCount());
}

void AddValues(HKEY key, const std::string& path, std::map<std::string, std::string>* values) {
    char name[256];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        std::string value;
        if (type == REG_DWORD && dataSize == 4) {
            DWORD number;
            std::memcpy(&number, data, 4);
            value = std::to_string(number);
        } else {
            data[dataSize] = 0;
            value = "\"";
            for (const char* c = reinterpret_cast<char*>(data); *c; ++c) {
                if (*c == '"' || *c == '\\')
                    value += '\\';
                value += *c;
            }
            value += "\"";
        }
        (*values)[path + " " + name] = value;
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        HKEY sub;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            AddValues(sub, path + "\\" + name, values);
            RegCloseKey(sub);
        }
    }
}

void DeleteTree(HKEY parent, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char sub[256];
    for (;;) {
        DWORD size = sizeof sub;
        if (RegEnumKeyExA(key, 0, sub, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        DeleteTree(key, sub);
    }
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}

} // namespace

void Line(Run& run, const std::string& text) {
    std::fprintf(run.transcript, "%s\n", text.c_str());
    std::fflush(run.transcript);
}

std::string TextOf(HWND window) {
    char text[1024] = "";
    if (window)
        SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 5000, nullptr);
    text[sizeof text - 1] = 0;
    return text;
}

// Wine's and Windows' message boxes hold their text in a static of id
// 0xFFFF beside an icon of id 1088; the program's dialogs have neither.
bool IsMessageBox(HWND window) {
    HWND text = GetDlgItem(window, 0xFFFF);
    return text && GetDlgItem(window, 1088);
}

std::vector<HWND> ProgramWindows(const Run& run) {
    std::vector<HWND> windows;
    if (!run.started)
        return windows;
    Finding finding{run.process.dwProcessId, &windows};
    EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&finding));
    return windows;
}

HWND ActiveWindow(const Run& run) {
    for (HWND window : ProgramWindows(run))
        if (IsWindowEnabled(window))
            return window;
    return nullptr;
}

void Collect(Run& run) {
    if (!run.started)
        return;
    bool ending = !run.ended && WaitForSingleObject(run.process.hProcess, 0) == WAIT_OBJECT_0;
    if (ending)
        run.ended = true;
    CollectWindows(run);
    CollectDriver(run);
    CollectLog(run);
    if (ending) {
        std::map<std::string, std::string> after = ReadRegistry();
        for (const auto& value : after) {
            auto before = run.registryBefore.find(value.first);
            if (before == run.registryBefore.end() || before->second != value.second)
                Line(run, "registry write " + value.first + " " + value.second);
        }
        Line(run, "exit");
    }
}

bool Settle(Run& run, std::string* error) {
    const long long kQuietMs = 200, kBoundMs = 30000;
    long long start = Milliseconds(), quietSince = start;
    std::string last;
    for (;;) {
        bool busy = run.started && !run.ended &&
                    WaitForInputIdle(run.process.hProcess, 200) == WAIT_TIMEOUT;
        Collect(run);
        std::string now;
        for (HWND window : ProgramWindows(run))
            now += std::to_string(reinterpret_cast<ULONG_PTR>(window)) + TextOf(window) + ",";
        {
            bench::Lock lock;
            now += std::to_string(run.memory->driverEventCount);
        }
        now += "/" + std::to_string(run.logSeen) + (run.ended ? "/ended" : "");
        long long at = Milliseconds();
        if (now != last || busy) {
            last = now;
            quietSince = at;
        } else if (at - quietSince >= kQuietMs) {
            return true;
        }
        if (at - start > kBoundMs) {
            *error = "BRISKARN.EXE did not become idle within 30 s";
            return false;
        }
        Sleep(10);
    }
}

std::map<std::string, std::string> ReadRegistry() {
    std::map<std::string, std::string> values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProgramKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        AddValues(key, std::string("HKLM\\") + kProgramKey, &values);
        RegCloseKey(key);
    }
    return values;
}

void ClearRegistry() {
    DeleteTree(HKEY_LOCAL_MACHINE, kProgramKey);
}
