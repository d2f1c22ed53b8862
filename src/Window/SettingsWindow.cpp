#include "Window/SettingsWindow.h"

#include "core/Base.h"

#include <functional>
#include <optional>
#include <utility>

namespace Tralvonic {

namespace {

constexpr std::array<StereoMode, 3> StereoModes{StereoMode::LeftOnly, StereoMode::RightOnly,
                                                StereoMode::Stereo};
constexpr std::array<MicClickMode, 3> MicClickModes{MicClickMode::Always, MicClickMode::Never,
                                                    MicClickMode::ScriptDependent};

// The display name of an enumeration value, through the parallel tables above.
template <typename Value, std::size_t N>
std::string NameOf(Value value, const std::array<Value, N>& values,
                   const std::array<std::string_view, N>& names) {
    for (std::size_t i = 0; i < N; ++i) {
        if (values[i] == value) {
            return std::string(names[i]);
        }
    }
    return {};
}

template <typename Value, std::size_t N>
std::optional<Value> ValueOf(std::string_view name, const std::array<Value, N>& values,
                             const std::array<std::string_view, N>& names) {
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == name) {
            return values[i];
        }
    }
    return std::nullopt;
}

// Branches and levels are listed by their own names, in the order of their numbers.
template <typename Value, std::size_t N> std::array<Value, N> InNumberOrder() {
    std::array<Value, N> values{};
    for (std::size_t i = 0; i < N; ++i) {
        values[i] = static_cast<Value>(i);
    }
    return values;
}

const auto Branches = InNumberOrder<UpdateBranch, 3>();
const auto LogLevels = InNumberOrder<LogLevel, 6>();

void Change(const std::function<void(Configuration&)>& change) {
    Configuration configuration = *Base::CurrentConfiguration();
    change(configuration);
    Base::SetConfiguration(std::move(configuration));
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i != 0) {
            text += "\r\n";
        }
        text += lines[i];
    }
    return text;
}

} // namespace

SettingsView SettingsWindow::Load() {
    const auto configuration = Base::CurrentConfiguration();
    SettingsView view;
    view.Audio3d = configuration->Is3dEnabled;
    view.PhoneAudio = NameOf(configuration->PhoneOffset, StereoModes, StereoNames);
    view.PrimaryRadio = NameOf(configuration->RadioOffset, StereoModes, StereoNames);
    view.SecondaryRadio = NameOf(configuration->SecondaryRadioOffset, StereoModes, StereoNames);
    view.MicClick = NameOf(configuration->MicClickMode, MicClickModes, MicClickNames);
    view.LogLevel = NameOf(configuration->LogLevel, LogLevels, LogLevelNames);
    view.WebSocketAddress = configuration->WebSocketAddress;
    view.OriginExceptions = JoinLines(configuration->OriginExceptions);
    view.ExpertMode = configuration->ExpertMode;
    const bool allBranches =
        configuration->ExpertMode || configuration->UpdateBranch == UpdateBranch::Preview;
    for (std::size_t i = 0; i < BranchNames.size(); ++i) {
        if (allBranches || Branches[i] != UpdateBranch::Preview) {
            view.UpdateBranchItems.emplace_back(BranchNames[i]);
        }
    }
    view.ExpertControlsEnabled = configuration->ExpertMode;
    view.UpdateBranch = NameOf(configuration->UpdateBranch, Branches, BranchNames);
    return view;
}

void SettingsWindow::OnAudio3dChanged(bool checked) {
    if (_loading) {
        return;
    }
    Change([&](Configuration& configuration) { configuration.Is3dEnabled = checked; });
}

void SettingsWindow::OnStereoChanged(StereoControl control, std::string_view text) {
    if (_loading) {
        return;
    }
    const auto mode = ValueOf(text, StereoModes, StereoNames);
    if (!mode) {
        return;
    }
    Change([&](Configuration& configuration) {
        switch (control) {
        case StereoControl::Phone:
            configuration.PhoneOffset = *mode;
            break;
        case StereoControl::PrimaryRadio:
            configuration.RadioOffset = *mode;
            break;
        case StereoControl::SecondaryRadio:
            configuration.SecondaryRadioOffset = *mode;
            break;
        }
    });
}

void SettingsWindow::OnMicClickChanged(std::string_view text) {
    if (_loading) {
        return;
    }
    if (const auto mode = ValueOf(text, MicClickModes, MicClickNames)) {
        Change([&](Configuration& configuration) { configuration.MicClickMode = *mode; });
    }
}

void SettingsWindow::OnUpdateBranchChanged(std::string_view text) {
    if (_loading) {
        return;
    }
    if (const auto branch = ValueOf(text, Branches, BranchNames)) {
        Change([&](Configuration& configuration) { configuration.UpdateBranch = *branch; });
    }
}

void SettingsWindow::OnLogLevelChanged(std::string_view text) {
    if (_loading) {
        return;
    }
    if (const auto level = ValueOf(text, LogLevels, LogLevelNames)) {
        Change([&](Configuration& configuration) { configuration.LogLevel = *level; });
    }
}

void SettingsWindow::OnWebSocketAddressCommitted(std::string_view text) {
    if (_loading) {
        return;
    }
    Change([&](Configuration& configuration) { configuration.WebSocketAddress = std::string(text); });
}

void SettingsWindow::OnOriginExceptionsCommitted(std::string_view text) {
    if (_loading) {
        return;
    }
    Change([&](Configuration& configuration) { configuration.OriginExceptions = SplitLines(text); });
}

bool SettingsWindow::OnExpertModeChanged(bool checked) {
    if (_loading) {
        return false;
    }
    Change([&](Configuration& configuration) {
        configuration.ExpertMode = checked;
        configuration.ValidateExpertMode();
    });
    return true;
}

bool SettingsWindow::OnResetClicked() {
    if (_loading) {
        return false;
    }
    Base::ResetConfiguration();
    return true;
}

std::vector<std::string> SettingsWindow::SplitLines(std::string_view text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char character = text[i];
        if (character == '\r' || character == '\n') {
            if (character == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            lines.emplace_back();
        } else {
            lines.back() += character;
        }
    }
    return lines;
}

} // namespace Tralvonic
