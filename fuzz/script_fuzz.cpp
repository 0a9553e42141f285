// Fuzz target for the script language: compiles and runs arbitrary text under
// a small call budget and tight memory limits. Any script error is an
// expected outcome; anything else escaping (or a crash) is a bug.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/Function.h"
#include "script/Script.h"
#include "script/ScriptError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    qx::TFuncs funcs;
    funcs.CallBudget = 2000;
    funcs.MaxArraySize = 1000;
    funcs.MaxStringLength = 1 << 16;
    funcs.OnShowMessage = [](const std::string&) {};
    qx::TScript script;
    script.SetFunctions(&funcs);
    script.SetText(text);
    try {
        script.Run();
        script.Run();  // a second run starts from the variables the first left
    } catch (const qx::ESyntaxError&) {
        return -1;  // never ran: not worth keeping
    } catch (const qx::EScriptError&) {
    }
    return 0;
}
