#include "settings/ToolchainSettings.h"

#include "platform/core/Registry.h"

namespace kw {

void RunToolchainLoadSequence(const std::function<void(std::size_t, const std::string&)>& store)
{
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE_HANDLE);
    // Neither open is checked: without "SOFTWARE" the product key is tried
    // below the root, and without either every value reads as empty.
    registry.OpenKey(ToolchainKeyParent);
    registry.OpenKey(ToolchainKey);
    for (std::size_t i = 0; i < ToolchainSettingTable.size(); ++i)
        store(i, registry.ReadString(ToolchainSettingTable[i].name));
}

void RunToolchainSaveSequence(const std::function<std::string(std::size_t)>& text)
{
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE_HANDLE);
    registry.OpenKey(ToolchainKeyParent);
    // The only step that reports an unreachable key.
    registry.CreateKey(ToolchainKey);
    registry.OpenKey(ToolchainKey);
    registry.WriteString("", ToolchainKey);
    for (std::size_t i = 0; i < ToolchainSettingTable.size(); ++i)
        registry.WriteString(ToolchainSettingTable[i].name, text(i));
}

void LoadToolchainSettingsInto(TToolchainSettings& settings)
{
    RunToolchainLoadSequence([&settings](std::size_t i, const std::string& value) {
        settings.*ToolchainSettingTable[i].field = value;
    });
}

} // namespace kw
