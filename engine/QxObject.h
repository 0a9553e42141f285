#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Object.h"

namespace qx {

class TQuorvexEngine;
class TPlayer;

constexpr int MaxPlayers = 10;
// The largest map side in cells: the map grid and the board are allocated per
// cell, so a larger galaxy would only exhaust memory.
constexpr int MaxMapSide = 1000;

// Base of every game object: a back reference to the engine and an ID.
class TQxObject : public TObject {
public:
    explicit TQxObject(TQuorvexEngine* engine) : Engine(engine) {}

    TQuorvexEngine* Engine;
    int32_t ID = 0;

    // Appends the fields as "~"-terminated tokens.
    virtual void WriteState(std::string& text) const;
    // Takes the same tokens off the front of the text.
    virtual void ReadState(std::string_view& text);
};

// An object that stands in a cell of the map.
class TQxMapObject : public TQxObject {
public:
    using TQxObject::TQxObject;

    int32_t Y = 0;
    int32_t X = 0;
    std::array<bool, MaxPlayers> Visible{};
    void* Sprite = nullptr;  // attached by the display; never read here

    void WriteState(std::string& text) const override;
    void ReadState(std::string_view& text) override;

    // True for the same cell and the 8 around it.
    // Within one cell on both axes (the same cell counts).
    bool IsAdjacent(const TQxMapObject& other) const {
        const int64_t dx = static_cast<int64_t>(X) - other.X, dy = static_cast<int64_t>(Y) - other.Y;
        return dx < 2 && dx > -2 && dy < 2 && dy > -2;
    }
    // True when no player is given.
    bool IsVisibleTo(const TPlayer* player) const;
};

// Appends one "~"-terminated token.
void WriteToken(std::string& text, std::string_view token);
void WriteToken(std::string& text, int64_t value);
void WriteBoolToken(std::string& text, bool value);
void WriteFloatToken(std::string& text, double value);
// Reads a real number token; throws when it is not one.
double ReadFloatToken(std::string_view& text);

} // namespace qx
