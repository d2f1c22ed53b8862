// The release this library was built with, readable in the file itself (`strings`), so a
// user who copied the two libraries by hand can tell whether they belong together. Kept out
// of the exports: the library exports its entry points and nothing else.

#include "version/Version.h"

#include <cstddef>
#include <string_view>

namespace {

template <std::size_t Size> struct Ident { char Text[Size]{}; };

constexpr auto MakeIdent() {
    constexpr std::string_view prefix = "Tralvonic VoiceDistortion ";
    Ident<prefix.size() + Tralvonic::ReleaseVersion.size() + 1> ident;
    std::size_t at = 0;
    for (const char c : prefix) {
        ident.Text[at++] = c;
    }
    for (const char c : Tralvonic::ReleaseVersion) {
        ident.Text[at++] = c;
    }
    return ident;
}

[[gnu::used]] constexpr auto LibraryIdent = MakeIdent();

} // namespace
