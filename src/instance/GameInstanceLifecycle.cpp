#include "instance/GameInstance.h"

namespace Tralvonic {

void GameInstance::StopThread(std::thread& thread) {
    // Both loops look at the reset flag every 10 ms, so joining never waits long; a thread
    // never joins itself.
    if (thread.joinable() && thread.get_id() != std::this_thread::get_id()) {
        thread.join();
    }
}

} // namespace Tralvonic
