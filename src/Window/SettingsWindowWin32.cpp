#include "Window/SettingsWindowWin32.h"

#include <algorithm>
#include <string>
#include <vector>

namespace Tralvonic {

namespace {

constexpr int ControlWidth = 140;
constexpr int ControlHeight = 26;
constexpr int OriginRows = 3;
// How far the dropped list of a drop-down reaches; the control itself stays ControlHeight.
constexpr int DroppedListHeight = 200;
constexpr int CheckBoxRoom = 4;

enum class RowKind { CheckBox, DropDown, LineBox, LinesBox };

template <typename Names> std::vector<std::string> Strings(const Names& names) {
    return {names.begin(), names.end()};
}

bool IsChecked(HWND checkBox) {
    return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND checkBox, bool checked) {
    SendMessageW(checkBox, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

StereoControl StereoControlOf(SettingsControl id) {
    switch (id) {
    case SettingsControl::PrimaryRadioBox:
        return StereoControl::PrimaryRadio;
    case SettingsControl::SecondaryRadioBox:
        return StereoControl::SecondaryRadio;
    default:
        return StereoControl::Phone;
    }
}

} // namespace

struct Win32SettingsView::Row {
    std::wstring_view Label;
    SettingsControl Id;
    RowKind Kind;
};

SIZE Win32SettingsView::Build(HWND window) {
    _window = window;
    _fonts = std::make_unique<Win32Fonts>();
    const Win32Fonts& fonts = *_fonts;
    const int margin = fonts.Scale(WindowMargin);

    int audioRight = 0;
    const int audioBottom =
        BuildSection(L"Audio Options",
                     {{L"3D Voice", SettingsControl::Audio3dCheckBox, RowKind::CheckBox},
                      {L"Phone", SettingsControl::PhoneAudioBox, RowKind::DropDown},
                      {L"Primary Radio", SettingsControl::PrimaryRadioBox, RowKind::DropDown},
                      {L"Secondary Radio", SettingsControl::SecondaryRadioBox, RowKind::DropDown},
                      {L"Mic Click", SettingsControl::MicClickBox, RowKind::DropDown}},
                     margin, margin, audioRight);
    int pluginRight = 0;
    const int pluginBottom =
        BuildSection(L"Plugin Options",
                     {{L"Expert Mode", SettingsControl::ExpertModeBox, RowKind::CheckBox},
                      {L"Update Branch", SettingsControl::UpdateBranchBox, RowKind::DropDown},
                      {L"Log Level", SettingsControl::LogLevelBox, RowKind::DropDown},
                      {L"WebSocket Address", SettingsControl::WebSocketAddressBox, RowKind::LineBox},
                      {L"Origin Exceptions", SettingsControl::OriginExceptionBox, RowKind::LinesBox}},
                     audioRight + margin, margin, pluginRight);

    const int buttonTop = std::max(audioBottom, pluginBottom) + fonts.Scale(ColumnSpacing);
    const HWND reset = MakeButton(window, static_cast<int>(SettingsControl::ResetButton), L"Reset",
                                  pluginRight, buttonTop, fonts);
    RECT resetBounds{};
    GetWindowRect(reset, &resetBounds);
    Reload();
    return {pluginRight + margin, buttonTop + (resetBounds.bottom - resetBounds.top) + margin};
}

// A bold heading over a column of labels and a column of controls; returns the bottom and
// gives the right edge.
int Win32SettingsView::BuildSection(std::wstring_view heading, std::initializer_list<Row> rows, int left,
                                    int top, int& right) {
    const Win32Fonts& fonts = *_fonts;
    int labelWidth = 0;
    for (const Row& row : rows) {
        labelWidth = std::max(labelWidth, static_cast<int>(fonts.Measure(fonts.Text(), row.Label).cx));
    }
    const int controlLeft = left + labelWidth + fonts.Scale(ColumnSpacing);
    const int width = fonts.Scale(ControlWidth);
    const int height = fonts.Scale(ControlHeight);
    int y = top + MakeHeading(_window, heading, left, top, fonts) + fonts.Scale(RowSpacing);
    right = controlLeft + width;
    for (const Row& row : rows) {
        const int id = static_cast<int>(row.Id);
        int rowHeight = height;
        int labelHeight = height;
        switch (row.Kind) {
        case RowKind::CheckBox:
            MakeControl(_window, id, L"BUTTON", L"", WS_TABSTOP | BS_AUTOCHECKBOX, 0,
                        {controlLeft, y,
                         controlLeft + GetSystemMetrics(SM_CXMENUCHECK) + fonts.Scale(CheckBoxRoom),
                         y + height},
                        fonts.Text());
            break;
        case RowKind::DropDown:
            SetDropDownHeight(
                MakeControl(_window, id, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                            {controlLeft, y, controlLeft + width, y + fonts.Scale(DroppedListHeight)},
                            fonts.Text()),
                height);
            break;
        case RowKind::LineBox:
            MakeControl(_window, id, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                        {controlLeft, y, controlLeft + width, y + height}, fonts.Text());
            break;
        case RowKind::LinesBox: {
            const HWND box = MakeControl(_window, id, L"EDIT", L"",
                                         WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_WANTRETURN |
                                             ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                         WS_EX_CLIENTEDGE, {controlLeft, y, controlLeft + width, y + height},
                                         fonts.Text());
            rowHeight = TextBoxHeightForRows(box, OriginRows, fonts);
            // Level with the box's first line rather than its middle.
            const int lineHeight = fonts.LineHeight(fonts.Text());
            labelHeight = rowHeight - (OriginRows - 1) * lineHeight;
            break;
        }
        }
        MakeControl(_window, 0, L"STATIC", row.Label, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0,
                    {left, y, left + labelWidth, y + labelHeight}, fonts.Text());
        y += rowHeight + fonts.Scale(RowSpacing);
    }
    return y - fonts.Scale(RowSpacing);
}

HWND Win32SettingsView::Control(SettingsControl id) const {
    return GetDlgItem(_window, static_cast<int>(id));
}

void Win32SettingsView::Reload() {
    _logic.BeginLoad();
    const SettingsView view = SettingsWindow::Load();
    SetChecked(Control(SettingsControl::Audio3dCheckBox), view.Audio3d);
    const auto stereoNames = Strings(SettingsWindow::StereoNames);
    FillDropDown(Control(SettingsControl::PhoneAudioBox), stereoNames, view.PhoneAudio);
    FillDropDown(Control(SettingsControl::PrimaryRadioBox), stereoNames, view.PrimaryRadio);
    FillDropDown(Control(SettingsControl::SecondaryRadioBox), stereoNames, view.SecondaryRadio);
    FillDropDown(Control(SettingsControl::MicClickBox), Strings(SettingsWindow::MicClickNames),
                 view.MicClick);
    FillDropDown(Control(SettingsControl::LogLevelBox), Strings(SettingsWindow::LogLevelNames),
                 view.LogLevel);
    SetControlText(Control(SettingsControl::WebSocketAddressBox), view.WebSocketAddress);
    const HWND origins = Control(SettingsControl::OriginExceptionBox);
    SetControlText(origins, view.OriginExceptions);
    SetChecked(Control(SettingsControl::ExpertModeBox), view.ExpertMode);
    FillDropDown(Control(SettingsControl::UpdateBranchBox), view.UpdateBranchItems, view.UpdateBranch);
    for (const SettingsControl expert : {SettingsControl::LogLevelBox, SettingsControl::WebSocketAddressBox,
                                         SettingsControl::OriginExceptionBox}) {
        EnableWindow(Control(expert), view.ExpertControlsEnabled ? TRUE : FALSE);
    }
    ShowNeededScrollBars(origins, *_fonts);
    _logic.EndLoad();
}

void Win32SettingsView::OnCommand(HWND control, int id, int code) {
    switch (static_cast<SettingsControl>(id)) {
    case SettingsControl::Audio3dCheckBox:
        if (code == BN_CLICKED) {
            _logic.OnAudio3dChanged(IsChecked(control));
        }
        break;
    case SettingsControl::PhoneAudioBox:
    case SettingsControl::PrimaryRadioBox:
    case SettingsControl::SecondaryRadioBox:
        if (code == CBN_SELCHANGE) {
            _logic.OnStereoChanged(StereoControlOf(static_cast<SettingsControl>(id)), SelectedText(control));
        }
        break;
    case SettingsControl::MicClickBox:
        if (code == CBN_SELCHANGE) {
            _logic.OnMicClickChanged(SelectedText(control));
        }
        break;
    case SettingsControl::UpdateBranchBox:
        if (code == CBN_SELCHANGE) {
            _logic.OnUpdateBranchChanged(SelectedText(control));
        }
        break;
    case SettingsControl::LogLevelBox:
        if (code == CBN_SELCHANGE) {
            _logic.OnLogLevelChanged(SelectedText(control));
        }
        break;
    case SettingsControl::WebSocketAddressBox:
        if (code == EN_KILLFOCUS) {
            _logic.OnWebSocketAddressCommitted(ControlText(control));
        }
        break;
    case SettingsControl::OriginExceptionBox:
        if (code == EN_KILLFOCUS) {
            _logic.OnOriginExceptionsCommitted(ControlText(control));
        } else if (code == EN_CHANGE) {
            ShowNeededScrollBars(control, *_fonts);
        }
        break;
    case SettingsControl::ExpertModeBox:
        if (code == BN_CLICKED && _logic.OnExpertModeChanged(IsChecked(control))) {
            Reload();
        }
        break;
    case SettingsControl::ResetButton:
        if (code == BN_CLICKED && _logic.OnResetClicked()) {
            Reload();
        }
        break;
    }
}

void Win32SettingsView::OnClosing() {
    const HWND focus = GetFocus();
    if (focus == Control(SettingsControl::WebSocketAddressBox) ||
        focus == Control(SettingsControl::OriginExceptionBox)) {
        SetFocus(_window);
    }
}

} // namespace Tralvonic
