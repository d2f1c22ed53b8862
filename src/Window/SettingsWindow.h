#pragma once
// What the settings window shows and what its controls do, apart from the widgets: Load gives
// the content of every control from the live configuration, and each handler writes one change
// into it at once. The window writes the file when it closes (the plugin core does that).
// GUI thread only.

#include "core/Configuration.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace Tralvonic {

// The content of the controls, in their object names' terms.
struct SettingsView {
    bool Audio3d = false;
    std::string PhoneAudio;
    std::string PrimaryRadio;
    std::string SecondaryRadio;
    std::string MicClick;
    bool ExpertMode = false;
    std::vector<std::string> UpdateBranchItems;
    std::string UpdateBranch;
    std::string LogLevel;
    std::string WebSocketAddress;
    std::string OriginExceptions;
    // LogLevelBox, WebSocketAddressBox and OriginExceptionBox.
    bool ExpertControlsEnabled = false;
};

enum class StereoControl { Phone, PrimaryRadio, SecondaryRadio };

class SettingsWindow {
public:
    static constexpr std::string_view Title = "Settings - Tralvonic";
    static constexpr std::array<std::string_view, 3> StereoNames{"Only Left", "Only Right", "Stereo"};
    static constexpr std::array<std::string_view, 3> MicClickNames{"Always", "Never", "Script Dependent"};
    static constexpr std::array<std::string_view, 3> BranchNames{"Stable", "Testing", "Preview"};
    static constexpr std::array<std::string_view, 6> LogLevelNames{"Error", "Warning",   "Info",
                                                                   "Debug", "Extensive", "ExtensiveDebug"};

    // The loading flag: set while the controls are being filled, when every handler is mute.
    bool IsLoading() const { return _loading; }
    void BeginLoad() { _loading = true; }
    void EndLoad() { _loading = false; }

    // The controls' content for the current configuration.
    static SettingsView Load();

    void OnAudio3dChanged(bool checked);
    void OnStereoChanged(StereoControl control, std::string_view text);
    void OnMicClickChanged(std::string_view text);
    void OnUpdateBranchChanged(std::string_view text);
    void OnLogLevelChanged(std::string_view text);
    void OnWebSocketAddressCommitted(std::string_view text);
    void OnOriginExceptionsCommitted(std::string_view text);
    // These two change more than their own field: true when the window must load again.
    bool OnExpertModeChanged(bool checked);
    bool OnResetClicked();

    // "a\r\n\r\nb" and "a\n\nb" both give {"a", "", "b"}; an empty text gives {""}.
    static std::vector<std::string> SplitLines(std::string_view text);

private:
    bool _loading = true;
};

} // namespace Tralvonic
