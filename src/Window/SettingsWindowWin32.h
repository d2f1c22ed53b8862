#pragma once
// The settings window's Win32 controls: two sections of label-control rows side by side and
// the Reset button, each control known by the id that carries its name. What the controls
// show and do is SettingsWindow's. Window thread only.

#include "Window/SettingsWindow.h"
#include "Window/ViewWin32.h"

#include <initializer_list>
#include <memory>
#include <string_view>

namespace Tralvonic {

enum class SettingsControl : int {
    Audio3dCheckBox = 1001,
    PhoneAudioBox,
    PrimaryRadioBox,
    SecondaryRadioBox,
    MicClickBox,
    ExpertModeBox,
    UpdateBranchBox,
    LogLevelBox,
    WebSocketAddressBox,
    OriginExceptionBox,
    ResetButton,
};

class Win32SettingsView final : public Win32View {
public:
    std::string_view Title() const override { return SettingsWindow::Title; }
    SIZE Build(HWND window) override;
    void OnCommand(HWND control, int id, int code) override;
    void OnClosing() override;

    // Fills every control from the configuration with the handlers muted.
    void Reload();

private:
    struct Row;
    int BuildSection(std::wstring_view heading, std::initializer_list<Row> rows, int left, int top,
                     int& right);
    HWND Control(SettingsControl id) const;

    SettingsWindow _logic;
    HWND _window = nullptr;
    std::unique_ptr<Win32Fonts> _fonts;
};

} // namespace Tralvonic
