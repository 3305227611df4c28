#include "sim/registry_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/forever.h"
#include "kernel/replace_file.h"
#include "sim/registry_steps.h"
#include "sim/runner.h"
#include "sim/user_messages.h"

namespace hosted {
namespace {

const char kHeader[] = "# BRISKARN settings kept between runs, as scenario steps";

struct KeptSettings {
    RegistryRoots roots; // as the machine's, each empty
    std::string filePath;
    bool damaged = false; // the file in use holds what could not be read
};

KeptSettings& Kept() {
    static Forever<KeptSettings> kept;
    return *kept;
}

void ClearKept() {
    Kept().roots.clear();
    for (const auto& [name, root] : Roots()) {
        auto empty = std::make_shared<RegistryKey>();
        empty->name = name;
        Kept().roots.emplace_back(name, empty);
    }
}

std::shared_ptr<RegistryKey> KeptRoot(const std::string& name) {
    if (Kept().roots.empty())
        ClearKept();
    std::shared_ptr<RegistryKey> live = RootByName(name);
    for (const auto& [shortName, root] : Kept().roots)
        if (live && shortName == live->name)
            return root;
    return nullptr;
}

// Where a file that could not be read whole is kept before the first save.
std::string KeptCopyPath() {
    return Kept().filePath + ".bad";
}

// A registry file is a few kilobytes; far more is not one.
const std::size_t kMaxFileBytes = 16u << 20;

enum class FileRead { Missing, Read, Unreadable };

// Only a regular file of sensible size is read, so that a pipe cannot hang
// the run and a link to a device cannot feed it without end.
FileRead ReadRegistryText(const std::string& path, std::string* text) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT ? FileRead::Missing : FileRead::Unreadable;
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    char buffer[65536];
    while (ok) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0)
            break;
        ok = got > 0 && text->size() + static_cast<std::size_t>(got) <= kMaxFileBytes;
        if (ok)
            text->append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return ok ? FileRead::Read : FileRead::Unreadable;
}

void WarnDamagedFileKept(const std::string& path, const std::string& kept) {
    TellUser("briskarn: " + path + " could not be read whole; it is kept as " + kept);
}

// A damaged file is kept under another name before it is first replaced, so
// that what could not be read is never lost; said once, as it happens.
bool KeepDamagedFile() {
    std::string kept = KeptCopyPath();
    ::unlink(kept.c_str());
    if (::link(Kept().filePath.c_str(), kept.c_str()) != 0 &&
        ::rename(Kept().filePath.c_str(), kept.c_str()) != 0 && errno != ENOENT)
        return false;
    WarnDamagedFileKept(Kept().filePath, kept);
    Kept().damaged = false;
    return true;
}

// A registry file that cannot be written leaves the run going on in memory:
// the settings are the program's only state and it reports nothing about them.
void SaveRegistryFile() {
    if (Kept().filePath.empty() || (Kept().damaged && !KeepDamagedFile()))
        return;
    ReplaceFileContents(Kept().filePath, FormatKeptRegistry());
}

void KeepProgramChange(const RegistryChange& change) {
    std::shared_ptr<RegistryKey> root = KeptRoot(change.path.at(0));
    if (!root)
        return;
    std::vector<std::string> names(change.path.begin() + 1, change.path.end());
    bool created = false;
    if (change.kind == RegistryChange::KeyDeleted) {
        if (std::shared_ptr<RegistryKey> key = FindSubkey(root, names))
            RemoveKey(key);
    } else {
        std::shared_ptr<RegistryKey> key = CreateSubkey(root, names, &created);
        if (change.kind == RegistryChange::ValueSet)
            SetKeyValue(*key, change.name, change.value);
    }
    SaveRegistryFile();
}

} // namespace

std::string FormatKeptRegistry() {
    std::string text = std::string(kHeader) + "\n";
    for (const std::string& line : KeptRegistryLines())
        text += line + "\n";
    return text;
}

bool ParseKeptRegistry(const std::string& text) {
    ClearKept();
    bool whole = true;
    for (const Step& step : ParseScenario(text)) {
        std::string error;
        whole = step.words[0] == "registry" && ApplyRegistryStep(step, &KeptRoot, &error) && whole;
    }
    return whole;
}

std::vector<std::string> KeptRegistryLines() {
    if (Kept().roots.empty())
        ClearKept();
    return RegistryStepLines(Kept().roots);
}

void UseRegistryFile(const std::string& path) {
    Kept().filePath.clear(); // no saving while the file itself is read
    Kept().damaged = false;
    SetRegistryChangeHook(&KeepProgramChange);
    ResetRegistry();
    ClearKept();
    if (path.empty())
        return;
    std::string text;
    FileRead read = ReadRegistryText(path, &text);
    // Editors that save UTF-8 may put a byte-order mark first.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    Kept().damaged = read == FileRead::Unreadable || !ParseKeptRegistry(text);
    Kept().filePath = path;
}

} // namespace hosted
