#include "core/LastResort.h"

#include "core/Logger.h"

#include <cxxabi.h>

#include <atomic>
#include <cstdlib>
#include <exception>
#include <memory>
#include <typeinfo>

namespace Tralvonic {

namespace {

std::atomic<std::terminate_handler> previousHandler{nullptr};

[[noreturn]] void LogAndTerminate() {
    if (std::current_exception()) {
        try {
            Logger::LogError(DescribeCurrentException(), LogChannel::Base);
        } catch (...) {
            // Logging itself failed; nothing is left to report it to.
        }
    }
    if (std::terminate_handler previous = previousHandler.load()) {
        previous();
    }
    std::abort();
}

std::string TypeName(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
    return status == 0 && demangled ? demangled.get() : type.name();
}

} // namespace

void InstallLastResortHandler() {
    std::terminate_handler previous = std::set_terminate(LogAndTerminate);
    if (previous != LogAndTerminate) {
        previousHandler.store(previous);
    }
}

void RemoveLastResortHandler() {
    if (std::get_terminate() != LogAndTerminate) {
        return;
    }
    if (std::terminate_handler previous = previousHandler.exchange(nullptr)) {
        std::set_terminate(previous);
    }
}

std::string DescribeCurrentException() {
    try {
        throw;
    } catch (const std::exception& error) {
        return TypeName(typeid(error)) + ": " + error.what();
    } catch (...) {
        return "unknown exception";
    }
}

void RunGuarded(const std::function<void()>& body) noexcept {
    try {
        body();
    } catch (...) {
        try {
            Logger::LogError(DescribeCurrentException(), LogChannel::Base);
        } catch (...) {
            // Logging itself failed; nothing is left to report it to.
        }
    }
}

} // namespace Tralvonic
