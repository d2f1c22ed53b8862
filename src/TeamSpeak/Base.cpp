#include "TeamSpeak/Base.h"

#include "TeamSpeak/Error.h"
#include "TeamSpeak/Logger.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

namespace TeamSpeak {

namespace {

constexpr std::size_t MenuTextMaxBytes = PLUGIN_MENU_BUFSZ - 1;

std::mutex pluginIdMutex;
std::string pluginId; // guarded by pluginIdMutex

// The longest prefix of `text` of at most `maxBytes` bytes that ends on a character
// boundary: a cut never leaves the lead byte of a character without its continuation.
std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text.size();
    }
    std::size_t length = maxBytes;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        --length;
    }
    return length;
}

void CopyMenuText(char (&target)[PLUGIN_MENU_BUFSZ], std::string_view text) {
    const std::size_t length = Utf8PrefixLength(text, MenuTextMaxBytes);
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

} // namespace

void Base::SetFunctions(const TS3Functions& functions) {
    _functions = functions;
}

std::string Base::PluginId() {
    std::lock_guard lock(pluginIdMutex);
    return pluginId;
}

void Base::SetPluginId(std::string_view id) {
    std::lock_guard lock(pluginIdMutex);
    pluginId = id;
}

bool Base::Check(unsigned int code, std::source_location location) {
    const auto error = static_cast<Error>(code);
    if (error == Error::Ok || error == Error::OkNoUpdate) {
        return true;
    }
    Logger::LogError(Name,
                     ToString(error) + " (" + std::to_string(code) + ") at " +
                         std::string(UnitName(location.file_name())) + ":" + std::to_string(location.line()),
                     0);
    return false;
}

std::string_view Base::UnitName(std::string_view fileName) {
    const auto slash = fileName.find_last_of("/\\");
    if (slash != std::string_view::npos) {
        fileName.remove_prefix(slash + 1);
    }
    const auto dot = fileName.rfind('.');
    return fileName.substr(0, dot);
}

std::string Base::GetString(const char* pointer, bool free) {
    if (pointer == nullptr) {
        return {};
    }
    std::string text(pointer);
    if (free) {
        FreeMemory(const_cast<char*>(pointer));
    }
    return text;
}

std::string Base::MarshalNativeUtf8ToManagedString(const char* pointer) {
    return pointer != nullptr ? std::string(pointer) : std::string();
}

Utf8Buffer Base::AllocConvertManagedStringToNativeUtf8(std::string_view text) {
    Utf8Buffer buffer(static_cast<char*>(std::malloc(text.size() + 1)));
    if (!buffer) {
        throw std::bad_alloc();
    }
    std::memcpy(buffer.get(), text.data(), text.size());
    buffer[text.size()] = '\0';
    return buffer;
}

void Base::WriteShortArray(short* pointer, std::span<const short> values) {
    if (pointer == nullptr) {
        return;
    }
    std::copy(values.begin(), values.end(), pointer);
}

PluginMenuItem* Base::CreateMenuItem(PluginMenuType type, int id, std::string_view text,
                                     std::string_view icon) {
    auto* item = static_cast<PluginMenuItem*>(std::malloc(sizeof(PluginMenuItem)));
    if (item == nullptr) {
        throw std::bad_alloc();
    }
    std::memset(item, 0, sizeof(PluginMenuItem));
    item->type = type;
    item->id = id;
    CopyMenuText(item->text, text);
    CopyMenuText(item->icon, icon);
    return item;
}

void Base::FreeMemory(void* pointer) {
    _functions.freeMemory(pointer);
}

} // namespace TeamSpeak
