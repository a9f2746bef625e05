#pragma once
// The twelve toolchain strings, their registry key, and the load and save
// sequences that the main window and the Compiler Options dialog share.

#include <array>
#include <cstddef>
#include <functional>
#include <string>

namespace kw {

struct TToolchainSettings {
    std::string PCCompiler;
    std::string PCCSwitches;
    std::string PCLinker;
    std::string PCLSwitches;
    std::string PCInclude;
    std::string PCLib;
    std::string GP2XCompiler;
    std::string GP2XCSwitches;
    std::string GP2XLinker;
    std::string GP2XLSwitches;
    std::string GP2XInclude;
    std::string GP2XLib;
};

struct ToolchainSetting {
    const char* name;  // the registry value's name
    std::string TToolchainSettings::*field;
};

inline constexpr std::size_t ToolchainSettingCount = 12;

// The order of every read and every write.
inline constexpr std::array<ToolchainSetting, ToolchainSettingCount> ToolchainSettingTable = {{
    {"PCCompiler", &TToolchainSettings::PCCompiler},
    {"PCCSwitches", &TToolchainSettings::PCCSwitches},
    {"PCLinker", &TToolchainSettings::PCLinker},
    {"PCLSwitches", &TToolchainSettings::PCLSwitches},
    {"PCInclude", &TToolchainSettings::PCInclude},
    {"PCLib", &TToolchainSettings::PCLib},
    {"GP2XCompiler", &TToolchainSettings::GP2XCompiler},
    {"GP2XCSwitches", &TToolchainSettings::GP2XCSwitches},
    {"GP2XLinker", &TToolchainSettings::GP2XLinker},
    {"GP2XLSwitches", &TToolchainSettings::GP2XLSwitches},
    {"GP2XInclude", &TToolchainSettings::GP2XInclude},
    {"GP2XLib", &TToolchainSettings::GP2XLib},
}};

inline constexpr const char* ToolchainKeyParent = "SOFTWARE";
inline constexpr const char* ToolchainKey = "Kestrelwork";

// Reads the twelve values in table order and hands each to `store` (with its
// index) before the next is read, so a failure leaves the earlier targets
// updated and the later ones as they were.
void RunToolchainLoadSequence(const std::function<void(std::size_t, const std::string&)>& store);

// Creates the key, writes the default value "Kestrelwork", then the twelve
// texts that `text` gives for each index, in table order.
void RunToolchainSaveSequence(const std::function<std::string(std::size_t)>& text);

// The load sequence with a settings record as its targets.
void LoadToolchainSettingsInto(TToolchainSettings& settings);

} // namespace kw
