#include "link/OriginFilter.h"

#include "Model/Text.h"
#include "core/Base.h"
#include "core/Logger.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <array>
#include <cstdint>

namespace Tralvonic {

namespace {

// Origins are short; a legitimate pattern needs a few hundred steps. The limits only
// have to stop a pattern with catastrophic backtracking long before a thread notices.
constexpr std::uint32_t MatchLimitSteps = 100000;
constexpr std::uint32_t HeapLimitKiB = 1024;
// Patterns change only when the user edits the settings; a bound keeps edits from
// accumulating compiled code for ever.
constexpr std::size_t MaxCachedPatterns = 64;

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        std::uint32_t codePoint = 0;
        std::uint32_t minimum = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2, codePoint = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, codePoint = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, codePoint = lead & 0x07, minimum = 0x10000;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string ErrorText(int errorCode) {
    std::array<PCRE2_UCHAR, 256> buffer{};
    const int length = pcre2_get_error_message(errorCode, buffer.data(), buffer.size());
    if (length < 0)
        return "error " + std::to_string(errorCode);
    return std::string(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(length));
}

} // namespace

// One compiled pattern with its own match limits; immutable once built, so any number of
// threads may search with it at once (each with its own match data).
class OriginFilter::CompiledPattern {
public:
    explicit CompiledPattern(const std::string& pattern) {
        int errorCode = 0;
        PCRE2_SIZE errorOffset = 0;
        _code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                              PCRE2_UTF | PCRE2_MATCH_INVALID_UTF, &errorCode, &errorOffset, nullptr);
        if (_code == nullptr) {
            _error = ErrorText(errorCode) + " at offset " + std::to_string(errorOffset);
            return;
        }
        // Without JIT support the interpreter runs the same pattern, only slower.
        pcre2_jit_compile(_code, PCRE2_JIT_COMPLETE);
        _context = pcre2_match_context_create(nullptr);
        if (_context != nullptr) {
            pcre2_set_match_limit(_context, MatchLimitSteps);
            pcre2_set_heap_limit(_context, HeapLimitKiB);
        }
    }

    ~CompiledPattern() {
        pcre2_match_context_free(_context);
        pcre2_code_free(_code);
    }

    CompiledPattern(const CompiledPattern&) = delete;
    CompiledPattern& operator=(const CompiledPattern&) = delete;

    bool IsValid() const { return _code != nullptr && _context != nullptr; }
    const std::string& Error() const { return _error; }

    // > 0 match, 0 no match, < 0 the search gave up (limit reached or out of memory).
    int Search(std::string_view subject) const {
        pcre2_match_data* matchData = pcre2_match_data_create_from_pattern(_code, nullptr);
        if (matchData == nullptr)
            return -1;
        const int result = pcre2_match(_code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0,
                                       0, matchData, _context);
        pcre2_match_data_free(matchData);
        if (result >= 0)
            return 1;
        return result == PCRE2_ERROR_NOMATCH ? 0 : -1;
    }

private:
    pcre2_code* _code = nullptr;
    pcre2_match_context* _context = nullptr;
    std::string _error = "out of memory";
};

OriginFilter::OriginFilter() = default;
OriginFilter::~OriginFilter() = default;

bool OriginFilter::IsAllowed(const std::optional<std::string>& origin) {
    const auto configuration = Base::CurrentConfiguration();
    return IsAllowed(origin, configuration->OriginExceptions);
}

bool OriginFilter::IsAllowed(const std::optional<std::string>& origin,
                             const std::vector<std::string>& patterns) {
    if (!origin.has_value() || IsBlank(*origin))
        return true;
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const std::string& pattern) { return Matches(pattern, *origin); });
}

bool OriginFilter::Matches(const std::string& pattern, std::string_view origin) {
    // Invalid sequences would only be skipped by the engine, letting a pattern match the
    // valid rest; an origin that is not text is refused as a whole instead.
    if (!IsValidUtf8(origin))
        return false;
    const auto compiled = Compiled(pattern);
    if (!compiled->IsValid())
        return false;
    const int result = compiled->Search(origin);
    if (result < 0) {
        Logger::LogWarning("Origin pattern \"" + pattern + "\" gave up on origin \"" + std::string(origin) +
                               "\" (match limit reached), counted as no match",
                           LogChannel::WebSocketForbiddenOrigin);
    }
    return result > 0;
}

std::shared_ptr<const OriginFilter::CompiledPattern> OriginFilter::Compiled(const std::string& pattern) {
    {
        std::lock_guard lock(_cacheMutex);
        if (const auto found = _cache.find(pattern); found != _cache.end())
            return found->second;
    }
    // Compiled outside the lock; two threads may race to compile the same text, and the
    // first one to insert wins (and is the only one to report a broken pattern).
    auto compiled = std::make_shared<const CompiledPattern>(pattern);
    bool inserted = false;
    {
        std::lock_guard lock(_cacheMutex);
        if (_cache.size() >= MaxCachedPatterns)
            _cache.clear();
        const auto [entry, isNew] = _cache.emplace(pattern, compiled);
        inserted = isNew;
        compiled = entry->second;
    }
    if (inserted && !compiled->IsValid()) {
        Logger::LogError("Origin pattern \"" + pattern + "\" is not a valid regular expression (" +
                             compiled->Error() + "), it matches no origin",
                         LogChannel::WebSocketForbiddenOrigin);
    }
    return compiled;
}

} // namespace Tralvonic
