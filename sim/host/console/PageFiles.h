#pragma once
// The console page's files (page/), embedded into the program when it is built, so the
// program serves its page wherever it runs from.

#include <span>
#include <string_view>

namespace Tralvonic::Sim::Host {

struct PageFile {
    std::string_view Path; // "/" for the page itself
    std::string_view ContentType;
    std::string_view Content;
};

// Written by EmbedPage.cmake at build time.
std::span<const PageFile> PageFiles();

} // namespace Tralvonic::Sim::Host
