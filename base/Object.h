#pragma once

namespace qx {

// Common base of everything that can be the sender of an event: callbacks
// receive the object that raised them first, as the game's components do.
class TObject {
public:
    virtual ~TObject() = default;
};

} // namespace qx
