#pragma once
// One argument of a CreateProcessW command line, quoted so that the child's C runtime
// (CommandLineToArgvW's rules) reads back exactly the UTF-8 text given: a backslash run before
// a quote, or before the closing quote, is doubled. Windows only.

#include <string>
#include <string_view>

namespace Tralvonic::Testing {

std::wstring QuotedArgument(std::string_view argument);

} // namespace Tralvonic::Testing
