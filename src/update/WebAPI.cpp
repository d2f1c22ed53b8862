#include "update/WebAPI.h"

#include "core/Base.h"
#include "core/ConfigurationJson.h"
#include "core/LastResort.h"
#include "core/Logger.h"
#include "core/Platform.h"
#include "update/HttpClient.h"

#include <boost/describe/enum_to_string.hpp>

#include <chrono>
#include <mutex>
#include <utility>

#ifndef TRALVONIC_UPDATE_SERVICE
#error "TRALVONIC_UPDATE_SERVICE names the update service (scheme and host); the build sets it."
#endif

namespace Tralvonic {

namespace {

constexpr std::string_view BuiltInServiceAddress = TRALVONIC_UPDATE_SERVICE;
constexpr std::string_view BasePath = "/tralvonic";
constexpr std::chrono::seconds RequestTimeout{40};

std::mutex serviceMutex;
std::string serviceAddress; // guarded by serviceMutex; empty for the built-in one

std::string WithoutTrailingSeparator(std::string address) {
    while (!address.empty() && address.back() == '/') {
        address.pop_back();
    }
    return address;
}

// Created on first use and shared by every request of the process.
const HttpClient& Client() {
    static const HttpClient client("Tralvonic " + std::string(Base::Version), RequestTimeout);
    return client;
}

std::string ServiceBase() {
    return WebAPI::ServiceAddress() + std::string(BasePath);
}

// Percent-encodes everything but the unreserved characters, so that whatever the service
// sent stays one segment of the download path.
std::string PathSegment(std::string_view text) {
    constexpr char Hex[] = "0123456789ABCDEF";
    std::string segment;
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                                byte == '~';
        if (unreserved) {
            segment += character;
        } else {
            segment += '%';
            segment += Hex[byte >> 4];
            segment += Hex[byte & 0x0F];
        }
    }
    return segment;
}

} // namespace

std::optional<std::string> WebAPI::GetVersionAsync(std::stop_token stop) {
    const std::string branch = BranchName(Base::CurrentConfiguration()->UpdateBranch);
    const std::string address =
        ServiceBase() + "/api/v2/version/" + branch + "/" + std::string(Base::Version);
    HttpResponse response;
    try {
        response = Client().Get(address, std::move(stop));
    } catch (...) {
        response.Error = DescribeCurrentException();
    }
    switch (response.Result) {
    case HttpResponse::Outcome::Answered:
        if (response.Status >= 200 && response.Status <= 299) {
            return std::move(response.Body);
        }
        return std::nullopt;
    case HttpResponse::Outcome::Failed:
        Logger::LogError(
            {"Couldn't fetch latest version from " + ServiceHostName() + " API:", response.Error},
            LogChannel::Base);
        return std::nullopt;
    case HttpResponse::Outcome::Stopped:
        // The plugin is stopping; that is no failure of the service.
        return std::nullopt;
    }
    return std::nullopt;
}

void WebAPI::OpenDownload(std::string_view version) {
    Platform::Current().OpenAddress(ServiceBase() + "/download/" + PathSegment(version));
}

std::string WebAPI::ServiceAddress() {
    {
        std::lock_guard lock(serviceMutex);
        if (!serviceAddress.empty()) {
            return serviceAddress;
        }
    }
    return WithoutTrailingSeparator(std::string(BuiltInServiceAddress));
}

void WebAPI::SetServiceAddress(std::string address) {
    address = WithoutTrailingSeparator(std::move(address));
    std::lock_guard lock(serviceMutex);
    serviceAddress = std::move(address);
}

std::string WebAPI::ServiceHostName() {
    return HttpClient::HostName(ServiceAddress());
}

std::string WebAPI::BranchName(UpdateBranch branch) {
    if (const char* name = boost::describe::enum_to_string(branch, nullptr)) {
        return name;
    }
    return std::to_string(static_cast<int>(branch));
}

} // namespace Tralvonic
