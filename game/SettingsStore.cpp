#include "game/SettingsStore.h"

#include "base/FieldCodec.h"

namespace qx {

int ISettingsStore::ReadInteger(const std::string& name) const { return TextToIntDef(ReadString(name), 0); }

std::string TMemorySettingsStore::ReadString(const std::string& name) const {
    const auto found = Values.find(name);
    return found == Values.end() ? std::string() : found->second;
}

} // namespace qx
