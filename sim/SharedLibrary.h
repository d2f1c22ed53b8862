#pragma once
// A shared library as the simulated client loads a plugin: opened once, its symbols looked up
// by name, closed when the object goes. dlopen on Linux (SharedLibraryPosix.cpp), LoadLibraryW
// on Windows (SharedLibraryWin32.cpp).

#include <string>

namespace Tralvonic::Sim {

class SharedLibrary {
public:
    // Throws std::runtime_error with the loader's reason when the file cannot be loaded.
    explicit SharedLibrary(const std::string& path);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The exported symbol's address, or nullptr.
    void* Symbol(const char* name) const;

private:
    void* _handle = nullptr;
};

} // namespace Tralvonic::Sim
