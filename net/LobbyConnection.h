#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KyrelUser.h"

namespace qx {

// What the impulse clock needs of the lobby connection: the users of the
// current game subject, who we are, a way to send data to the subject, and
// the hook through which received data messages arrive (on the main thread).
class ILobbyConnection {
public:
    using DataHandler = std::function<void(TObject* Sender, const std::string& Text, const std::string& Id)>;

    virtual ~ILobbyConnection() = default;

    // Users of the current subject, in the lobby's order; the first is the
    // master. Shared, so that a record the clock holds outlives its removal
    // from the connection's lists.
    virtual std::vector<std::shared_ptr<TKyrelUser>> SubjectUsers() const = 0;
    // Name of the logged-in user; empty when nobody is logged in.
    virtual std::string CurrentUserName() const = 0;
    // Sends a data message to every user of the current subject.
    virtual void SendData(const std::string& text) = 0;
    // The data-received hook; whoever installs a handler keeps the old one to
    // pass on what it does not handle.
    virtual DataHandler GetOnDataReceived() const = 0;
    virtual void SetOnDataReceived(DataHandler handler) = 0;
};

} // namespace qx
