#include "SharedLibrary.h"

#include <dlfcn.h>

#include <stdexcept>

namespace Tralvonic::Sim {

SharedLibrary::SharedLibrary(const std::string& path) : _handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    if (_handle == nullptr) {
        const char* error = dlerror();
        throw std::runtime_error("cannot load " + path + ": " + (error != nullptr ? error : "unknown error"));
    }
}

SharedLibrary::~SharedLibrary() {
    dlclose(_handle);
}

void* SharedLibrary::Symbol(const char* name) const {
    return dlsym(_handle, name);
}

} // namespace Tralvonic::Sim
