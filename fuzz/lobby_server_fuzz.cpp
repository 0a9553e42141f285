// Fuzz target for the lobby server's line reader: the bytes a client sends
// are cut into lines (capped), unscrambled and read into requests, and the
// texts inside them (game results, subject names, records) are read too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/LineBuffer.h"
#include "net/StringEncryptor.h"
#include "server/LobbyProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    qx::lobby::TLobbyLimits limits;
    limits.MaxLine = 512;
    limits.MaxDataLine = 2048;
    qx::TLineBuffer buffer(limits.MaxDataLine);
    const qx::TStringEncryptor encryptor(qx::kGameKey);
    const bool scrambled = data[0] & 1;
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    buffer.Append(input, [&](std::string line) {
        if (scrambled) encryptor.DecryptLine(line);
        const qx::lobby::TClientLine request = qx::lobby::DecodeClientLine(line, limits);
        if (request.Command == qx::lobby::TClientCommand::Unknown && request.Error.empty()) std::abort();
        if (!request.Error.empty()) return true;
        if (request.Command == qx::lobby::TClientCommand::Custom) {
            qx::lobby::TGameResult result;
            if (qx::lobby::ParseGameResult(request.Text, result, nullptr) &&
                (result.Victor.empty() || result.Impulses < 0))
                std::abort();
        }
        if (request.Command == qx::lobby::TClientCommand::CreateSubject) {
            // A name that got through must not split the lobby's lines or records.
            if (request.Name.find_first_of("|^`") != std::string::npos ||
                !qx::lobby::IsValidSubjectName(request.Name, request.Count > 0, limits, nullptr))
                std::abort();
        }
        if (request.Command == qx::lobby::TClientCommand::LoginNew && !request.User.IsSafeRecord()) std::abort();
        return true;
    });
    if (buffer.Pending() > limits.MaxDataLine) std::abort();
    return 0;
}
