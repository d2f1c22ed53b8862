// The Win32 settings window as the user meets it: opened from the plugin menu, every control
// driven through its own Windows messages, the live configuration changed at once, the file
// written on close, and the window's frame and layout as Windows shows them.

#include "tests/win32/Win32WindowFixture.h"

#include "Window/SettingsWindowWin32.h"
#include "core/Configuration.h"

#include <fstream>
#include <sstream>

namespace Tralvonic::Test {
namespace {

constexpr std::wstring_view Title = L"Settings - Tralvonic";
using Strings = std::vector<std::string>;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool HasStyle(HWND window, LONG style) {
    return (GetWindowLongW(window, GWL_STYLE) & style) != 0;
}

class Win32SettingsWindowTest : public Win32WindowTest {
protected:
    HWND Open() { return OpenFromMenu(SettingsMenu, Title); }

    // The user closes the window; the plugin then validates and writes the file.
    void CloseAndWaitForTheFile(HWND window) {
        std::filesystem::remove(Folder.SettingsFile());
        CloseByUser(window);
        ASSERT_TRUE(WaitUntil([] { return CountWindows(Title) == 0; }));
        ASSERT_TRUE(WaitUntil(
            [&] { return ReadFile(Folder.SettingsFile()).find("Is3dEnabled") != std::string::npos; }));
    }

    // The user types into a text box and leaves it with Tab.
    void Commit(HWND textBox, std::string_view text) {
        ASSERT_TRUE(ClickInto(textBox));
        SetText(textBox, "");
        Type(textBox, text);
        ASSERT_TRUE(PressTab(textBox));
    }
};

TEST_F(Win32SettingsWindowTest, OpeningShowsTheSettingsAndChangesNothing) {
    Folder.WriteSettings(
        R"({"WebSocketAddress":"127.0.0.1:0","ExpertMode":false,"Is3dEnabled":false,)"
        R"("PhoneOffset":"Stereo","RadioOffset":"RightOnly","SecondaryRadioOffset":"LeftOnly",)"
        R"("MicClickMode":"Never","UpdateBranch":"Testing"})");
    ASSERT_EQ(StartPlugin(), 0);
    const Configuration before = *Base::CurrentConfiguration();
    const HWND window = Open();
    ASSERT_NE(window, nullptr);

    EXPECT_FALSE(IsChecked(Control(window, SettingsControl::Audio3dCheckBox)));
    EXPECT_EQ(Selected(Control(window, SettingsControl::PhoneAudioBox)), "Stereo");
    EXPECT_EQ(Selected(Control(window, SettingsControl::PrimaryRadioBox)), "Only Right");
    EXPECT_EQ(Selected(Control(window, SettingsControl::SecondaryRadioBox)), "Only Left");
    EXPECT_EQ(Items(Control(window, SettingsControl::PhoneAudioBox)),
              (Strings{"Only Left", "Only Right", "Stereo"}));
    EXPECT_EQ(Selected(Control(window, SettingsControl::MicClickBox)), "Never");
    EXPECT_EQ(Items(Control(window, SettingsControl::MicClickBox)),
              (Strings{"Always", "Never", "Script Dependent"}));
    EXPECT_FALSE(IsChecked(Control(window, SettingsControl::ExpertModeBox)));
    EXPECT_EQ(Items(Control(window, SettingsControl::UpdateBranchBox)), (Strings{"Stable", "Testing"}));
    EXPECT_EQ(Selected(Control(window, SettingsControl::UpdateBranchBox)), "Testing");
    EXPECT_EQ(Items(Control(window, SettingsControl::LogLevelBox)),
              (Strings{"Error", "Warning", "Info", "Debug", "Extensive", "ExtensiveDebug"}));
    EXPECT_EQ(Selected(Control(window, SettingsControl::LogLevelBox)), "Info");
    EXPECT_FALSE(IsEnabled(Control(window, SettingsControl::LogLevelBox)));
    EXPECT_FALSE(IsEnabled(Control(window, SettingsControl::WebSocketAddressBox)));
    EXPECT_FALSE(IsEnabled(Control(window, SettingsControl::OriginExceptionBox)));
    EXPECT_TRUE(IsEnabled(Control(window, SettingsControl::UpdateBranchBox)));
    EXPECT_EQ(TextOf(Control(window, SettingsControl::WebSocketAddressBox)), "127.0.0.1:38088");
    EXPECT_EQ(TextOf(Control(window, SettingsControl::OriginExceptionBox)),
              Configuration::DefaultOriginExceptions()[0] + "\r\n" +
                  Configuration::DefaultOriginExceptions()[1]);
    EXPECT_EQ(TextOf(Control(window, SettingsControl::ResetButton)), "Reset");
    EXPECT_EQ(*Base::CurrentConfiguration(), before);

    EXPECT_TRUE(SaveScreenshot(window, ArtifactPath("win32-settings-window.png")));
}

TEST_F(Win32SettingsWindowTest, TheWindowFitsItsContentCanBeMinimizedButNotResizedAndOpensCentred) {
    ASSERT_EQ(StartPlugin(), 0);
    const HWND window = Open();
    ASSERT_NE(window, nullptr);

    EXPECT_TRUE(HasStyle(window, WS_MINIMIZEBOX));
    EXPECT_TRUE(HasStyle(window, WS_SYSMENU));
    EXPECT_FALSE(HasStyle(window, WS_THICKFRAME)) << "not resizable";
    EXPECT_FALSE(HasStyle(window, WS_MAXIMIZEBOX));
    for (const SettingsControl box :
         {SettingsControl::PhoneAudioBox, SettingsControl::PrimaryRadioBox,
          SettingsControl::SecondaryRadioBox, SettingsControl::MicClickBox, SettingsControl::UpdateBranchBox,
          SettingsControl::LogLevelBox, SettingsControl::WebSocketAddressBox}) {
        const SIZE size = SizeOf(Control(window, box));
        EXPECT_EQ(size.cx, 140) << static_cast<int>(box);
        EXPECT_EQ(size.cy, 26) << static_cast<int>(box);
    }
    // Three rows of text in the origin box, and every control inside the client area.
    const HWND origins = Control(window, SettingsControl::OriginExceptionBox);
    RECT text{};
    SendMessageW(origins, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    TEXTMETRICW metrics{};
    const HDC context = GetDC(origins);
    const HGDIOBJ previous =
        SelectObject(context, reinterpret_cast<HGDIOBJ>(SendMessageW(origins, WM_GETFONT, 0, 0)));
    GetTextMetricsW(context, &metrics);
    SelectObject(context, previous);
    ReleaseDC(origins, context);
    EXPECT_EQ((text.bottom - text.top) / metrics.tmHeight, 3);
    RECT client{};
    GetClientRect(window, &client);
    const HWND reset = Control(window, SettingsControl::ResetButton);
    RECT resetBounds{};
    GetWindowRect(reset, &resetBounds);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&resetBounds), 2);
    EXPECT_EQ(client.right - resetBounds.right, 20) << "Reset at the bottom right, within the margin";
    EXPECT_EQ(client.bottom - resetBounds.bottom, 20);

    RECT frame{};
    GetWindowRect(window, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    EXPECT_LE(std::abs((frame.left - work.left) - (work.right - frame.right)), 1);
    EXPECT_LE(std::abs((frame.top - work.top) - (work.bottom - frame.bottom)), 1);
}

TEST_F(Win32SettingsWindowTest, APreviewBranchIsListedWithoutExpertMode) {
    // The file is read without expert mode, which would put Preview back to Stable.
    ASSERT_EQ(StartPlugin(), 0);
    Configuration configuration = *Base::CurrentConfiguration();
    configuration.ExpertMode = false;
    configuration.UpdateBranch = UpdateBranch::Preview;
    Base::SetConfiguration(configuration);
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Items(Control(window, SettingsControl::UpdateBranchBox)),
              (Strings{"Stable", "Testing", "Preview"}));
    EXPECT_EQ(Selected(Control(window, SettingsControl::UpdateBranchBox)), "Preview");
}

TEST_F(Win32SettingsWindowTest, EveryControlWritesItsSettingAndTheFileIsWrittenOnClose) {
    ASSERT_EQ(StartPlugin(), 0); // expert mode on
    const HWND window = Open();
    ASSERT_NE(window, nullptr);

    Click(Control(window, SettingsControl::Audio3dCheckBox));
    EXPECT_FALSE(Base::CurrentConfiguration()->Is3dEnabled);
    Choose(Control(window, SettingsControl::PhoneAudioBox), "Stereo");
    EXPECT_EQ(Base::CurrentConfiguration()->PhoneOffset, StereoMode::Stereo);
    Choose(Control(window, SettingsControl::PrimaryRadioBox), "Only Right");
    EXPECT_EQ(Base::CurrentConfiguration()->RadioOffset, StereoMode::RightOnly);
    Choose(Control(window, SettingsControl::SecondaryRadioBox), "Only Left");
    EXPECT_EQ(Base::CurrentConfiguration()->SecondaryRadioOffset, StereoMode::LeftOnly);
    Choose(Control(window, SettingsControl::MicClickBox), "Never");
    EXPECT_EQ(Base::CurrentConfiguration()->MicClickMode, MicClickMode::Never);
    Choose(Control(window, SettingsControl::UpdateBranchBox), "Preview");
    EXPECT_EQ(Base::CurrentConfiguration()->UpdateBranch, UpdateBranch::Preview);
    Choose(Control(window, SettingsControl::LogLevelBox), "Error");
    EXPECT_EQ(Base::CurrentConfiguration()->LogLevel, LogLevel::Error);

    const HWND address = Control(window, SettingsControl::WebSocketAddressBox);
    ASSERT_TRUE(ClickInto(address));
    SetText(address, "not an address");
    EXPECT_EQ(Base::CurrentConfiguration()->WebSocketAddress, "127.0.0.1:0")
        << "committed on focus loss only";
    ASSERT_TRUE(PressTab(address));
    EXPECT_EQ(Base::CurrentConfiguration()->WebSocketAddress, "not an address");
    EXPECT_EQ(FocusOf(window), Control(window, SettingsControl::OriginExceptionBox))
        << "Tab goes on in order";

    // Enter makes line breaks in the origin box; a blank line stays an empty entry.
    Commit(Control(window, SettingsControl::OriginExceptionBox), "^a$\r\r^b$");
    EXPECT_EQ(Base::CurrentConfiguration()->OriginExceptions, (Strings{"^a$", "", "^b$"}));

    CloseAndWaitForTheFile(window);
    const std::string file = ReadFile(Folder.SettingsFile());
    EXPECT_NE(file.find(R"("WebSocketAddress":"not an address")"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("OriginExceptions":["^a$","","^b$"])"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("Is3dEnabled":false)"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("UpdateBranch":"Preview")"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("LogLevel":"Error")"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("PhoneOffset":"Stereo")"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("MicClickMode":"Never")"), std::string::npos) << file;
}

TEST_F(Win32SettingsWindowTest, ClosingTheWindowWhileTypingKeepsWhatWasTyped) {
    ASSERT_EQ(StartPlugin(), 0);
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    const HWND address = Control(window, SettingsControl::WebSocketAddressBox);
    ASSERT_TRUE(ClickInto(address));
    SetText(address, "127.0.0.1:4000");

    CloseAndWaitForTheFile(window);
    EXPECT_EQ(Base::CurrentConfiguration()->WebSocketAddress, "127.0.0.1:4000");
    EXPECT_NE(ReadFile(Folder.SettingsFile()).find(R"("WebSocketAddress":"127.0.0.1:4000")"),
              std::string::npos);
}

TEST_F(Win32SettingsWindowTest, LeavingExpertModePutsTheExpertSettingsBackAndGreysThem) {
    ASSERT_EQ(StartPlugin(), 0); // expert mode on
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    const HWND address = Control(window, SettingsControl::WebSocketAddressBox);
    Commit(address, "127.0.0.1:4000");
    ASSERT_EQ(Base::CurrentConfiguration()->WebSocketAddress, "127.0.0.1:4000");
    Choose(Control(window, SettingsControl::UpdateBranchBox), "Preview");
    ASSERT_EQ(Base::CurrentConfiguration()->UpdateBranch, UpdateBranch::Preview);

    Click(Control(window, SettingsControl::ExpertModeBox));

    const Configuration defaults;
    EXPECT_FALSE(Base::CurrentConfiguration()->ExpertMode);
    EXPECT_EQ(Base::CurrentConfiguration()->WebSocketAddress, defaults.WebSocketAddress);
    EXPECT_EQ(Base::CurrentConfiguration()->LogLevel, defaults.LogLevel);
    EXPECT_EQ(Base::CurrentConfiguration()->OriginExceptions, defaults.OriginExceptions);
    EXPECT_EQ(Base::CurrentConfiguration()->UpdateBranch, UpdateBranch::Stable);
    EXPECT_EQ(TextOf(address), defaults.WebSocketAddress);
    EXPECT_FALSE(IsEnabled(address));
    EXPECT_EQ(Selected(Control(window, SettingsControl::LogLevelBox)), "Info");
    EXPECT_FALSE(IsEnabled(Control(window, SettingsControl::LogLevelBox)));
    EXPECT_FALSE(IsEnabled(Control(window, SettingsControl::OriginExceptionBox)));
    EXPECT_EQ(Items(Control(window, SettingsControl::UpdateBranchBox)), (Strings{"Stable", "Testing"}));
    EXPECT_EQ(Selected(Control(window, SettingsControl::UpdateBranchBox)), "Stable");
}

TEST_F(Win32SettingsWindowTest, ResetShowsTheDefaultsAndWritesThemAtOnce) {
    ASSERT_EQ(StartPlugin(), 0);
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    Click(Control(window, SettingsControl::Audio3dCheckBox));
    ASSERT_FALSE(Base::CurrentConfiguration()->Is3dEnabled);

    Click(Control(window, SettingsControl::ResetButton));

    EXPECT_EQ(*Base::CurrentConfiguration(), Configuration{});
    EXPECT_TRUE(IsChecked(Control(window, SettingsControl::Audio3dCheckBox)));
    EXPECT_FALSE(IsChecked(Control(window, SettingsControl::ExpertModeBox)));
    EXPECT_EQ(TextOf(Control(window, SettingsControl::WebSocketAddressBox)), "127.0.0.1:38088");
    EXPECT_FALSE(IsEnabled(Control(window, SettingsControl::WebSocketAddressBox)));
    const std::string file = ReadFile(Folder.SettingsFile());
    EXPECT_NE(file.find(R"("WebSocketAddress":"127.0.0.1:38088")"), std::string::npos) << file;
    EXPECT_NE(file.find(R"("ExpertMode":false)"), std::string::npos) << file;
}

TEST_F(Win32SettingsWindowTest, TheOriginBoxShowsScrollBarsOnlyWhenItsTextNeedsThem) {
    ASSERT_EQ(StartPlugin(), 0);
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    const HWND origins = Control(window, SettingsControl::OriginExceptionBox);

    Commit(origins, "^a$");
    EXPECT_FALSE(HasStyle(origins, WS_VSCROLL));
    EXPECT_FALSE(HasStyle(origins, WS_HSCROLL));
    Commit(origins, "^a$\r^b$\r^c$\r^d$\r^e$");
    EXPECT_TRUE(HasStyle(origins, WS_VSCROLL));
    EXPECT_FALSE(HasStyle(origins, WS_HSCROLL));
    Commit(origins, "^https?://a-rather-long-host-name\\.example\\.org(:[0-9]+)?$");
    EXPECT_TRUE(HasStyle(origins, WS_HSCROLL));
    EXPECT_FALSE(HasStyle(origins, WS_VSCROLL));
}

TEST_F(Win32SettingsWindowTest, ASecondClickWhileOpenOpensNoSecondWindowAndTheStopClosesIt) {
    ASSERT_EQ(StartPlugin(), 0);
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    Driver->SelectMenuItem(0, SettingsMenu);
    Settle();
    EXPECT_EQ(CountWindows(Title), 1);

    EXPECT_LT(TimedStop(), std::chrono::seconds(1));
    EXPECT_EQ(CountWindows(Title), 0) << "closed, and its thread joined, by the time the stop returns";
    EXPECT_NE(ReadFile(Folder.SettingsFile()).find("Is3dEnabled"), std::string::npos);
}

} // namespace
} // namespace Tralvonic::Test
