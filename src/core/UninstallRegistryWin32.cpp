#include "core/UninstallRegistry.h"

#include "core/WideText.h"

#include <windows.h>

#include <string>
#include <vector>

namespace Tralvonic {

namespace {

constexpr const wchar_t* UninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const wchar_t* Wow64UninstallKey =
    L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Registry key names are at most 255 characters.
constexpr DWORD MaxKeyNameLength = 256;

class Key {
public:
    Key() = default;
    ~Key() {
        if (_handle != nullptr) {
            RegCloseKey(_handle);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool Open(HKEY parent, const wchar_t* name) {
        return RegOpenKeyExW(parent, name, 0, KEY_READ, &_handle) == ERROR_SUCCESS;
    }
    HKEY Handle() const { return _handle; }

private:
    HKEY _handle = nullptr;
};

// The value as text when it is a string (REG_SZ or REG_EXPAND_SZ, unexpanded); empty otherwise.
bool ReadString(HKEY key, const wchar_t* name, std::wstring& text) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read) !=
        ERROR_SUCCESS) {
        return false;
    }
    // A stored string need not end with its terminator; the extra element guarantees one.
    text.assign(buffer.data());
    return true;
}

} // namespace

bool IsInUninstallRegistry(std::string_view softwareName) {
    Key uninstall;
    if (!uninstall.Open(HKEY_LOCAL_MACHINE, UninstallKey) &&
        !uninstall.Open(HKEY_LOCAL_MACHINE, Wow64UninstallKey)) {
        return false;
    }
    const std::wstring wanted = WideFromUtf8(softwareName);
    for (DWORD index = 0;; ++index) {
        wchar_t name[MaxKeyNameLength];
        DWORD length = MaxKeyNameLength;
        const LSTATUS status =
            RegEnumKeyExW(uninstall.Handle(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            return false;
        }
        if (status != ERROR_SUCCESS) {
            continue;
        }
        Key entry;
        if (!entry.Open(uninstall.Handle(), name)) {
            continue;
        }
        std::wstring displayName;
        if (ReadString(entry.Handle(), L"DisplayName", displayName) &&
            displayName.find(wanted) != std::wstring::npos) {
            return true;
        }
    }
}

} // namespace Tralvonic
