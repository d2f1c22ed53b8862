#pragma once
// The operating-system services the plugin needs, behind one interface so that a Windows
// build can follow and tests can record what the plugin asked of the system.
// Any thread; implementations must not call back into the plugin.

#include <memory>
#include <string>
#include <string_view>

namespace Tralvonic {

enum class MessageBoxButtons { Ok, YesNo };
enum class MessageBoxIcon { Information, Error, Question };
enum class MessageBoxResult { Ok, Yes, No };

// A loaded native library; unloaded when the object goes.
class NativeLibrary {
public:
    virtual ~NativeLibrary() = default;
    // The address of an exported symbol, or nullptr when the library lacks it.
    virtual void* Symbol(const char* name) const = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Modal box; answers No (or Ok) at once where no box can be shown.
    virtual MessageBoxResult ShowMessageBox(std::string_view caption, std::string_view text,
                                            MessageBoxButtons buttons, MessageBoxIcon icon) = 0;
    // Opens an address with the desktop's default handler.
    virtual void OpenAddress(std::string_view address) = 0;
    // Whether the runtime named by RuntimeSearchName() is usable on this machine.
    virtual bool IsSoftwareInstalled(std::string_view softwareName) = 0;
    // The directory holding the plugin's own library file, without a trailing separator.
    virtual std::string PluginDirectory() = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // nullptr when the library cannot be loaded; the reason goes to `error`.
    virtual std::unique_ptr<NativeLibrary> OpenLibrary(const std::string& path, std::string& error) = 0;

    // The process-wide platform: the native one unless a test installed another.
    static Platform& Current();
    // Installs a replacement (tests); nullptr restores the native platform.
    static void SetCurrent(Platform* platform);

    static std::string JoinPath(std::string_view directory, std::string_view name);
    static std::string_view EffectLibraryFileName();
    // The runtime the voice-effect library depends on, as shown to the user; the name that
    // IsSoftwareInstalled looks for; where the user gets it. (PlatformNames*.cpp)
    static std::string_view RuntimeName();
    static std::string_view RuntimeSearchName();
    static std::string_view RuntimeDownloadAddress();
};

} // namespace Tralvonic
