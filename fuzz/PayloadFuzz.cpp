// Every record a game sends as a command's parameter. The first byte picks the record, the
// rest is the parameter's text. A record that reads writes a text that reads as the same
// text again: nothing the plugin writes is refused when it comes back.

#include "Model/BulkUpdate.h"
#include "Model/GameInstanceSettings.h"
#include "Model/JsonError.h"
#include "Model/MegaphoneCommunication.h"
#include "Model/PhoneCommunication.h"
#include "Model/PlayerState.h"
#include "Model/RadioChannelMember.h"
#include "Model/RadioChannelMemberUpdate.h"
#include "Model/RadioCommunication.h"
#include "Model/RadioTower.h"
#include "Model/SelfState.h"
#include "Model/Sound.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace Tralvonic::Model;

template <class Record> void ReadAndWriteBack(std::string_view text) {
    std::string written;
    try {
        written = SerializeJson(ParseJson<Record>(text));
    } catch (const JsonError&) {
        return;
    }
    std::string rewritten;
    try {
        rewritten = SerializeJson(ParseJson<Record>(written));
    } catch (const JsonError&) {
        std::abort(); // the plugin's own text refused
    }
    if (rewritten != written)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 11) {
    case 0:
        ReadAndWriteBack<GameInstanceSettings>(text);
        break;
    case 1:
        ReadAndWriteBack<SelfState>(text);
        break;
    case 2:
        ReadAndWriteBack<PlayerState>(text);
        break;
    case 3:
        ReadAndWriteBack<BulkUpdate>(text);
        break;
    case 4:
        ReadAndWriteBack<Sound>(text);
        break;
    case 5:
        ReadAndWriteBack<PhoneCommunication>(text);
        break;
    case 6:
        ReadAndWriteBack<RadioCommunication>(text);
        break;
    case 7:
        ReadAndWriteBack<RadioTower>(text);
        break;
    case 8:
        ReadAndWriteBack<RadioChannelMember>(text);
        break;
    case 9:
        ReadAndWriteBack<RadioChannelMemberUpdate>(text);
        break;
    default:
        ReadAndWriteBack<MegaphoneCommunication>(text);
        break;
    }
    return 0;
}
