#pragma once
// The two windows of the plugin menu, seen by the plugin core only through these
// interfaces: Base opens each kind on a thread of its own, at most one per kind, and
// closes them at the stop. The windows themselves come from a factory installed on Base,
// so that the core does not depend on a toolkit and tests can supply their own.

#include <cstdint>
#include <functional>
#include <memory>

namespace Tralvonic {

enum class MenuWindow : std::int32_t { Settings = 0, Troubleshooting = 1 };

class IMenuWindow {
public:
    virtual ~IMenuWindow() = default;

    // Set once, before ShowModal. The window calls it when it has closed, on whatever thread
    // closes it.
    virtual void SetClosedCallback(std::function<void()> closed) = 0;
    // Shows the window and returns once it has closed. Runs on the window's own thread.
    virtual void ShowModal() = 0;
    // Asks the window to close; ShowModal then returns soon. Any thread, including the
    // host's, which may wait for ShowModal to return: closing must not need that thread.
    // A Close that comes before ShowModal makes ShowModal return at once.
    virtual void Close() = 0;
};

class MenuWindowFactory {
public:
    virtual ~MenuWindowFactory() = default;

    // A new, not yet shown window of that kind; called on the window's own thread.
    virtual std::shared_ptr<IMenuWindow> Create(MenuWindow kind) = 0;
};

} // namespace Tralvonic
