// Fuzz target for order texts, which reach the master from every machine:
// each line is an order of player (line number mod 3); a few impulses are
// processed and a replica follows by the recorded changes. Nothing may fault
// and the replica must end in the master's state.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzGalaxy.h"
#include "engine/ImpulseDriver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qx::fuzz::FuzzGalaxy master;
    qx::fuzz::FuzzGalaxy replica;
    replica.engine.Replica = true;
    // Both start from the same text, so ship codes agree.
    replica.engine.LoadFromText(master.engine.SaveToText());
    replica.engine.CharMatrix = &replica.map;
    replica.engine.UpdateVisibility();

    std::vector<std::string> changes;
    master.engine.ChangeSink = [&changes](const std::string& change) { changes.push_back(change); };
    qx::TImpulseDriver masterDriver(master.engine);
    qx::TImpulseDriver replicaDriver(replica.engine);

    std::string_view text(reinterpret_cast<const char*>(data), size);
    int line = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        masterDriver.QueueOrder(master.engine.GetPlayer(line++ % 3), std::string(text.substr(0, end)));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    // The changes four impulses make without any order, to tell orders that
    // did something from those that were dropped.
    static const size_t unordered = [] {
        qx::fuzz::FuzzGalaxy plain;
        size_t count = 0;
        plain.engine.ChangeSink = [&count](const std::string&) { ++count; };
        qx::TImpulseDriver driver(plain.engine);
        for (int impulse = 0; impulse < 4; ++impulse) driver.RunImpulse();
        return count;
    }();
    size_t recorded = 0;
    for (int impulse = 0; impulse < 4; ++impulse) {
        changes.clear();
        masterDriver.RunImpulse();
        replicaDriver.RunImpulse(changes);
        recorded += changes.size();
        if (master.engine.SaveToText() != replica.engine.SaveToText()) std::abort();
    }
    return recorded == unordered ? -1 : 0;
}
