// Fuzz target for the texts the lobby screen reads from the server and from
// the player: the server address an /ip.adr document names, game subject
// names (their details and version), names typed for games and rooms, the
// QXHISTORY reply and the QXVERSION notice. The first byte picks the reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/ServerAddress.h"
#include "net/game/GameSubject.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 5) {
    case 0:
        if (const auto address = qx::TServerAddress::Parse(text, 4000)) {
            if (address->Host.empty() || address->Port < 1 || address->Port > 65535) std::abort();
            if (address->Host.find_first_of(" |/\n") != std::string::npos) std::abort();
        }
        break;
    case 1: {
        qx::TGameSubject game;
        if (qx::TGameSubject::Parse(text, game)) {
            // What was read is written back the same way and read again alike.
            qx::TGameSubject again;
            if (!qx::TGameSubject::Parse(game.ToText(), again) || again.ToText() != game.ToText()) std::abort();
            (void)game.Details();
        }
        (void)qx::TGameSubject::Shown(text);
        if (qx::TGameSubject::SameVersion(text) && qx::TGameSubject::VersionField(text).empty()) std::abort();
        (void)qx::TGameSubject::VersionMessage(text);
        break;
    }
    case 2: {
        std::string name;
        const std::string why = qx::CheckSubjectName(text, name, "A name");
        // A name that passes holds none of the lobby's separators.
        if (!name.empty() && (!why.empty() || name.front() == '~' ||
                              name.find_first_of(";|\\^`") != std::string::npos))
            std::abort();
        for (char c : name)
            if (static_cast<unsigned char>(c) < 32 || c == 127) std::abort();
        break;
    }
    case 3: {
        const qx::TGameHistory history = qx::TGameHistory::Parse(text);
        for (const auto* list : {&history.Games, &history.HallOfFame, &history.Schedules})
            for (const auto& record : *list)
                if (record.empty()) std::abort();
        break;
    }
    default: (void)qx::VersionNotice(text); break;
    }
    return 0;
}
