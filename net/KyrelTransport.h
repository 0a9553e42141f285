#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qx {

// What the lobby client needs of a TCP connection: open, close, write bytes
// (the transport buffers what the peer has not taken yet; a write never
// waits), and notifications on the main thread. Closing from this side
// reports nothing.
class IKyrelTransport {
public:
    struct TEvents {
        std::function<void()> Connected;
        // The peer closed the connection, it was lost, or it could not be made.
        std::function<void()> Disconnected;
        std::function<void(std::string_view bytes)> Received;
        std::function<void(int code, const std::string& text)> Error;
    };

    virtual ~IKyrelTransport() = default;

    virtual void SetEvents(TEvents events) = 0;
    // Host is a dotted numeric address when Numeric is set, else a name to look up.
    virtual void Open(const std::string& host, bool numeric, int port) = 0;
    virtual void Close() = 0;
    virtual void Write(std::string_view bytes) = 0;
};

} // namespace qx
