// The registry store, on the registry of the machine (or Wine prefix) that runs the test,
// under a company key of its own that the test removes again.
#include <windows.h>

#include <climits>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/RegistrySettingsStore.h"

using glimsel_win32::RegistrySettingsStore;

namespace {

class RegistryStore : public ::testing::Test {
protected:
    const std::string company = "GlimselTest" + std::to_string(GetCurrentProcessId());
    RegistrySettingsStore store{company, "Glimsel"};

    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\" + company).c_str()); }

    bool keyExists(const std::string& path) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    // Stores raw bytes of any type, as another program might.
    void writeRaw(const char* section, const char* entry, DWORD type, const void* data, DWORD size) {
        HKEY key;
        std::string path = store.applicationKey() + (*section ? std::string("\\") + section : "");
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, entry, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
};

TEST_F(RegistryStore, AFirstReadMakesTheApplicationKeyAndItsSection) {
    EXPECT_FALSE(keyExists(store.applicationKey()));
    EXPECT_EQ(store.getInt("Config", "Speed", 50), 50);
    std::string path;
    EXPECT_FALSE(store.getString("Config", "Path", path));
    EXPECT_EQ(store.getInt("", "ActivePage", 0), 0);
    EXPECT_TRUE(keyExists(store.applicationKey()));
    EXPECT_TRUE(keyExists(store.applicationKey() + "\\Config"));
    EXPECT_FALSE(keyExists(store.applicationKey() + "\\ActivePage"));
}

TEST_F(RegistryStore, IntegersAreSigned32BitNumbers) {
    for (int value : {0, 50, -1, -7, INT_MIN, INT_MAX}) {
        store.writeInt("Config", "flashSleep", value);
        EXPECT_EQ(store.getInt("Config", "flashSleep", 12345), value);
    }
    store.writeInt("Config", "flashSleep", -1);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (store.applicationKey() + "\\Config").c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD type = 0, raw = 0, size = sizeof raw;
    RegQueryValueExA(key, "flashSleep", nullptr, &type, reinterpret_cast<BYTE*>(&raw), &size);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw, 0xFFFFFFFFu);
}

TEST_F(RegistryStore, TextsAreStoredAndANullTextDeletesTheValue) {
    std::string out;
    store.writeString("Config", "Path", "C:\\Bilder\\Urlaub");
    ASSERT_TRUE(store.getString("Config", "Path", out));
    EXPECT_EQ(out, "C:\\Bilder\\Urlaub");
    store.writeString("Config", "Path", "");
    ASSERT_TRUE(store.getString("Config", "Path", out));
    EXPECT_EQ(out, "");
    store.writeString("Config", "Path", nullptr);
    out = "untouched";
    EXPECT_FALSE(store.getString("Config", "Path", out));
    EXPECT_EQ(out, "untouched");
}

TEST_F(RegistryStore, TheEmptySectionIsTheApplicationKeyItself) {
    store.writeInt("", "ActivePage", 1);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, store.applicationKey().c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "ActivePage", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(store.getInt("", "ActivePage", 0), 1);
}

TEST_F(RegistryStore, ValuesOfAnotherKindReadAsDefaults) {
    const char text[] = "75";
    const uint64_t wide = 75;
    const uint16_t narrow = 75;
    const DWORD number = 75;
    writeRaw("Config", "TextSpeed", REG_SZ, text, sizeof text);
    writeRaw("Config", "WideSpeed", REG_QWORD, &wide, sizeof wide);
    writeRaw("Config", "ShortSpeed", REG_BINARY, &narrow, sizeof narrow);
    writeRaw("Config", "NumberPath", REG_DWORD, &number, sizeof number);
    for (const char* entry : {"TextSpeed", "WideSpeed", "ShortSpeed"}) {
        EXPECT_EQ(store.getInt("Config", entry, 50), 50) << entry;
    }
    std::string out;
    EXPECT_FALSE(store.getString("Config", "NumberPath", out));
}

TEST_F(RegistryStore, ATextWithoutItsZeroIsReadToItsEnd) {
    const char unterminated[] = {'a', 'b', 'c'};
    writeRaw("Config", "Path", REG_SZ, unterminated, sizeof unterminated);
    std::string out;
    ASSERT_TRUE(store.getString("Config", "Path", out));
    EXPECT_EQ(out, "abc");
}

TEST(RegistryStoreName, TheProgramsBaseNameNamesTheKey) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\Windows\\System32\\Glimsel.scr", "Glimsel"},
        {"D:\\Savers\\Glimsel Copy.SCR", "Glimsel Copy"},
        {"Z:/work/build-win/glimsel.tar.scr", "glimsel.tar"},
        {"C:Glimsel", "Glimsel"},
        {"C:\\dir.d\\noext", "noext"},
    };
    for (const auto& c : cases) EXPECT_EQ(RegistrySettingsStore::baseName(c.path), c.name) << c.path;
    EXPECT_FALSE(RegistrySettingsStore::programBaseName().empty());
    EXPECT_EQ(RegistrySettingsStore("Norvane", "Glimsel").applicationKey(), "Software\\Norvane\\Glimsel");
}

}  // namespace
