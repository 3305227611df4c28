// The settings store as the registry and the profile file see it. Only the
// Win32 API is used here, so the same tests hold on a real Windows registry.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include "resources/resource.h"
#include "shell/profile_store.h"
#include "temp_dir.h"

namespace {

const char kButtonsPath[] = "Software\\ORMEL Software\\BRISKARN\\Buttons";

// Leaf first, as a key with subkeys cannot be deleted.
void DeleteKeys(HKEY root, const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        RegDeleteKeyA(root, path.c_str());
}

void DeleteStoreKeys() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        DeleteKeys(root,
                   {kButtonsPath, "Software\\ORMEL Software\\BRISKARN", "Software\\ORMEL Software",
                    "Software\\&About Velomira\\BRISKARN\\Buttons",
                    "Software\\&About Velomira\\BRISKARN", "Software\\&About Velomira"});
}

bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

struct StoredValue {
    LONG result = ERROR_INVALID_FUNCTION;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

StoredValue QueryValue(HKEY root, const char* path, const char* name) {
    StoredValue value;
    HKEY key = nullptr;
    value.result = RegOpenKeyExA(root, path, 0, KEY_READ, &key);
    if (value.result != ERROR_SUCCESS)
        return value;
    BYTE buffer[64];
    DWORD size = sizeof buffer;
    value.result = RegQueryValueExA(key, name, nullptr, &value.type, buffer, &size);
    if (value.result == ERROR_SUCCESS)
        value.data.assign(buffer, buffer + size);
    RegCloseKey(key);
    return value;
}

void SetValue(HKEY root, const char* path, const char* name, DWORD type, const void* data,
              DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// The store as the main dialog names it.
struct ProgramStore : CProfileStore {
    ProgramStore() {
        SetProfileName("BRISKARN");
        SetRegistryKey("ORMEL Software");
    }
};

class ProfileStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { DeleteStoreKeys(); }
    void TearDown() override { DeleteStoreKeys(); }
};

TEST_F(ProfileStoreTest, FirstReadsGiveTheDefaultsAndLeaveTheEmptyKeyChain) {
    ProgramStore store;
    const struct {
        const char* entry;
        int fallback;
    } reads[] = {{"Button1", 2}, {"Button2", 3}, {"Button3", 4}, {"Button4", 5}, {"Button1", -1}};
    for (const auto& read : reads)
        EXPECT_EQ(store.GetProfileInt("Buttons", read.entry, read.fallback),
                  static_cast<UINT>(read.fallback))
            << read.entry;
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kButtonsPath));
    for (const char* entry : {"Button1", "Button2", "Button3", "Button4"})
        EXPECT_EQ(QueryValue(HKEY_LOCAL_MACHINE, kButtonsPath, entry).result, ERROR_FILE_NOT_FOUND)
            << entry;
}

TEST_F(ProfileStoreTest, AWrittenValueIsAFourByteDwordReadBackWhateverTheDefault) {
    ProgramStore store;
    ASSERT_TRUE(store.WriteProfileInt("Buttons", "Button3", 7));
    StoredValue stored = QueryValue(HKEY_LOCAL_MACHINE, kButtonsPath, "Button3");
    ASSERT_EQ(stored.result, ERROR_SUCCESS);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(stored.data, (std::vector<BYTE>{7, 0, 0, 0}));
    for (int fallback : {2, 0, -1, 7, INT_MAX})
        EXPECT_EQ(store.GetProfileInt("Buttons", "Button3", fallback), 7u) << fallback;

    ASSERT_TRUE(store.WriteProfileInt("Buttons", "Button3", -2));
    EXPECT_EQ(QueryValue(HKEY_LOCAL_MACHINE, kButtonsPath, "Button3").data,
              (std::vector<BYTE>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(store.GetProfileInt("Buttons", "Button3", 2), 0xFFFFFFFEu);
    EXPECT_EQ(ProgramStore().GetProfileInt("buttons", "BUTTON3", 2), 0xFFFFFFFEu)
        << "names ignore case";
}

// Whatever sits in the registry, the result is either the default or four
// bytes that really were stored; the type itself is not looked at.
TEST_F(ProfileStoreTest, OnlyAValueOfExactlyFourBytesIsTaken) {
    const struct {
        const char* what;
        DWORD type;
        std::vector<BYTE> data;
        UINT expected;
    } cases[] = {
        {"string of 5 bytes", REG_SZ, {'a', 'b', 'c', 'd', 0}, 2},
        {"64-bit value", REG_QWORD, {7, 0, 0, 0, 0, 0, 0, 0}, 2},
        {"string of 2 bytes", REG_SZ, {'7', 0}, 2},
        {"one byte", REG_BINARY, {7}, 2},
        {"short dword", REG_DWORD, {7, 0}, 2},
        {"no data", REG_DWORD, {}, 2},
        {"four binary bytes", REG_BINARY, {7, 0, 0, 0}, 7},
        {"string of 4 bytes", REG_SZ, {'a', 'b', 'c', 0}, 0x00636261},
    };
    for (const auto& c : cases) {
        SetValue(HKEY_LOCAL_MACHINE, kButtonsPath, "Button1", c.type, c.data.data(),
                 static_cast<DWORD>(c.data.size()));
        EXPECT_EQ(ProgramStore().GetProfileInt("Buttons", "Button1", 2), c.expected) << c.what;
    }
}

TEST_F(ProfileStoreTest, SetRootKeyTakesOnlyTheFourRootsAndReturnsTheOneInForce) {
    ProgramStore store;
    EXPECT_EQ(store.SetRootKey(HKEY_CURRENT_USER), HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(store.WriteProfileInt("Buttons", "Button2", 6));
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kButtonsPath, "Button2").data,
              (std::vector<BYTE>{6, 0, 0, 0}));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\ORMEL Software"));

    const HKEY refused[] = {
        HKEY_PERFORMANCE_DATA, HKEY_CURRENT_CONFIG, HKEY_DYN_DATA, nullptr,
        reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000007)))};
    for (HKEY root : refused)
        EXPECT_EQ(store.SetRootKey(root), HKEY_CURRENT_USER) << root;
    EXPECT_EQ(store.GetProfileInt("Buttons", "Button2", 3), 6u) << "still under HKEY_CURRENT_USER";

    const HKEY accepted[] = {HKEY_CLASSES_ROOT, HKEY_USERS, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
    HKEY previous = HKEY_CURRENT_USER;
    for (HKEY root : accepted) {
        EXPECT_EQ(store.SetRootKey(root), previous) << root;
        previous = root;
    }
}

// "Software" is never created: under a root without it nothing is stored.
TEST_F(ProfileStoreTest, ARootWithoutSoftwareGivesDefaultsAndRefusesWrites) {
    ASSERT_FALSE(KeyExists(HKEY_USERS, "Software"));
    ProgramStore store;
    store.SetRootKey(HKEY_USERS);
    EXPECT_EQ(store.GetProfileInt("Buttons", "Button1", 2), 2u);
    EXPECT_FALSE(store.WriteProfileInt("Buttons", "Button1", 7));
    EXPECT_EQ(store.GetProfileInt("Buttons", "Button1", 2), 2u);
    EXPECT_FALSE(KeyExists(HKEY_USERS, "Software"));
}

TEST_F(ProfileStoreTest, WithoutARegistryKeyTheSettingsGoToTheProfileFile) {
    TempDir dir;
    std::string file = dir.File("briskarn.ini");
    CProfileStore store;
    store.SetProfileName(file.c_str());
    EXPECT_EQ(store.GetProfileInt("Buttons", "Button1", 2), 2u) << "no file yet";
    ASSERT_TRUE(store.WriteProfileInt("Buttons", "Button1", 7));
    EXPECT_EQ(dir.Read("briskarn.ini"), "[Buttons]\r\nButton1=7\r\n");
    EXPECT_EQ(store.GetProfileInt("Buttons", "Button1", 2), 7u);
    EXPECT_EQ(store.GetProfileInt("Buttons", "Button2", 3), 3u);

    ASSERT_TRUE(store.WriteProfileInt("Buttons", "Button2", -2147483647 - 1));
    ASSERT_TRUE(store.WriteProfileInt("Buttons", "Button1", 8));
    EXPECT_EQ(dir.Read("briskarn.ini"), "[Buttons]\r\nButton1=8\r\nButton2=-2147483648\r\n");
    EXPECT_EQ(store.GetProfileInt("Buttons", "Button2", 3), 0x80000000u);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\ORMEL Software"));
}

TEST_F(ProfileStoreTest, NamesComeFromStringResourcesAndAMissingOneSelectsTheProfileFile) {
    TempDir dir;
    std::string file = dir.File("store.ini");
    CProfileStore store;
    store.SetProfileName("BRISKARN");
    store.SetRegistryKey(static_cast<UINT>(IDS_ABOUTBOX));
    ASSERT_TRUE(store.WriteProfileInt("Buttons", "Button1", 4));
    EXPECT_EQ(
        QueryValue(HKEY_LOCAL_MACHINE, "Software\\&About Velomira\\BRISKARN\\Buttons", "Button1")
            .data,
        (std::vector<BYTE>{4, 0, 0, 0}));

    // Each of these empties the registry key name, so the next write lands in the file.
    const struct {
        const char* what;
        void (*clear)(CProfileStore&);
    } clears[] = {
        {"missing resource", [](CProfileStore& s) { s.SetRegistryKey(static_cast<UINT>(0x7FFF)); }},
        {"null text", [](CProfileStore& s) { s.SetRegistryKey(static_cast<LPCSTR>(nullptr)); }},
    };
    int value = 10;
    for (const auto& c : clears) {
        store.SetProfileName(file.c_str());
        store.SetRegistryKey("ORMEL Software");
        c.clear(store);
        ASSERT_TRUE(store.WriteProfileInt("Buttons", "Button1", ++value)) << c.what;
        EXPECT_EQ(dir.Read("store.ini"), "[Buttons]\r\nButton1=" + std::to_string(value) + "\r\n")
            << c.what;
    }
    store.SetProfileName(static_cast<UINT>(0x7FFF));
    EXPECT_FALSE(store.WriteProfileInt("Buttons", "Button1", 1)) << "a profile file without a name";
}

} // namespace
