#include "platform/win32/RegistrySettingsStore.h"

#include <windows.h>

#include <vector>

#include "platform/os.h"

namespace glimsel_win32 {

namespace {

// The longest text read back; longer values read as absent.
constexpr DWORD MAX_TEXT = 64 * 1024;

// An open key of the section, made when missing; closed at the end of the scope.
class SectionKey {
public:
    SectionKey(const std::string& applicationKey, char const* section) {
        std::string path = applicationKey;
        if (section && *section) path += std::string("\\") + section;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
            key = nullptr;
        }
    }
    ~SectionKey() {
        if (key) RegCloseKey(key);
    }
    SectionKey(const SectionKey&) = delete;
    SectionKey& operator=(const SectionKey&) = delete;
    HKEY get() const { return key; }

private:
    HKEY key = nullptr;
};

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(std::string company, std::string application)
    : keyPath("Software\\" + company + "\\" + application) {}

std::string RegistrySettingsStore::baseName(const std::string& path) {
    size_t slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

std::string RegistrySettingsStore::programBaseName() { return baseName(glimsel_os::programPath()); }

int RegistrySettingsStore::getInt(char const* section, char const* entry, int def) {
    SectionKey key(keyPath, section);
    if (!key.get() || !entry) return def;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
        return def;
    }
    return static_cast<int>(static_cast<int32_t>(value));
}

bool RegistrySettingsStore::getString(char const* section, char const* entry, std::string& out) {
    SectionKey key(keyPath, section);
    if (!key.get() || !entry) return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
        size > MAX_TEXT) {
        return false;
    }
    // Another program may have stored the text without its terminating zero, or changed
    // it between the two calls: the buffer has room for one more byte than was asked.
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) !=
            ERROR_SUCCESS ||
        type != REG_SZ || got > size) {
        return false;
    }
    buffer[got] = 0;
    out.assign(buffer.data());  // up to the first zero
    return true;
}

void RegistrySettingsStore::writeInt(char const* section, char const* entry, int value) {
    SectionKey key(keyPath, section);
    if (!key.get() || !entry) return;
    DWORD stored = static_cast<DWORD>(static_cast<uint32_t>(value));
    RegSetValueExA(key.get(), entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof stored);
}

void RegistrySettingsStore::writeString(char const* section, char const* entry, char const* text) {
    SectionKey key(keyPath, section);
    if (!key.get() || !entry) return;
    if (!text) {
        RegDeleteValueA(key.get(), entry);
        return;
    }
    std::string value(text);
    if (value.size() >= MAX_TEXT) return;
    RegSetValueExA(key.get(), entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

}  // namespace glimsel_win32
