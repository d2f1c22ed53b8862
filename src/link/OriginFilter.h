#pragma once
// Decides whether a browser origin may open a game connection. The user's patterns are
// PCRE2 expressions tried in list order with search semantics; compiled patterns are
// cached by their text and compiled ahead (Prepare) wherever the settings change, so the
// I/O threads that open connections rarely compile. Compiling and searching take bounded
// time whatever the pattern: long patterns are refused, large ones are not JIT-compiled,
// and every search has a match limit.
// Thread-safe: called concurrently from every I/O thread.

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Tralvonic {

class OriginFilter {
public:
    OriginFilter();
    ~OriginFilter();
    OriginFilter(const OriginFilter&) = delete;
    OriginFilter& operator=(const OriginFilter&) = delete;

    // Allowed when the origin is absent, empty or only white space, or when a pattern of
    // the current configuration's OriginExceptions finds a match in it.
    bool IsAllowed(const std::optional<std::string>& origin);
    bool IsAllowed(const std::optional<std::string>& origin, const std::vector<std::string>& patterns);

    // Compiles the patterns into the cache now, on the caller's thread, so that the I/O
    // threads that open connections find them compiled.
    void Prepare(const std::vector<std::string>& patterns);

    // True when the pattern finds a match anywhere in the origin. A pattern that does not
    // compile, a search that hits the match limit and an origin that is not valid UTF-8
    // all count as no match.
    bool Matches(const std::string& pattern, std::string_view origin);

private:
    class CompiledPattern;

    std::shared_ptr<const CompiledPattern> Compiled(const std::string& pattern);

    // guarded by _cacheMutex
    std::mutex _cacheMutex;
    std::unordered_map<std::string, std::shared_ptr<const CompiledPattern>> _cache;
};

} // namespace Tralvonic
