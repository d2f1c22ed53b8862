#pragma once
// The <key>value</key> elements by which several plugins share one client meta data
// string. Pure text functions; the host reads and writes happen in Client.

#include <string>
#include <string_view>

namespace TeamSpeak {

// The text between the first opening tag and the first closing tag after it; "" when
// either is absent.
std::string FindMetaDataElement(std::string_view metaData, std::string_view key);

// Removes the first opening tag through the first closing tag after it; the text is
// unchanged when there is no such pair.
std::string RemoveMetaDataElement(std::string_view metaData, std::string_view key);

// Removes the element as above and appends <key>value</key> at the end.
std::string ReplaceMetaDataElement(std::string_view metaData, std::string_view key, std::string_view value);

} // namespace TeamSpeak
