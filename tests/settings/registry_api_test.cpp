// The registry calls as Windows answers them: result codes, sizes, types,
// access rights and handle rules. Only the Win32 API is used, so the same
// tests hold on a real Windows registry.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

namespace {

const char kTestKey[] = "Software\\Briskarn Registry Test";

HKEY CreateKey(HKEY parent, const char* path, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_READ | KEY_WRITE, nullptr, &key, disposition),
              ERROR_SUCCESS)
        << path;
    return key;
}

LONG SetDword(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value);
}

class RegistryApiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteTestKeys();
        m_key = CreateKey(HKEY_CURRENT_USER, kTestKey);
    }
    void TearDown() override {
        RegCloseKey(m_key);
        DeleteTestKeys();
    }
    static void DeleteTestKeys() {
        for (const char* path : {"\\A\\B", "\\A\\C", "\\A", ""})
            RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kTestKey) + path).c_str());
    }
    HKEY m_key = nullptr;
};

TEST_F(RegistryApiTest, QueriesGiveTypeAndSizeAndSayWhenTheDataDoesNotFit) {
    ASSERT_EQ(RegSetValueExA(m_key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("hello"), 6),
              ERROR_SUCCESS);
    DWORD type = REG_NONE;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(m_key, "Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 6u);

    BYTE buffer[8] = {};
    size = 4;
    type = REG_NONE;
    EXPECT_EQ(RegQueryValueExA(m_key, "Text", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u) << "the size it needs";
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(m_key, "TEXT", nullptr, nullptr, buffer, &size), ERROR_SUCCESS)
        << "any case";
    EXPECT_EQ(size, 6u);
    EXPECT_STREQ(reinterpret_cast<const char*>(buffer), "hello");
    EXPECT_EQ(RegQueryValueExA(m_key, "Missing", nullptr, &type, buffer, &size),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryApiTest, KeysAreCreatedAlongThePathAndChangedOnlyWithTheRightAccess) {
    HKEY missing = nullptr;
    EXPECT_EQ(RegOpenKeyExA(m_key, "A\\B", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
    DWORD disposition = 0;
    HKEY created = CreateKey(m_key, "A\\B", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    HKEY again = CreateKey(m_key, "a\\b", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    HKEY self = CreateKey(again, "");
    ASSERT_EQ(SetDword(created, "V", 9), ERROR_SUCCESS);
    DWORD read = 0;
    DWORD size = sizeof read;
    EXPECT_EQ(RegQueryValueExA(self, "v", nullptr, nullptr, reinterpret_cast<BYTE*>(&read), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(read, 9u) << "three handles to one key";

    HKEY readOnly = nullptr;
    ASSERT_EQ(RegOpenKeyExA(m_key, "A", 0, KEY_READ, &readOnly), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(readOnly, "V", 1), ERROR_ACCESS_DENIED);
    // Creating is checked against the key's security, not the handle's access.
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKeyExA(readOnly, "C", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ, nullptr,
                              &child, nullptr),
              ERROR_SUCCESS);
    for (HKEY key : {created, again, self, readOnly, child})
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryApiTest, HandlesCloseOnceAndGoStaleWithTheirKey) {
    HKEY key = CreateKey(m_key, "A");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS)
        << "a predefined root needs no closing";

    HKEY inner = CreateKey(m_key, "A\\B");
    EXPECT_EQ(RegDeleteKeyA(m_key, "A"), ERROR_ACCESS_DENIED) << "it still has a subkey";
    EXPECT_EQ(RegDeleteKeyA(m_key, "A\\B"), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(inner, "V", 1), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(inner), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(m_key, "A\\B"), ERROR_FILE_NOT_FOUND);
}

} // namespace
