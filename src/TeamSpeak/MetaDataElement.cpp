#include "TeamSpeak/MetaDataElement.h"

namespace TeamSpeak {

namespace {

std::string OpeningTag(std::string_view key) {
    return "<" + std::string(key) + ">";
}

std::string ClosingTag(std::string_view key) {
    return "</" + std::string(key) + ">";
}

} // namespace

std::string FindMetaDataElement(std::string_view metaData, std::string_view key) {
    const std::string opening = OpeningTag(key);
    const auto start = metaData.find(opening);
    if (start == std::string_view::npos) {
        return {};
    }
    const auto valueStart = start + opening.size();
    const auto end = metaData.find(ClosingTag(key), valueStart);
    if (end == std::string_view::npos) {
        return {};
    }
    return std::string(metaData.substr(valueStart, end - valueStart));
}

std::string RemoveMetaDataElement(std::string_view metaData, std::string_view key) {
    std::string text(metaData);
    const std::string opening = OpeningTag(key);
    const std::string closing = ClosingTag(key);
    const auto start = text.find(opening);
    if (start == std::string::npos) {
        return text;
    }
    const auto end = text.find(closing, start + opening.size());
    if (end == std::string::npos) {
        return text;
    }
    text.erase(start, end + closing.size() - start);
    return text;
}

std::string ReplaceMetaDataElement(std::string_view metaData, std::string_view key, std::string_view value) {
    return RemoveMetaDataElement(metaData, key) + OpeningTag(key) + std::string(value) + ClosingTag(key);
}

} // namespace TeamSpeak
