// Fuzz target for the lobby client's line reader: the bytes a server sends,
// in reads of any size, plain or scrambled. Nothing may fault, and the
// client must stay usable (its lists consistent) after any input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/KyrelConnection.h"
#include "net/StringEncryptor.h"

namespace {

class NullTransport : public qx::IKyrelTransport {
public:
    void SetEvents(TEvents e) override { events = std::move(e); }
    void Open(const std::string&, bool, int) override {}
    void Close() override {}
    void Write(std::string_view bytes) override { written += bytes.size(); }
    TEvents events;
    size_t written = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    NullTransport transport;
    qx::TKyrelConnection kyrel(transport);
    qx::TStringEncryptor encryptor(qx::kGameKey);
    const bool scrambled = data[0] & 1;
    const size_t chunk = 1 + data[1] % 64;
    if (scrambled) kyrel.UseEncryptor(&encryptor);
    kyrel.SetMaxLine(4096);
    int events = 0;
    kyrel.OnAddUser = [&](qx::TObject*, qx::TKyrelUser* user) { events += static_cast<int>(user->UserId.size() > 0); };
    kyrel.OnDataReceived = [&](qx::TObject*, const std::string&, const std::string&) { ++events; };
    kyrel.SetActive(true);
    transport.events.Connected();

    std::string_view input(reinterpret_cast<const char*>(data + 2), size - 2);
    std::string stream;
    if (scrambled) {
        // Scramble each line as a server would, so the mutations reach the dispatcher.
        while (!input.empty()) {
            const size_t end = input.find('\n');
            std::string line(input.substr(0, end));
            encryptor.EncryptLine(line);
            stream += line + "\n";
            input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
        }
    } else {
        stream.assign(input);
    }
    for (size_t at = 0; at < stream.size(); at += chunk)
        transport.events.Received(std::string_view(stream).substr(at, chunk));

    // Whatever came, the lists hold only live records and the client still works.
    for (int i = 0; i < kyrel.UserCount(); ++i)
        if (!kyrel.GetUser(i)) std::abort();
    kyrel.SendChat("still here");
    kyrel.JoinSubject("Lobby Chat");
    transport.events.Disconnected();
    if (kyrel.Active() || kyrel.UserCount() != 0) std::abort();
    return 0;
}
