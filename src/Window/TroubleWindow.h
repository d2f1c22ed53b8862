#pragma once
// The troubleshooting window's checks, apart from its widgets: one run writes a line per
// finding for the user's current tab, from the configuration down to the whisper permissions,
// which it asks the server for. Their answer comes back on host threads through the three
// permission callback lists; the entries are stored there, the end and a refusal are handed to
// the window's thread and waited for.
//
// Owned by its window (a shared_ptr); the handlers hold it weakly, so handlers that are still
// registered, or still running, when the window has closed touch nothing of it.

#include "plugin/CallbackList.h"
#include "plugin/PermissionEventArgs.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace Tralvonic {

struct PermissionEvents {
    CallbackList<PermissionOverviewEventArgs>& Overview;
    CallbackList<>& OverviewFinished;
    CallbackList<PermissionErrorEventArgs>& Error;
};

// What the checks do to the window's controls; called on the window's thread.
struct TroubleOutput {
    std::function<void(const std::string& line)> AddLine;
    std::function<void()> ClearLog;
    std::function<void(bool enabled)> SetStartEnabled;
};

class TroubleWindow : public std::enable_shared_from_this<TroubleWindow> {
public:
    static constexpr std::string_view Title = "Troubleshooting - Tralvonic";
    static constexpr std::string_view WhisperPowerPermission = "i_client_whisper_power";
    static constexpr std::string_view NeededWhisperPowerPermission = "i_client_needed_whisper_power";
    // The return code of the permission request, by which its refusal is known.
    static constexpr std::string_view ReturnCode = "TroubleWindow";

    // Runs `work` on the window's thread and returns once it has run (or never will).
    using ToWindowThread = std::function<void(std::function<void()> work)>;

    static std::shared_ptr<TroubleWindow> Create(PermissionEvents events, ToWindowThread toWindowThread,
                                                 TroubleOutput output);
    ~TroubleWindow();
    TroubleWindow(const TroubleWindow&) = delete;
    TroubleWindow& operator=(const TroubleWindow&) = delete;

    // StartButton, and the run at construction: the button stays disabled while the answer
    // to the permission request is outstanding.
    void OnStartClicked();
    bool IsWaitingForPermissions() const { return _waiting; }

private:
    // Written by the overview entries on a host thread, only ever raised; -1 is none yet.
    struct Powers {
        std::atomic<std::uint32_t> WhisperPowerId{0};
        std::atomic<std::uint32_t> NeededWhisperPowerId{0};
        std::atomic<std::int32_t> WhisperPower{-1};
        std::atomic<std::int32_t> NeededWhisperPower{-1};
    };

    TroubleWindow(PermissionEvents events, ToWindowThread toWindowThread, TroubleOutput output);

    void RunChecks();
    void AddLine(const std::string& line) const;
    void Clear();
    void Subscribe();
    void Unsubscribe();
    void OnOverviewFinished();
    void OnPermissionError(const PermissionErrorEventArgs& error);

    PermissionEvents _events;
    ToWindowThread _toWindowThread;
    TroubleOutput _output;
    std::shared_ptr<Powers> _powers = std::make_shared<Powers>();
    bool _waiting = false;
    CallbackList<PermissionOverviewEventArgs>::Subscription _overviewSubscription = 0;
    CallbackList<>::Subscription _finishedSubscription = 0;
    CallbackList<PermissionErrorEventArgs>::Subscription _errorSubscription = 0;
};

} // namespace Tralvonic
