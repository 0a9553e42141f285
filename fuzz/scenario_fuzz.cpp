// Fuzz target for scenario scripts: the text builds a galaxy for two players
// under a call budget. A script error is an expected outcome; a galaxy that
// is built must save to a text that loads back to itself and play a few
// impulses without a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/ImpulseDriver.h"
#include "engine/QuorvexEngine.h"
#include "scenario/ScriptsModule.h"
#include "script/ScriptError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    qx::TQuorvexEngine engine;
    qx::TdmScripts scripts;
    engine.CharMatrix = scripts.MatrixMap;
    scripts.FuncsScenario().CallBudget = 20000;
    scripts.FuncsScenario().MaxArraySize = 1000;
    scripts.FuncsScenario().MaxStringLength = 1 << 16;
    try {
        scripts.RunScenarioText(engine, text, 18, 100, 1, 2);
    } catch (const qx::EScriptError&) {
        return -1;
    }
    const std::string saved = engine.SaveToText();
    qx::TQuorvexEngine again;
    again.LoadFromText(saved);
    if (again.SaveToText() != saved) std::abort();
    qx::TImpulseDriver driver(engine);
    for (int i = 0; i < 3; ++i) driver.RunImpulse();
    return 0;
}
