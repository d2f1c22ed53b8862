#include "update/HttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <utility>

// Each request runs on a multi handle of its own, driven by the calling thread in short
// polls with a look at the stop between them; the easy interface would only notice a stop in
// its progress callback, about once a second.

namespace Tralvonic {

namespace {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// An easy handle attached to a multi handle of its own; detached before either is freed.
class Transfer {
public:
    Transfer() : _easy(curl_easy_init()), _multi(curl_multi_init()) {
        if (!_easy || !_multi) {
            throw std::runtime_error("Could not create an HTTP transfer");
        }
    }
    ~Transfer() {
        if (_attached) {
            curl_multi_remove_handle(_multi.get(), _easy.get());
        }
    }
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    CURL* Easy() const { return _easy.get(); }
    CURLM* Multi() const { return _multi.get(); }
    CURLMcode Attach() {
        const CURLMcode code = curl_multi_add_handle(_multi.get(), _easy.get());
        _attached = code == CURLM_OK;
        return code;
    }

private:
    std::unique_ptr<CURL, EasyDeleter> _easy;
    std::unique_ptr<CURLM, MultiDeleter> _multi;
    bool _attached = false;
};

struct BodySink {
    std::string Body;
    bool TooLarge = false;
};

size_t AppendBody(char* data, size_t size, size_t count, void* sink) {
    auto& body = *static_cast<BodySink*>(sink);
    const size_t bytes = size * count;
    if (body.Body.size() + bytes > HttpClient::MaxBodyBytes) {
        body.TooLarge = true;
        return 0; // curl ends the transfer with a write error
    }
    body.Body.append(data, bytes);
    return bytes;
}

// The longest a stop waits for the transfer to notice it. The stop is looked at between
// polls rather than made to wake one through a std::stop_callback: MinGW's GCC 12 makes a
// callback's end wait for its run on the stopping thread through an atomic wait that can
// miss its wake-up, and the stop that woke the transfer could then keep this thread, and the
// plugin's stop that joins it, waiting for good.
constexpr std::chrono::milliseconds StopLookInterval{50};

// Drives the transfer until it has ended or the stop is requested. A poll sleeps until
// there is something to do, curl's own next timer is due, or it is time to look at the stop.
CURLMcode Run(CURLM* multi, std::chrono::milliseconds timeout, const std::stop_token& stop) {
    const auto pollFor = static_cast<int>(std::min(timeout, StopLookInterval).count());
    int running = 1;
    while (!stop.stop_requested()) {
        CURLMcode code = curl_multi_perform(multi, &running);
        if (code != CURLM_OK || running == 0) {
            return code;
        }
        code = curl_multi_poll(multi, nullptr, 0, pollFor, nullptr);
        if (code != CURLM_OK) {
            return code;
        }
    }
    return CURLM_OK;
}

CURLcode TransferResult(CURLM* multi) {
    int remaining = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &remaining)) {
        if (message->msg == CURLMSG_DONE) {
            return message->data.result;
        }
    }
    return CURLE_RECV_ERROR;
}

} // namespace

HttpClient::HttpClient(std::string userAgent, std::chrono::milliseconds timeout)
    : _userAgent(std::move(userAgent)), _timeout(timeout) {
    // libcurl's global state stays for the rest of the process: its cleanup is not
    // thread-safe, and other users of libcurl in the host may share it.
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

HttpResponse HttpClient::Get(const std::string& address, std::stop_token stop) const {
    HttpResponse response;
    if (stop.stop_requested()) {
        response.Result = HttpResponse::Outcome::Stopped;
        return response;
    }
    // Both outlive the handle that writes into them.
    BodySink sink;
    char errorText[CURL_ERROR_SIZE] = {};
    Transfer transfer;
    CURL* easy = transfer.Easy();
    curl_easy_setopt(easy, CURLOPT_URL, address.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(_timeout.count()));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, _userAgent.c_str());
    // Signals belong to the host; the time-out must not use SIGALRM on a background thread.
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, AppendBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &sink);

    CURLMcode multiCode = transfer.Attach();
    if (multiCode == CURLM_OK) {
        multiCode = Run(transfer.Multi(), _timeout, stop);
    }
    if (stop.stop_requested()) {
        response.Result = HttpResponse::Outcome::Stopped;
        return response;
    }
    if (multiCode != CURLM_OK) {
        response.Error = curl_multi_strerror(multiCode);
        return response;
    }
    const CURLcode code = TransferResult(transfer.Multi());
    if (sink.TooLarge) {
        response.Error = "The answer is larger than " + std::to_string(MaxBodyBytes) + " bytes";
        return response;
    }
    if (code != CURLE_OK) {
        response.Error = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
        return response;
    }
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &response.Status);
    response.Body = std::move(sink.Body);
    response.Result = HttpResponse::Outcome::Answered;
    return response;
}

std::string HttpClient::HostName(const std::string& address) {
    std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    char* host = nullptr;
    if (!url || curl_url_set(url.get(), CURLUPART_URL, address.c_str(), 0) != CURLUE_OK ||
        curl_url_get(url.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK) {
        return address;
    }
    std::string name = host;
    curl_free(host);
    return name;
}

} // namespace Tralvonic
