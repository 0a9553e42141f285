#pragma once

#include <memory>

#include "engine/QxObject.h"

namespace qx {

// A wormhole or jump gate: a ship entering its cell comes out at the exit.
class TWormhole : public TQxMapObject {
public:
    using TQxMapObject::TQxMapObject;
    static std::unique_ptr<TWormhole> CreateFromState(TQuorvexEngine* engine, std::string_view& text);

    int32_t DestY = 0;
    int32_t DestX = 0;
    std::array<bool, MaxPlayers> Known{};
    bool IsJumpGate = false;

    // The per-player flags repeat once per player of the engine.
    void WriteState(std::string& text) const override;
    void ReadState(std::string_view& text) override;
};

} // namespace qx
