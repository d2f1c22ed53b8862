#include "support/CommandLineWin32.h"

#include "core/WideText.h"

namespace Tralvonic::Testing {

std::wstring QuotedArgument(std::string_view argument) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t character : WideFromUtf8(argument)) {
        if (character == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(character == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += character;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

} // namespace Tralvonic::Testing
