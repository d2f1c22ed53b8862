#pragma once
// The plugin's menu windows as the core sees them. Base runs each on a window thread of its
// own, which only waits: the widgets live on the GUI thread (GuiThread), where the window is
// made, shown and, when the user or the stop closes it, deleted.

#include "Window/TroubleWindow.h"
#include "core/MenuWindow.h"

#include <memory>

namespace Tralvonic {

class QtMenuWindowFactory final : public MenuWindowFactory {
public:
    // The troubleshooting window listens to these permission events.
    explicit QtMenuWindowFactory(PermissionEvents events) : _events(events) {}

    // Null, logged, when no window can be shown (no host application and no display).
    std::shared_ptr<IMenuWindow> Create(MenuWindow kind) override;

private:
    PermissionEvents _events;
};

} // namespace Tralvonic
