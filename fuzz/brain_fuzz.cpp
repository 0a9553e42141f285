// Fuzz target for brain scripts: the text is the brain of the computer
// player of a small galaxy and thinks on its turns for twelve impulses under a
// call budget, while a replica follows by the master's changes alone. A brain
// that fails stops thinking (that is reported, not a fault); nothing may
// fault, and the replica must end in the master's state.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzGalaxy.h"
#include "engine/ImpulseDriver.h"
#include "scenario/ScriptsModule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qx::fuzz::FuzzGalaxy master;
    master.engine.GetPlayer(1)->Computer = true;  // thinks before impulses 1 and 11
    qx::fuzz::FuzzGalaxy replica;
    replica.engine.Replica = true;
    replica.engine.LoadFromText(master.engine.SaveToText());
    replica.engine.UpdateVisibility();

    qx::TdmScripts scripts;
    scripts.DefaultBrainText = std::string(reinterpret_cast<const char*>(data), size);
    scripts.BrainCallBudget = 20000;
    scripts.FuncsBrains().MaxArraySize = 1000;
    scripts.FuncsBrains().MaxStringLength = 1 << 16;
    bool failed = false;
    scripts.OnBrainMessage = [&failed](const std::string&) { failed = true; };
    scripts.Engine = &master.engine;

    std::vector<std::string> changes;
    master.engine.ChangeSink = [&changes](const std::string& change) { changes.push_back(change); };
    qx::TImpulseDriver masterDriver(master.engine);
    masterDriver.BrainTurn = [&scripts](qx::TPlayer* player) { scripts.BrainTurn(player); };
    qx::TImpulseDriver replicaDriver(replica.engine);
    for (int impulse = 0; impulse < 12; ++impulse) {
        changes.clear();
        masterDriver.RunImpulse();
        replicaDriver.RunImpulse(changes);
        if (master.engine.SaveToText() != replica.engine.SaveToText()) std::abort();
    }
    return failed ? -1 : 0;
}
