#include "engine/SavedGame.h"

#include <algorithm>
#include <cctype>

#include "base/AtomicFile.h"
#include "base/FieldCodec.h"
#include "engine/CharMatrix.h"
#include "engine/QuorvexEngine.h"
#include "net/StringEncryptor.h"

namespace qx {

namespace {

// A saved game is never near this large; a bigger file is not one.
constexpr size_t kMaxSavedGameBytes = size_t{256} << 20;

std::string WithoutLineEnds(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

// The grid a game's map text fills; throws when the text does not fit.
void FillGrid(const TQuorvexEngine& game, TCharMatrix& grid) {
    grid.SetSize(std::max(game.MapWidth, 0), std::max(game.MapHeight, 0));
    grid.LoadFromText(game.MapText);
}

} // namespace

bool TSavedGame::IsScrambledName(const std::string& path) {
    if (path.size() < 3) return false;
    const std::string end = path.substr(path.size() - 3);
    return end[0] == '.' && std::tolower(static_cast<unsigned char>(end[1])) == 'q' &&
           std::tolower(static_cast<unsigned char>(end[2])) == 'x';
}

std::string TSavedGame::Scramble(std::string text) {
    TStringEncryptor(kGameKey).Encrypt(text);
    return text;
}

std::string TSavedGame::Unscramble(std::string text) {
    TStringEncryptor(kGameKey).Decrypt(text);
    return text;
}

std::string TSavedGame::ReadText(const std::string& path) {
    std::string bytes;
    try {
        bytes = ReadWholeFile(path, kMaxSavedGameBytes);
    } catch (const EFileError& error) {
        throw ESavedGameError(error.what());
    }
    return WithoutLineEnds(IsScrambledName(path) ? Unscramble(std::move(bytes)) : std::move(bytes));
}

void TSavedGame::WriteText(const std::string& path, const std::string& text) {
    try {
        WriteFileAtomically(path, IsScrambledName(path) ? Scramble(text) : text);
    } catch (const EFileError& error) {
        throw ESavedGameError(error.what());
    }
}

void TSavedGame::Check(const std::string& text) {
    TQuorvexEngine scratch;
    try {
        scratch.LoadFromText(text);
    } catch (const EGameStateError& error) {
        throw ESavedGameError(std::string("This is not a readable Quorvex game: ") + error.what());
    }
    // Newer games may hold what this version cannot play: refuse them whole.
    if (!(scratch.FormatVersion <= FormatVersion))
        throw ESavedGameError("This Game was saved with Quorvex version " + FloatToText(scratch.FormatVersion) +
                              ", and you have version " + FloatToText(FormatVersion));
    try {
        TCharMatrix grid;
        FillGrid(scratch, grid);
    } catch (const std::exception& error) {
        throw ESavedGameError(std::string("This game's nebula map is damaged: ") + error.what());
    }
}

void TSavedGame::Load(const std::string& text, TQuorvexEngine& engine) {
    Check(text);
    // The text has proved good on a scratch engine, so the live game is
    // replaced only now, and the same reading cannot fail halfway.
    engine.LoadFromText(text);
    if (engine.CharMatrix) FillGrid(engine, *engine.CharMatrix);
}

void TSavedGame::LoadFile(const std::string& path, TQuorvexEngine& engine) {
    const std::string text = ReadText(path);  // its errors name the file already
    try {
        Load(text, engine);
    } catch (const ESavedGameError& error) {
        throw ESavedGameError(path + ": " + error.what());
    }
}

void TSavedGame::SaveFile(const std::string& path, const TQuorvexEngine& engine) {
    WriteText(path, engine.SaveToText());
}

} // namespace qx
