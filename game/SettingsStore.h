#pragma once

#include <map>
#include <string>

namespace qx {

// The player's settings as name = text pairs (the window keeps them in its
// settings file; every value is text). Absent names read as empty.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    virtual std::string ReadString(const std::string& name) const = 0;
    virtual void WriteString(const std::string& name, const std::string& value) = 0;

    // The value as a decimal integer; 0 when absent or not a number.
    int ReadInteger(const std::string& name) const;
    void WriteInteger(const std::string& name, int value) { WriteString(name, std::to_string(value)); }
};

// Settings held in memory: for headless programs and tests.
class TMemorySettingsStore : public ISettingsStore {
public:
    std::string ReadString(const std::string& name) const override;
    void WriteString(const std::string& name, const std::string& value) override { Values[name] = value; }

    std::map<std::string, std::string> Values;
};

} // namespace qx
