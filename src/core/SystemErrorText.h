#pragma once
// The system's own words for a Windows error code, as UTF-8 without the trailing line break;
// "error N" where the system has none. Windows only.

#include <string>

namespace Tralvonic {

std::string SystemErrorText(unsigned long code);

} // namespace Tralvonic
