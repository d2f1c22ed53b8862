#include "ProgramPath.h"

namespace Tralvonic::Sim::Host {

std::filesystem::path ProgramDirectory() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : program.parent_path();
}

std::string PathText(const std::filesystem::path& path) {
    return path.string();
}

} // namespace Tralvonic::Sim::Host
