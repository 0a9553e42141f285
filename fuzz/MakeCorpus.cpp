// make_fuzz_corpus DATA OUT: writes the fuzzers' seed inputs into OUT/<target>/.
// Game states and saved games come from the bundled scenarios and from
// seeded brain duels on them; order and change streams are recorded from
// brains playing the fuzzers' own small galaxy, so their ship codes match;
// scripts are the bundled scenarios and brains; palettes, pictures and waves
// are made here.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzGalaxy.h"
#include "base/AtomicFile.h"
#include "base/FieldCodec.h"
#include "engine/ImpulseDriver.h"
#include "engine/SavedGame.h"
#include "render/BmpFile.h"
#include "render/ColorPalette.h"
#include "scenario/ScriptsModule.h"
#include "sound/Wave.h"

namespace fs = std::filesystem;

namespace {

fs::path out;

void Put(const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(out / target);
    std::ofstream(out / target / name, std::ios::binary) << bytes;
}

std::vector<fs::path> Files(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == extension) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Game states of every scenario: as made, and after a seeded duel of its
// brains; with their maps and as saved games.
void GameStates(const fs::path& data) {
    for (const fs::path& scenario : Files(data / "scenarios", ".qxscen")) {
        const std::string text = qx::ReadWholeFile(scenario.string());
        for (int players : {2, 4}) {
            qx::TQuorvexEngine engine;
            engine.RulesRandom.Seed(static_cast<uint64_t>(players));
            qx::TdmScripts scripts;
            engine.CharMatrix = scripts.MatrixMap;
            scripts.OnBrainMessage = [](const std::string&) {};
            scripts.RunScenarioText(engine, text, 18, 100, players, players);
            const std::string name = scenario.stem().string() + "-" + std::to_string(players);
            Put("game_state", name + "-start", engine.SaveToText());
            Put("map_text", name, std::string{static_cast<char>(engine.MapWidth - 1), static_cast<char>(engine.MapHeight - 1)} +
                                      engine.MapText);
            qx::TImpulseDriver driver(engine);
            driver.BrainTurn = [&scripts](qx::TPlayer* player) { scripts.BrainTurn(player); };
            engine.UpdateVisibility();
            for (int i = 0; i < 300; ++i) driver.RunImpulse();
            Put("game_state", name + "-300", engine.SaveToText());
            Put("saved_game", name + "-300.qx", qx::TSavedGame::Scramble(engine.SaveToText()));
        }
    }
}

// What brains order and what the master records while three brains play the
// fuzzers' galaxy: one order stream per brain turn (line i is an order of
// player i mod 3) and one change stream per ten impulses.
void Streams(const fs::path& data) {
    qx::fuzz::FuzzGalaxy galaxy;
    qx::TdmScripts scripts;
    scripts.Engine = &galaxy.engine;
    scripts.OnBrainMessage = [](const std::string&) {};
    const std::vector<fs::path> brains = Files(data / "brains", ".qxbrain");
    for (int p = 0; p < galaxy.engine.PlayerCount(); ++p) {
        galaxy.engine.GetPlayer(p)->Computer = true;
        galaxy.engine.GetPlayer(p)->BrainFile = brains[static_cast<size_t>(p) % brains.size()].string();
    }
    std::string changes;
    galaxy.engine.ChangeSink = [&changes](const std::string& change) { changes += change + "\n"; };
    qx::TImpulseDriver driver(galaxy.engine);
    driver.BrainTurn = [&scripts](qx::TPlayer* player) { scripts.BrainTurn(player); };
    for (int impulse = 1; impulse <= 60; ++impulse) {
        driver.BeforeProcess(galaxy.engine.Impulse);
        if (!galaxy.engine.Orders().empty()) {
            std::vector<std::string> lines;
            for (const auto& [text, player] : galaxy.engine.Orders()) {
                while (static_cast<int>(lines.size() % 3) != player->Index) lines.emplace_back();
                lines.push_back(text);
            }
            Put("order", "turn-" + std::to_string(impulse), qx::JoinStrings(lines, '\n'));
        }
        driver.ProcessOrders();
        driver.AfterProcess(galaxy.engine.Impulse + 1);
        if (impulse % 10 == 0) {
            Put("change", "impulses-" + std::to_string(impulse), changes);
            changes.clear();
        }
    }
}

void Scripts(const fs::path& data) {
    for (const fs::path& file : Files(data / "scenarios", ".qxscen")) {
        Put("scenario", file.filename().string(), qx::ReadWholeFile(file.string()));
        Put("script", file.filename().string(), qx::ReadWholeFile(file.string()));
    }
    for (const fs::path& file : Files(data / "brains", ".qxbrain")) {
        Put("brain", file.filename().string(), qx::ReadWholeFile(file.string()));
        Put("script", file.filename().string(), qx::ReadWholeFile(file.string()));
    }
}

void Pictures() {
    std::vector<std::string> entries;
    for (int i = 0; i < 256; ++i)
        entries.push_back(std::to_string(i) + "," + std::to_string(255 - i) + "," + std::to_string((i * 7) % 256));
    qx::TColorPalette palette;
    palette.SetPaletteEntries(entries);
    Put("palette", "ramp", palette.SaveToText());
    for (auto [w, h] : {std::pair{1, 1}, {4, 3}, {30, 30}, {7, 2}}) {
        qx::TIndexedBitmap picture(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) picture.SetPixel(x, y, static_cast<uint8_t>(x * 17 + y * 5));
        picture.Palette[1] = {200, 10, 30};
        Put("bmp", std::to_string(w) + "x" + std::to_string(h), qx::WriteBmp(picture));
    }
}

void Waves() {
    for (auto [bits, channels] : {std::pair<uint16_t, uint16_t>{8, 1}, {16, 1}, {16, 2}}) {
        qx::TWaveFormat format;
        format.Channels = channels;
        format.SamplesPerSecond = 11025;
        format.BitsPerSample = bits;
        format.BlockAlign = static_cast<uint16_t>(channels * bits / 8);
        format.AvgBytesPerSecond = format.SamplesPerSecond * format.BlockAlign;
        std::vector<uint8_t> payload(8 + 64 * format.BlockAlign, 0);
        for (size_t i = 8; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i * 37);
        const std::vector<uint8_t> image = qx::TWave::BuildImage(format, payload);
        Put("wave", std::to_string(bits) + "bit-" + std::to_string(channels) + "ch",
            std::string(image.begin(), image.end()));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: make_fuzz_corpus DATA OUT\n"
                             "Writes the fuzzers' seed inputs into OUT/<target>/, from the scenarios and\n"
                             "brains in DATA (the checkout's data folder).\n");
        return 2;
    }
    out = argv[2];
    const fs::path data = argv[1];
    try {
        GameStates(data);
        Streams(data);
        Scripts(data);
        Pictures();
        Waves();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_fuzz_corpus: %s\n", error.what());
        return 1;
    }
    return 0;
}
