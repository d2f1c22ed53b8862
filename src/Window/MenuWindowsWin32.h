#pragma once
// The plugin's menu windows on Windows. Base runs each on a thread of its own; in ShowModal
// that thread becomes a single-threaded apartment, makes the window and runs its message loop
// until the window has closed. Close posts to the window from any thread, and the permission
// answers that the troubleshooting window waits for are handed to its thread the same way.

#include "Window/TroubleWindow.h"
#include "core/MenuWindow.h"

#include <memory>

namespace Tralvonic {

class Win32MenuWindowFactory final : public MenuWindowFactory {
public:
    // The troubleshooting window listens to these permission events.
    explicit Win32MenuWindowFactory(PermissionEvents events) : _events(events) {}

    // Null once the plugin's stop has begun.
    std::shared_ptr<IMenuWindow> Create(MenuWindow kind) override;

private:
    PermissionEvents _events;
};

} // namespace Tralvonic
