// Fuzz target for the settings file: any text reads (lines it cannot use are
// skipped), and what it reads writes a text that reads back to the same keys
// and values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qx::TIniFile ini;
    ini.Load(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string saved = ini.Save();
    qx::TIniFile again;
    again.Load(saved);
    if (again.Save() != saved) std::abort();
    for (const auto& [section, entries] : ini.Sections())
        for (const auto& [key, value] : entries)
            if (again.Read(section, key) != value) std::abort();
    return ini.Sections().empty() ? -1 : 0;
}
