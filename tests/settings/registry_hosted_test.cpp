// What only the simulated registry can show: the keys left open, the file
// that keeps it between interactive runs, the scenario steps that set it up
// and the transcript lines of what the program writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <windows.h>

#include "advapi/registry_tree.h"
#include "core/machine.h"
#include "core/transcript.h"
#include "scenario_run.h"
#include "shell/profile_store.h"
#include "sim/registry_file.h"
#include "sim/registry_steps.h"
#include "sim/runner.h"
#include "sim/steps.h"
#include "temp_dir.h"

namespace {

using namespace hosted;

std::size_t OpenKeys() {
    MachineLock lock = LockMachine();
    return OpenKeyHandleCount();
}

// The settings kept for the next run, as the file would hold them.
std::string KeptText() {
    MachineLock lock = LockMachine();
    return FormatKeptRegistry();
}

std::vector<std::string> KeptLines() {
    MachineLock lock = LockMachine();
    return KeptRegistryLines();
}

// What the machine's registry holds beyond a fresh one.
std::vector<std::string> MachineLines() {
    MachineLock lock = LockMachine();
    return RegistryStepLines(Roots());
}

void UseFile(const std::string& path) {
    MachineLock lock = LockMachine();
    UseRegistryFile(path);
}

// Carries out a scenario line as the runner would.
bool RunLine(const std::string& line, std::string* error) {
    std::vector<Step> steps = ParseScenario(line);
    if (steps.size() != 1) {
        *error = "not one step";
        return false;
    }
    return FindStepKind(steps[0].words[0])->handler(steps[0], error);
}

// What a run does after its machine's set-up.
void ApplyKept() {
    for (const std::string& line : KeptLines()) {
        std::string error;
        EXPECT_TRUE(RunLine(line, &error)) << line << ": " << error;
    }
}

class HostedRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { UseFile(""); }
    void TearDown() override { UseFile(""); }
};

struct ProgramStore : CProfileStore {
    ProgramStore() {
        SetProfileName("BRISKARN");
        SetRegistryKey("ORMEL Software");
    }
};

TEST_F(HostedRegistryTest, EveryStoreCallClosesEveryKeyItOpened) {
    // Each way of naming the store fails (or not) at a different key of the chain.
    const struct {
        const char* what;
        HKEY root;
        const char* company;
        const char* application;
        const char* section;
        bool stores;
    } cases[] = {
        {"whole chain", HKEY_LOCAL_MACHINE, "ORMEL Software", "BRISKARN", "Buttons", true},
        {"no Software", HKEY_USERS, "ORMEL Software", "BRISKARN", "Buttons", false},
        {"company key fails", HKEY_LOCAL_MACHINE, "ORMEL\\\\Software", "BRISKARN", "Buttons",
         false},
        {"application key fails", HKEY_LOCAL_MACHINE, "ORMEL Software", "BRIS\\\\KARN", "Buttons",
         false},
        {"section key fails", HKEY_LOCAL_MACHINE, "ORMEL Software", "BRISKARN", "But\\\\tons",
         false},
    };
    for (const auto& c : cases) {
        CProfileStore store;
        store.SetRootKey(c.root);
        store.SetRegistryKey(c.company);
        store.SetProfileName(c.application);
        EXPECT_EQ(store.GetProfileInt(c.section, "Button1", 2), 2u) << c.what;
        EXPECT_EQ(OpenKeys(), 0u) << c.what << ": first read";
        EXPECT_EQ(store.WriteProfileInt(c.section, "Button1", 6), c.stores ? TRUE : FALSE)
            << c.what;
        EXPECT_EQ(OpenKeys(), 0u) << c.what << ": write";
        EXPECT_EQ(store.GetProfileInt(c.section, "Button1", 2), c.stores ? 6u : 2u) << c.what;
        EXPECT_EQ(OpenKeys(), 0u) << c.what << ": read back";
        HKEY app = store.GetAppRegistryKey();
        EXPECT_EQ(OpenKeys(), app ? 1u : 0u) << c.what << ": the caller's key alone";
        if (app)
            RegCloseKey(app);
    }
}

// The program's writes, and only they, appear in the transcript.
TEST_F(HostedRegistryTest, EveryWrittenValueIsATranscriptLine) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    OpenTranscript(out);
    ProgramStore().WriteProfileInt("Buttons", "Button2", 7);
    ProgramStore().WriteProfileInt("Buttons", "Button4", -1);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Other", 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Title", 0, REG_SZ, reinterpret_cast<const BYTE*>("say \"hi\""), 9);
    const BYTE blob[] = {1, 0xAB};
    RegSetValueExA(key, "Blob", 0, REG_BINARY, blob, 2);
    RegCloseKey(key);
    std::string error;
    Step step{1, {"registry", "dword"}, "HKLM\\Software X 1"};
    ASSERT_TRUE(FindStepKind("registry")->handler(step, &error)) << error;
    OpenTranscript(nullptr);

    std::rewind(out);
    std::string text;
    for (int c; (c = std::fgetc(out)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(out);
    EXPECT_EQ(
        text,
        "[0] registry write HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons Button2 7\n"
        "[0] registry write HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons Button4 4294967295\n"
        "[0] registry write HKCU\\Software\\Other Title \"say \\\"hi\\\"\"\n"
        "[0] registry write HKCU\\Software\\Other Blob hex(3):01,ab\n");
}

// Carries out one "registry ..." line as the scenario runner would.
bool RunRegistryStep(const std::string& verb, const std::string& rest, std::string* error) {
    return RunLine("registry " + verb + " " + rest, error);
}

TEST_F(HostedRegistryTest, ScenarioStepsSetUpAndDeleteKeysAndValues) {
    const struct {
        const char* verb;
        const char* rest;
        const char* path;
        const char* name;
        DWORD type;
        std::string data;
    } cases[] = {
        {"dword", "HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons Button1 7",
         "HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons", "Button1", REG_DWORD,
         std::string("\7\0\0\0", 4)},
        {"string", "HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons Button2  two  words",
         "HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons", "Button2", REG_SZ,
         std::string("two  words", 10) + '\0'},
        {"string", "\"HKCU\\Software\\Ends With\" \"Value Name\" \"\"", "HKCU\\Software\\Ends With",
         "Value Name", REG_SZ, std::string(1, '\0')},
        // Quotes doubled inside quotes; a "#" inside them starts no comment.
        {"string", "\"HKCU\\Software\\Say \"\"hi\"\" #1\" \"a \"\"b\"\"\" \"c \"\" # d\" # note",
         "HKCU\\Software\\Say \"hi\" #1", "a \"b\"", REG_SZ, std::string("c \" # d") + '\0'},
        {"binary", "\"HKCU\\Software\\Bytes\" \"Button2\" 07 00 0a FF", "HKCU\\Software\\Bytes",
         "Button2", REG_BINARY, std::string("\7\0\n\xff", 4)},
        {"binary", "HKCU\\Software\\Bytes Short type=4 01 02", "HKCU\\Software\\Bytes", "Short",
         REG_DWORD, std::string("\1\2", 2)},
        {"binary", "HKCU\\Software\\Bytes None", "HKCU\\Software\\Bytes", "None", REG_BINARY, ""},
    };
    for (const auto& c : cases) {
        std::string error;
        ASSERT_TRUE(RunRegistryStep(c.verb, c.rest, &error)) << c.rest << ": " << error;
        MachineLock lock = LockMachine();
        std::shared_ptr<RegistryKey> key = FindKeyByPath(c.path);
        ASSERT_TRUE(key) << c.rest;
        auto value = key->values.find(c.name);
        ASSERT_NE(value, key->values.end()) << c.rest;
        EXPECT_EQ(value->second.type, c.type) << c.rest;
        EXPECT_EQ(std::string(value->second.data.begin(), value->second.data.end()), c.data)
            << c.rest;
    }
    std::string error;
    ASSERT_TRUE(RunRegistryStep("key", "\"HKCU\\Software\\Only \"\"Key\"\"\"", &error)) << error;
    {
        MachineLock lock = LockMachine();
        std::shared_ptr<RegistryKey> key = FindKeyByPath("HKCU\\Software\\Only \"Key\"");
        ASSERT_TRUE(key);
        EXPECT_TRUE(key->values.empty());
    }
    ASSERT_TRUE(RunRegistryStep("delete", "HKLM\\Software\\ORMEL Software", &error)) << error;
    EXPECT_EQ(ProgramStore().GetProfileInt("Buttons", "Button1", 2), 2u)
        << "deleted with everything below";
    ASSERT_TRUE(RunRegistryStep("delete", "HKLM\\Software", &error)) << error;
    EXPECT_FALSE(ProgramStore().WriteProfileInt("Buttons", "Button1", 3)) << "no Software any more";
}

TEST_F(HostedRegistryTest, MalformedScenarioStepsSayWhy) {
    const std::string kUsage = "expected 'registry dword|string|binary PATH NAME VALUE' or "
                               "'registry key|delete PATH'";
    const std::string kBytes = "expected 'registry binary PATH NAME [type=N] XX ...' with N of 32 "
                               "bits and bytes of two hexadecimal digits";
    const struct {
        const char* verb;
        const char* rest;
        std::string error;
    } cases[] = {
        {"dword", "HKXX\\Software A 1", "no registry root 'HKXX'"},
        {"dword", "HKLM\\Software A 0x100000000",
         "expected 'registry dword PATH NAME N' with N of 32 bits"},
        {"dword", "HKLM\\\\Software A 1", "empty key name in 'HKLM\\\\Software'"},
        {"string", "\"HKLM\\Software A text", kUsage},
        {"string", "\"HKLM\\Software\" A \"say \"\"hi\"\"", kUsage},
        {"binary", "HKLM\\Software A 0g", kBytes},
        {"binary", "HKLM\\Software A 012", kBytes},
        {"binary", "HKLM\\Software A type=0x100000000 01", kBytes},
        {"binary", "HKLM\\Software A 01 type=4", kBytes},
        {"key", "HKXX\\Software", "no registry root 'HKXX'"},
        {"frob", "HKLM\\Software A 1", kUsage},
        {"delete", "HKLM\\Software\\Nothing", "the registry has no key 'HKLM\\Software\\Nothing'"},
        {"delete", "HKLM", "a registry root cannot be deleted"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(RunRegistryStep(c.verb, c.rest, &error)) << c.rest;
        EXPECT_EQ(error, c.error) << c.rest;
    }
    EXPECT_EQ(MachineLines(), std::vector<std::string>()) << "a refused step changes nothing";

    TempDir dir;
    ScenarioRun run = RunScenario(
        dir, "registry dword HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons Button1 3\n"
             "registry delete HKLM\\Software\\Missing\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.errors, "scenario line 2: the registry has no key 'HKLM\\Software\\Missing'\n");
}

// Writes a value through the registry calls, as the program writes.
void WriteValue(const char* keyPath, const std::string& name, DWORD type, const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(HostedRegistryTest, TheRegistryFileIsReadableAndGivesBackWhatWasStored) {
    TempDir dir;
    std::string path = dir.File("registry.txt");
    UseFile(path);
    EXPECT_FALSE(dir.Exists("registry.txt")) << "nothing changed yet";
    ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 3));
    EXPECT_NE(dir.Read("registry.txt")
                  .find("\nregistry dword \"HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons\" "
                        "\"Button1\" 3\n"),
              std::string::npos)
        << dir.Read("registry.txt");

    // Names and data that a line has to quote or spell out in bytes.
    WriteValue("Software\\odd \"name\" #1", "quote\" hash # line", REG_SZ,
               std::string("50% \"off\" # now") + '\0');
    WriteValue("Software\\odd \"name\" #1", "line end", REG_SZ, std::string("a\nb") + '\0');
    WriteValue("Software\\odd \"name\" #1", "", REG_SZ, "ab");
    WriteValue("Software\\odd \"name\" #1", "short", REG_DWORD, "\1\2");
    WriteValue("Software\\odd \"name\" #1", "Blob", REG_BINARY, std::string("\7\0\0\0", 4));
    std::string saved = KeptText();
    EXPECT_EQ(dir.Read("registry.txt"), saved);
    EXPECT_NE(saved.find("registry binary \"HKCU\\Software\\odd \"\"name\"\" #1\" \"Blob\" 07 00 "
                         "00 00\n"),
              std::string::npos)
        << saved;

    // Read back into a fresh machine, the values are as written.
    UseFile(path);
    EXPECT_EQ(MachineLines(), std::vector<std::string>()) << "applied by the run, not the reading";
    EXPECT_EQ(KeptText(), saved);
    ApplyKept();
    EXPECT_EQ(ProgramStore().GetProfileInt("Buttons", "Button1", 2), 3u);
    EXPECT_EQ(KeptLines(), MachineLines());
}

TEST_F(HostedRegistryTest, EveryValueTheProgramWritesComesBackInTheNextRun) {
    // The names and values the program writes when its settings are confirmed.
    TempDir run;
    ScenarioRun setup = RunScenario(run, "driver present\nslot 0 wheel\nstart\nclick 1017\n"
                                         "click 1\nclick 1\n");
    ASSERT_EQ(setup.exitCode, 0) << setup.errors;
    std::vector<std::pair<std::string, std::string>> written; // key path, "NAME VALUE"
    std::istringstream lines(setup.transcript);
    for (std::string line; std::getline(lines, line);) {
        const std::string kWrite = " registry write HKLM\\";
        std::size_t at = line.find(kWrite);
        if (at == std::string::npos)
            continue;
        std::string rest = line.substr(at + kWrite.size() - 5);
        // The key's path holds blanks; the name and value are the last two words.
        std::size_t value = rest.rfind(' '), name = rest.rfind(' ', value - 1);
        written.emplace_back(rest.substr(0, name), rest.substr(name + 1));
    }
    ASSERT_FALSE(written.empty()) << setup.transcript;

    TempDir dir;
    UseFile(dir.File("registry.txt"));
    for (const auto& [keyPath, nameValue] : written) {
        std::string name = nameValue.substr(0, nameValue.find(' '));
        DWORD number = static_cast<DWORD>(std::stoul(nameValue.substr(name.size() + 1)));
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.substr(5).c_str(), 0, nullptr, 0,
                                  KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS)
            << keyPath;
        RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
        RegCloseKey(key);
    }
    std::vector<std::string> before = MachineLines();
    UseFile(dir.File("registry.txt"));
    ApplyKept();
    EXPECT_EQ(MachineLines(), before);
    for (const auto& [keyPath, nameValue] : written) {
        std::string name = nameValue.substr(0, nameValue.find(' '));
        DWORD number = 0, size = 4;
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.substr(5).c_str(), 0, KEY_READ, &key),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegQueryValueExA(key, name.c_str(), nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(&number), &size),
                  ERROR_SUCCESS)
            << name;
        RegCloseKey(key);
        EXPECT_EQ(std::to_string(number), nameValue.substr(name.size() + 1)) << name;
    }
}

TEST_F(HostedRegistryTest, TheFileIsReplacedWholeSoACrashLeavesTheOldOrTheNew) {
    TempDir dir;
    std::string path = dir.File("registry.txt");
    UseFile(path);
    ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 3));
    std::string before = dir.Read("registry.txt");
    // A writer in place would change the kept link too; a new file renamed over the name does not.
    ASSERT_EQ(::link(path.c_str(), dir.File("kept.txt").c_str()), 0);
    ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 4));
    EXPECT_EQ(dir.Read("kept.txt"), before);
    EXPECT_NE(dir.Read("registry.txt").find("\"Button1\" 4\n"), std::string::npos);
    EXPECT_FALSE(dir.Exists("registry.txt.new"));

    // What a crash in the middle of writing leaves behind is not taken for the registry.
    dir.Write("registry.txt.new", "registry dword \"HKLM\\Software\\ORMEL Software\\BRIS");
    UseFile(path);
    ApplyKept();
    EXPECT_EQ(ProgramStore().GetProfileInt("Buttons", "Button1", 2), 4u);
    ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 5));
    UseFile(path);
    ApplyKept();
    EXPECT_EQ(ProgramStore().GetProfileInt("Buttons", "Button1", 2), 5u);
}

TEST_F(HostedRegistryTest, ADamagedFileKeepsWhatCanBeReadAndIsKeptAsItWasBeforeItIsReplaced) {
    const std::string good = "registry dword \"HKLM\\Software\\Kept\" \"A\" 1\n";
    const std::string after = "registry dword \"HKCU\\Software\\After\" \"C\" 2\n";
    const char* const damaged[] = {
        "registry dword \"HKLM\\Software\\Kept\" \"B\"\n",
        "registry dword HKXX\\Software B 7\n",
        "registry dword HKLM\\\\Software B 7\n",
        "registry dword HKLM\\Software B 4294967296\n",
        "registry dword HKLM\\Software B -1\n",
        "registry binary HKLM\\Software B 0g\n",
        "registry string \"HKLM\\Software\\Kept\" \"B\" \"text\n",
        "registry delete HKLM\\Software\\Missing\n",
        "registry frob HKLM\\Software B 1\n",
        "start\n",
        "[HKLM\\Software\\Kept]\n\"B\"=dword:7\n",
        "\x01\x02\x03\n",
    };
    for (const char* bad : damaged) {
        TempDir dir;
        // Between good lines: both before and after the damage are kept.
        std::string text = good + bad + after;
        dir.Write("registry.txt", text);
        testing::internal::CaptureStderr();
        UseFile(dir.File("registry.txt"));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "nothing lost yet: " << bad;
        EXPECT_EQ(KeptLines(), (std::vector<std::string>{after.substr(0, after.size() - 1),
                                                         good.substr(0, good.size() - 1)}))
            << bad;
        EXPECT_EQ(dir.Read("registry.txt"), text) << "kept until the next change: " << bad;
        testing::internal::CaptureStderr();
        ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 3)) << bad;
        ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 4)) << bad;
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "briskarn: " + dir.File("registry.txt") +
                      " could not be read whole; it is kept as " + dir.File("registry.txt.bad") +
                      "\n")
            << "said once: " << bad;
        EXPECT_EQ(dir.Read("registry.txt.bad"), text) << bad;
        EXPECT_NE(dir.Read("registry.txt").find(good), std::string::npos) << bad;
        EXPECT_NE(dir.Read("registry.txt").find(after), std::string::npos) << bad;
    }

    // Nothing to lose: no file kept aside.
    for (const char* empty : {"", "# only a comment\n\n"}) {
        TempDir dir;
        dir.Write("registry.txt", empty);
        UseFile(dir.File("registry.txt"));
        EXPECT_EQ(KeptLines(), std::vector<std::string>());
        ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 3));
        EXPECT_FALSE(dir.Exists("registry.txt.bad")) << empty;
    }
}

TEST_F(HostedRegistryTest, EveryNameReadsBackAsItWasWhateverItsBytes) {
    TempDir dir;
    // A byte-order mark, as editors that save UTF-8 put it first, and
    // Windows line ends are no damage; names that differ only after a zero
    // byte stay apart.
    const std::string text = std::string("\xEF\xBB\xBF"
                                         "registry dword \"HKCU\\Software\\zero") +
                             '\0' + "one\" \"a\" 3\r\n" +
                             "registry dword \"HKCU\\Software\\zero\" \"a" + '\0' + "b\" 1\r\n" +
                             "registry dword \"HKCU\\Software\\zero\" \"a" + '\0' + "c\" 2\r\n" +
                             "registry key \"HKCU\\Software\\Empty\"\r\n";
    dir.Write("registry.txt", text);
    UseFile(dir.File("registry.txt"));
    EXPECT_EQ(KeptLines().size(), 4u);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 3));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(dir.Exists("registry.txt.bad"));
    std::string saved = dir.Read("registry.txt");
    UseFile(dir.File("registry.txt"));
    EXPECT_EQ(KeptText(), saved);
    ApplyKept();
    EXPECT_EQ(KeptLines(), MachineLines());
}

// The machine's own registry steps set up that run only; the settings kept
// from earlier runs go on top of them, and only what the program itself
// stores is kept for the next run.
TEST_F(HostedRegistryTest, AMachineSetsUpItsRunOnlyAndTheKeptSettingsWin) {
    TempDir dir;
    const std::string kKept =
        "registry dword \"HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons\" \"Button1\" 6\n";
    dir.Write("registry.txt", kKept);
    UseFile(dir.File("registry.txt"));
    for (const char* line : {"registry dword HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons "
                             "Button1 2",
                             "registry delete HKLM\\Software\\ORMEL Software",
                             "registry dword \"HKCU\\Software\\Machine Only\" \"Value\" 1"}) {
        std::string error;
        ASSERT_TRUE(RunLine(line, &error)) << line << ": " << error;
    }
    EXPECT_EQ(dir.Read("registry.txt"), kKept);
    ApplyKept();
    EXPECT_EQ(ProgramStore().GetProfileInt("Buttons", "Button1", 2), 6u);
    EXPECT_EQ(dir.Read("registry.txt"), kKept);
    ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button2", 3));
    std::string saved = dir.Read("registry.txt");
    EXPECT_NE(saved.find(kKept), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"Button2\" 3\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("Machine Only"), std::string::npos) << saved;
}

// The hosted program itself, run without a scenario as scripts/run.sh runs it.
TEST_F(HostedRegistryTest, ADamagedFileDoesNotStopAnInteractiveRun) {
    TempDir dir;
    dir.Write("briskarn-registry.txt", "BRISKARN registry 1\n[HKLM\\Software\\Kept\n");
    std::string command =
        "cd '" + dir.path() + "' && '" BRISKARN_EXE "' >transcript.txt 2>errors.txt";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(dir.Read("transcript.txt").find("window open 102"), std::string::npos)
        << dir.Read("transcript.txt");
    // The program's keys rewrote the file; what it held is kept aside.
    EXPECT_NE(dir.Read("errors.txt").find("briskarn-registry.txt.bad"), std::string::npos)
        << dir.Read("errors.txt");
    EXPECT_EQ(dir.Read("briskarn-registry.txt.bad"),
              "BRISKARN registry 1\n[HKLM\\Software\\Kept\n");
}

std::string ReportLines(const std::string& transcript) {
    std::istringstream lines(transcript);
    std::string kept;
    for (std::string line; std::getline(lines, line);)
        if (line.find(" driver report ") != std::string::npos)
            kept += line + "\n";
    return kept;
}

// A machine file's registry steps set up that run alone: the saved settings
// win over them, the saved file is left as it was, and the recording
// replays the run.
TEST_F(HostedRegistryTest, AMachineFileNeitherRewritesNorOverridesTheSavedSettings) {
    const std::string kSaved =
        "registry dword \"HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons\" \"Button1\" 6\n";
    const std::string kMachine =
        "driver present rate=50\nslot 0 wheel polled\n"
        "registry dword HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons Button1 2\n"
        "registry delete \"HKLM\\Software\\ORMEL Software\"\n"
        "registry dword \"HKCU\\Software\\Machine Only\" \"Value\" 1\n";
    TempDir saved, fresh;
    saved.Write("briskarn-registry.txt", kSaved);
    const TempDir* runs[] = {&saved, &fresh};
    std::string live[2];
    for (int i = 0; i < 2; ++i) {
        runs[i]->Write("machine.txt", kMachine);
        std::string errors;
        ASSERT_EQ(RunBriskarn(*runs[i],
                              "--machine machine.txt --record session.txt --transcript live.txt "
                              "</dev/null",
                              &errors),
                  0)
            << errors;
        live[i] = runs[i]->Read("live.txt");
    }
    EXPECT_EQ(saved.Read("briskarn-registry.txt"), kSaved);
    EXPECT_NE(ReportLines(live[0]), ReportLines(live[1])) << "Button1 6 over the machine's";
    std::string errors;
    ASSERT_EQ(RunBriskarn(saved, "--scenario session.txt --transcript replay.txt", &errors), 0)
        << errors << saved.Read("session.txt");
    EXPECT_EQ(saved.Read("replay.txt"), live[0]);
}

} // namespace

namespace {

LONG CreateAndClose(HKEY parent, const std::string& path, HKEY* opened = nullptr) {
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS && opened)
        *opened = key;
    else if (result == ERROR_SUCCESS)
        RegCloseKey(key);
    return result;
}

std::string Levels(int count) {
    std::string path = "Software";
    for (int i = 1; i < count; ++i)
        path += "\\k";
    return path;
}

} // namespace

TEST_F(HostedRegistryTest, KeysKeepToWindowsLimitsOfNameLengthAndDepth) {
    EXPECT_EQ(CreateAndClose(HKEY_CURRENT_USER, "Software\\" + std::string(255, 'n')),
              ERROR_SUCCESS);
    EXPECT_EQ(CreateAndClose(HKEY_CURRENT_USER, "Software\\" + std::string(256, 'n')),
              ERROR_INVALID_PARAMETER);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ("Software\\" + std::string(256, 'n')).c_str(), 0,
                            KEY_READ, &key),
              ERROR_INVALID_PARAMETER);

    // 512 levels below the root, whether reached in one call or key by key.
    EXPECT_EQ(CreateAndClose(HKEY_CURRENT_USER, Levels(512)), ERROR_SUCCESS);
    EXPECT_EQ(CreateAndClose(HKEY_CURRENT_USER, Levels(513)), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Levels(513).c_str(), 0, KEY_READ, &key),
              ERROR_BAD_PATHNAME);
    HKEY deepest = nullptr;
    ASSERT_EQ(CreateAndClose(HKEY_CURRENT_USER, Levels(512), &deepest), ERROR_SUCCESS);
    EXPECT_EQ(CreateAndClose(deepest, "one more"), ERROR_BAD_PATHNAME);
    RegCloseKey(deepest);
    {
        MachineLock lock = LockMachine();
        std::shared_ptr<RegistryKey> found = FindKeyByPath("HKCU\\" + Levels(512));
        ASSERT_TRUE(found);
        EXPECT_EQ(KeyPath(*found), "HKCU\\" + Levels(512));
    }

    // The scenario step keeps to the same limits, without building the key first.
    std::string error;
    EXPECT_FALSE(RunRegistryStep("dword", "HKLM\\" + Levels(20000) + " V 1", &error));
    EXPECT_EQ(error, "a key name longer than 255 characters or a key deeper than 512 levels");
    EXPECT_FALSE(
        RunRegistryStep("dword", "HKLM\\Software\\" + std::string(256, 'n') + " V 1", &error));
}

TEST_F(HostedRegistryTest, ARegistryFileThatIsNoRegularFileGivesTheFreshRegistryAtOnce) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe.txt").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", dir.File("zero.txt").c_str()), 0);
    for (const char* name : {"pipe.txt", "zero.txt"}) {
        UseFile(dir.File(name)); // neither blocks nor reads without end
        EXPECT_EQ(KeptLines(), std::vector<std::string>()) << name;
        testing::internal::CaptureStderr();
        ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 3)) << name;
        EXPECT_NE(testing::internal::GetCapturedStderr(), "") << name;
        struct stat kept;
        ASSERT_EQ(::lstat(dir.File(std::string(name) + ".bad").c_str(), &kept), 0) << name;
        EXPECT_FALSE(S_ISREG(kept.st_mode)) << "kept as it was: " << name;
        EXPECT_NE(dir.Read(name).find("\"Button1\" 3\n"), std::string::npos) << name;
    }
}
