#include "SharedLibrary.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace Tralvonic::Sim {

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

} // namespace

SharedLibrary::SharedLibrary(const std::string& path) : _handle(LoadLibraryW(Wide(path).c_str())) {
    if (_handle == nullptr) {
        throw std::runtime_error("cannot load " + path + ": Windows error " + std::to_string(GetLastError()));
    }
}

SharedLibrary::~SharedLibrary() {
    FreeLibrary(static_cast<HMODULE>(_handle));
}

void* SharedLibrary::Symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(_handle), name));
}

} // namespace Tralvonic::Sim
