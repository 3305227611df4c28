// What only the simulated registry can show: the keys left open, the file
// that keeps it between interactive runs, the scenario steps that set it up
// and the transcript lines of what the program writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
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
#include "sim/steps.h"
#include "temp_dir.h"

namespace {

using namespace hosted;

const char kFreshText[] = "BRISKARN registry 1\n[HKCU\\Software]\n[HKLM\\Software]\n";

std::size_t OpenKeys() {
    MachineLock lock = LockMachine();
    return OpenKeyHandleCount();
}

std::string RegistryText() {
    MachineLock lock = LockMachine();
    return FormatRegistry();
}

void UseFile(const std::string& path) {
    MachineLock lock = LockMachine();
    ResetRegistry();
    UseRegistryFile(path);
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
    Step step{7, {"registry", verb}, rest};
    return FindStepKind("registry")->handler(step, error);
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
    ASSERT_TRUE(RunRegistryStep("delete", "HKLM\\Software\\ORMEL Software", &error)) << error;
    EXPECT_EQ(ProgramStore().GetProfileInt("Buttons", "Button1", 2), 2u)
        << "deleted with everything below";
    ASSERT_TRUE(RunRegistryStep("delete", "HKLM\\Software", &error)) << error;
    EXPECT_FALSE(ProgramStore().WriteProfileInt("Buttons", "Button1", 3)) << "no Software any more";
}

TEST_F(HostedRegistryTest, MalformedScenarioStepsSayWhy) {
    const struct {
        const char* verb;
        const char* rest;
        const char* error;
    } cases[] = {
        {"dword", "HKXX\\Software A 1", "no registry root 'HKXX'"},
        {"dword", "HKLM\\Software A 0x100000000",
         "expected 'registry dword PATH NAME N' with N of 32 bits"},
        {"dword", "HKLM\\\\Software A 1", "empty key name in 'HKLM\\\\Software'"},
        {"string", "\"HKLM\\Software A text",
         "expected 'registry dword PATH NAME N', 'registry string PATH NAME "
         "TEXT' or 'registry delete PATH'"},
        {"delete", "HKLM\\Software\\Nothing", "the registry has no key 'HKLM\\Software\\Nothing'"},
        {"delete", "HKLM", "a registry root cannot be deleted"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(RunRegistryStep(c.verb, c.rest, &error)) << c.rest;
        EXPECT_EQ(error, c.error) << c.rest;
    }
    EXPECT_EQ(RegistryText(), kFreshText) << "a refused step changes nothing";

    TempDir dir;
    ScenarioRun run = RunScenario(
        dir, "registry dword HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons Button1 3\n"
             "registry delete HKLM\\Software\\Missing\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.errors, "scenario line 2: the registry has no key 'HKLM\\Software\\Missing'\n");
}

TEST_F(HostedRegistryTest, TheRegistryFileIsReadableAndGivesBackWhatWasStored) {
    TempDir dir;
    std::string path = dir.File("registry.txt");
    UseFile(path);
    EXPECT_FALSE(dir.Exists("registry.txt")) << "nothing changed yet";
    ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 3));
    EXPECT_EQ(dir.Read("registry.txt"), std::string(kFreshText) +
                                            "[HKLM\\Software\\ORMEL Software]\n"
                                            "[HKLM\\Software\\ORMEL Software\\BRISKARN]\n"
                                            "[HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons]\n"
                                            "\"Button1\"=dword:3\n");

    // Names and data that the format has to escape or spell out in bytes.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\odd ]name [%]", 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const BYTE unterminated[] = {'a', 'b'};
    const BYTE shortDword[] = {1, 2};
    RegSetValueExA(key, "quote\" percent% line\nend", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>("50% \"off\"\n"), 11);
    RegSetValueExA(key, "", 0, REG_SZ, unterminated, 2);
    RegSetValueExA(key, "short", 0, REG_DWORD, shortDword, 2);
    RegCloseKey(key);
    std::string saved = RegistryText();
    EXPECT_EQ(dir.Read("registry.txt"), saved);
    EXPECT_NE(saved.find("[HKCU\\Software\\odd ]name [%25]]\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"quote%22 percent%25 line%0Aend\"=\"50%25 %22off%22%0A\"\n"),
              std::string::npos)
        << saved;
    EXPECT_NE(saved.find("\"\"=hex(1):61,62\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"short\"=hex(4):01,02\n"), std::string::npos) << saved;

    UseFile(path);
    EXPECT_EQ(RegistryText(), saved);
    EXPECT_EQ(ProgramStore().GetProfileInt("Buttons", "Button1", 2), 3u);
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
    EXPECT_NE(dir.Read("registry.txt").find("\"Button1\"=dword:4\n"), std::string::npos);
    EXPECT_FALSE(dir.Exists("registry.txt.new"));

    // What a crash in the middle of writing leaves behind is not taken for the registry.
    dir.Write("registry.txt.new", "BRISKARN registry 1\n[HKLM\\Software\\ORMEL Software\\BRIS");
    UseFile(path);
    EXPECT_EQ(ProgramStore().GetProfileInt("Buttons", "Button1", 2), 4u);
    ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 5));
    UseFile(path);
    EXPECT_EQ(ProgramStore().GetProfileInt("Buttons", "Button1", 2), 5u);
}

TEST_F(HostedRegistryTest, ADamagedFileKeepsWhatCanBeReadAndIsKeptAsItWasBeforeItIsReplaced) {
    const std::string good = "BRISKARN registry 1\n[HKLM\\Software\\Kept]\n\"A\"=dword:1\n";
    const std::string after = "[HKCU\\Software\\After]\n\"C\"=dword:2\n";
    const char* const damaged[] = {
        "\"B\"=dword:\n",
        "[HKXX\\Software]\n\"B\"=dword:7\n",
        "[HKLM\\Software\\a%zz]\n\"B\"=dword:7\n",
        "[HKLM\\\\Software]\n",
        "[HKLM\\Software\n",
        "\"B\"=dword:4294967296\n",
        "\"B\"=dword:-1\n",
        "\"B\"=hex(3):0g\n",
        "\"B\"=hex(3):01,\n",
        "\"B=dword:1\n",
        "\"B\"=\"text\n",
        "\"B\"=qword:1\n",
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
        std::string loaded = RegistryText();
        EXPECT_NE(loaded.find("[HKLM\\Software\\Kept]\n\"A\"=dword:1\n"), std::string::npos)
            << bad << loaded;
        EXPECT_NE(loaded.find(after), std::string::npos) << bad << loaded;
        EXPECT_EQ(loaded.find("\"B\""), std::string::npos) << bad << loaded;
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
        EXPECT_NE(dir.Read("registry.txt").find("\"A\"=dword:1\n"), std::string::npos) << bad;
    }

    // A file not of this format gives the fresh registry, and is kept all the same.
    for (const char* other : {"garbage\n", "BRISKARN registry 2\n[HKLM\\Software]\n"}) {
        TempDir dir;
        dir.Write("registry.txt", other);
        UseFile(dir.File("registry.txt"));
        EXPECT_EQ(RegistryText(), kFreshText) << other;
        testing::internal::CaptureStderr();
        ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 3)) << other;
        EXPECT_NE(testing::internal::GetCapturedStderr(), "") << other;
        EXPECT_EQ(dir.Read("registry.txt.bad"), other);
    }
    // An empty file has nothing to lose.
    TempDir dir;
    dir.Write("registry.txt", "");
    UseFile(dir.File("registry.txt"));
    EXPECT_EQ(RegistryText(), kFreshText);
    ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 3));
    EXPECT_FALSE(dir.Exists("registry.txt.bad"));
}

TEST_F(HostedRegistryTest, EveryNameReadsBackAsItWasWhateverItsBytes) {
    TempDir dir;
    // A byte-order mark, as editors that save UTF-8 put it first, is no damage.
    dir.Write("registry.txt", "\xEF\xBB\xBF"
                              "BRISKARN registry 1\r\n"
                              "[HKCU\\Software\\back%5Cslash]\r\n"
                              "\"a%00b\"=dword:1\r\n"
                              "\"a%00c\"=dword:2\r\n"
                              "\"a\"=dword:3\r\n"
                              "[HKCU\\Software\\zero%00one]\r\n"
                              "[HKCU\\Software\\zero%00two]\r\n"
                              "[HKLM\\Software]\r\n");
    UseFile(dir.File("registry.txt"));
    EXPECT_EQ(RegistryText(), "BRISKARN registry 1\n"
                              "[HKCU\\Software]\n"
                              "[HKCU\\Software\\back%5Cslash]\n"
                              "\"a\"=dword:3\n"
                              "\"a%00b\"=dword:1\n"
                              "\"a%00c\"=dword:2\n"
                              "[HKCU\\Software\\zero%00one]\n"
                              "[HKCU\\Software\\zero%00two]\n"
                              "[HKLM\\Software]\n");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 3));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(dir.Exists("registry.txt.bad"));
    std::string saved = dir.Read("registry.txt");
    UseFile(dir.File("registry.txt"));
    EXPECT_EQ(RegistryText(), saved);
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
    EXPECT_EQ(dir.Read("errors.txt"), "");
    EXPECT_NE(dir.Read("transcript.txt").find("window open 102"), std::string::npos)
        << dir.Read("transcript.txt");
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
        EXPECT_EQ(RegistryText(), kFreshText) << name;
        testing::internal::CaptureStderr();
        ASSERT_TRUE(ProgramStore().WriteProfileInt("Buttons", "Button1", 3)) << name;
        EXPECT_NE(testing::internal::GetCapturedStderr(), "") << name;
        struct stat kept;
        ASSERT_EQ(::lstat(dir.File(std::string(name) + ".bad").c_str(), &kept), 0) << name;
        EXPECT_FALSE(S_ISREG(kept.st_mode)) << "kept as it was: " << name;
        EXPECT_NE(dir.Read(name).find("\"Button1\"=dword:3\n"), std::string::npos) << name;
    }
}
