#include "core/Base.h"

#include "core/LastResort.h"
#include "core/Logger.h"
#include "core/MenuWindow.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

// Each kind of window has two slots: the thread slot, set from the click until the window
// has closed, and the window slot, set while the window exists. A window thread is never
// abandoned: when its window closes, the thread moves to a list of ended threads, which a
// later click joins once they have finished and the stop joins in any case, so that no
// window thread outlives the plugin's stop.

namespace Tralvonic {

namespace {

constexpr std::size_t WindowKinds = 2;

struct WindowThread {
    std::thread Handle;
    // Set as the thread's very last step: joining it then never waits.
    std::shared_ptr<std::atomic<bool>> Done;
};

struct WindowSlot {
    WindowThread Thread;
    std::shared_ptr<IMenuWindow> Window;
    // The stop is closing the windows: no window of this kind may open or show.
    bool Closing = false;
};

struct WindowState {
    std::mutex Mutex;
    std::shared_ptr<MenuWindowFactory> Factory;  // guarded by Mutex
    std::array<WindowSlot, WindowKinds> Slots{}; // guarded by Mutex
    std::vector<WindowThread> Ended;             // guarded by Mutex; closed, not yet joined
};

WindowState& State() {
    static WindowState state;
    return state;
}

bool IsKnown(MenuWindow kind) {
    return static_cast<std::size_t>(kind) < WindowKinds;
}

WindowSlot& SlotOf(WindowState& state, MenuWindow kind) {
    return state.Slots[static_cast<std::size_t>(kind)];
}

std::string_view KindName(MenuWindow kind) {
    return kind == MenuWindow::Settings ? "Settings" : "Troubleshooting";
}

// Under the mutex: moves the slot's thread to the ended ones and empties both slots.
void ReleaseSlotLocked(WindowState& state, WindowSlot& slot) {
    slot.Window.reset();
    if (slot.Thread.Handle.joinable()) {
        state.Ended.push_back(std::move(slot.Thread));
    }
    slot.Thread = {};
}

std::vector<WindowThread> TakeFinishedLocked(WindowState& state) {
    std::vector<WindowThread> finished;
    std::erase_if(state.Ended, [&](WindowThread& thread) {
        if (!thread.Done->load()) {
            return false;
        }
        finished.push_back(std::move(thread));
        return true;
    });
    return finished;
}

void Join(std::vector<WindowThread>& threads) {
    for (WindowThread& thread : threads) {
        if (!thread.Handle.joinable()) {
            continue;
        }
        // A window that stops the plugin from its own thread cannot wait for itself.
        if (thread.Handle.get_id() == std::this_thread::get_id()) {
            thread.Handle.detach();
        } else {
            thread.Handle.join();
        }
    }
}

bool MayShow(MenuWindow kind) {
    auto& state = State();
    std::lock_guard lock(state.Mutex);
    const WindowSlot& slot = SlotOf(state, kind);
    return !slot.Window && !slot.Closing;
}

bool StoreWindow(MenuWindow kind, const std::shared_ptr<IMenuWindow>& window) {
    auto& state = State();
    std::lock_guard lock(state.Mutex);
    WindowSlot& slot = SlotOf(state, kind);
    if (slot.Window || slot.Closing) {
        return false;
    }
    slot.Window = window;
    return true;
}

// For a thread whose window never reported its close (it could not be made, or the stop
// came first): frees the slots it still holds, and only those.
void ReleaseOwnSlot(MenuWindow kind) {
    auto& state = State();
    std::lock_guard lock(state.Mutex);
    WindowSlot& slot = SlotOf(state, kind);
    if (slot.Thread.Handle.get_id() == std::this_thread::get_id()) {
        ReleaseSlotLocked(state, slot);
    }
}

void ShowWindow(MenuWindow kind, MenuWindowFactory& factory) {
    if (!MayShow(kind)) {
        return;
    }
    const std::shared_ptr<IMenuWindow> window = factory.Create(kind);
    if (!window) {
        return;
    }
    auto once = std::make_shared<std::once_flag>();
    auto closed = [kind, once] {
        std::call_once(*once, [kind] { Base::OnMenuWindowClosed(kind); });
    };
    // In place before the window is stored, where the stop may already close it.
    window->SetClosedCallback(closed);
    if (!StoreWindow(kind, window)) {
        return;
    }
    window->ShowModal();
    // A window that ends without reporting its close counts as closed all the same.
    closed();
}

void RunWindowThread(MenuWindow kind, std::shared_ptr<MenuWindowFactory> factory,
                     std::shared_ptr<std::atomic<bool>> done) {
    RunGuarded([&] { ShowWindow(kind, *factory); });
    RunGuarded([&] { ReleaseOwnSlot(kind); });
    done->store(true);
}

} // namespace

void Base::OpenMenuWindow(MenuWindow menuWindow) {
    if (!IsKnown(menuWindow)) {
        return;
    }
    auto& state = State();
    std::vector<WindowThread> finished;
    bool unavailable = false;
    {
        std::lock_guard lock(state.Mutex);
        finished = TakeFinishedLocked(state);
        WindowSlot& slot = SlotOf(state, menuWindow);
        if (slot.Thread.Handle.joinable() || slot.Window || slot.Closing) {
            // At most one window of each kind.
        } else if (!state.Factory) {
            unavailable = true;
        } else {
            // Started under the lock, so the thread slot is set before the window can close.
            auto done = std::make_shared<std::atomic<bool>>(false);
            slot.Thread = {std::thread(RunWindowThread, menuWindow, state.Factory, done), done};
        }
    }
    Join(finished);
    if (unavailable) {
        Logger::LogWarning(std::string(KindName(menuWindow)) + " window is not available", LogChannel::Base);
    }
}

void Base::OnMenuWindowClosed(MenuWindow menuWindow) {
    if (!IsKnown(menuWindow)) {
        return;
    }
    {
        auto& state = State();
        std::lock_guard lock(state.Mutex);
        ReleaseSlotLocked(state, SlotOf(state, menuWindow));
    }
    if (menuWindow == MenuWindow::Settings) {
        Configuration configuration = *CurrentConfiguration();
        configuration.ValidateExpertMode();
        SetConfiguration(std::move(configuration));
        SaveConfiguration();
    }
}

void Base::SetMenuWindowFactory(std::shared_ptr<MenuWindowFactory> factory) {
    auto& state = State();
    std::lock_guard lock(state.Mutex);
    state.Factory = std::move(factory);
}

void Base::CloseMenuWindows() {
    auto& state = State();
    std::vector<std::shared_ptr<IMenuWindow>> open;
    std::vector<WindowThread> threads;
    {
        std::lock_guard lock(state.Mutex);
        for (WindowSlot& slot : state.Slots) {
            slot.Closing = true;
            if (slot.Window) {
                open.push_back(slot.Window);
            }
            if (slot.Thread.Handle.joinable()) {
                threads.push_back(std::move(slot.Thread));
            }
            slot.Thread = {};
        }
        for (WindowThread& thread : state.Ended) {
            threads.push_back(std::move(thread));
        }
        state.Ended.clear();
    }
    for (const auto& window : open) {
        RunGuarded([&] { window->Close(); });
    }
    Join(threads);
    std::vector<WindowThread> late;
    {
        std::lock_guard lock(state.Mutex);
        for (WindowSlot& slot : state.Slots) {
            slot.Window.reset();
            slot.Closing = false;
        }
        late.swap(state.Ended);
    }
    Join(late);
}

} // namespace Tralvonic
