#include "instance/InstanceThread.h"

#include "core/LastResort.h"

#include <utility>

namespace Tralvonic {

void InstanceThread::Start(std::function<void()> body) {
    std::lock_guard lock(_mutex);
    if (_thread.joinable()) {
        return;
    }
    _thread = std::thread([body = std::move(body)] { RunGuarded(body); });
}

void InstanceThread::Join() {
    std::lock_guard lock(_mutex);
    if (!_thread.joinable()) {
        return;
    }
    if (_thread.get_id() == std::this_thread::get_id()) {
        // Only when the instance ends on its own thread; the thread is past its loop then.
        _thread.detach();
        return;
    }
    _thread.join();
}

} // namespace Tralvonic
