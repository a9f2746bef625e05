#pragma once
// The registry on POSIX: one REGEDIT4 text file per user, at
// $XDG_CONFIG_HOME/kestrelwork/registry.reg (or ~/.config/kestrelwork/...),
// the way a Wine prefix keeps HKEY_LOCAL_MACHINE per user.
//
// Every change is committed at once under an exclusive lock; every query
// reads the file afresh, so two running copies see each other's writes.

#include "platform/core/RegistryBackend.h"
#include "platform/core/RegistryFile.h"

#include <filesystem>
#include <optional>
#include <string>

namespace kw {

class RegistryHive : public RegistryBackend {
public:
    // The default location, looked up again at every operation.
    RegistryHive() = default;
    // A fixed file, for tests.
    explicit RegistryHive(std::filesystem::path file);

    RegStatus CreateKey(RegHandle parent, const std::string& subKey, RegHandle& result) override;
    void CloseKey(RegHandle key) override;
    RegStatus QueryValue(RegHandle key, const std::string& name, std::uint32_t* type, unsigned char* data,
                         std::uint32_t* size) override;
    RegStatus SetValue(RegHandle key, const std::string& name, std::uint32_t type, const unsigned char* data,
                       std::uint32_t size) override;

    // nullopt when neither XDG_CONFIG_HOME nor HOME names a folder.
    static std::optional<std::filesystem::path> DefaultLocation();

    std::size_t OpenKeyCount() const { return keys_.OpenCount(); }

private:
    std::optional<std::filesystem::path> Location() const;

    std::optional<std::filesystem::path> file_;
    KeyHandleTable keys_;
};

} // namespace kw
