#pragma once
// An in-memory registry for tests: the semantics of the Windows registry
// (create-or-open makes missing keys on the way, names ignore ASCII case,
// RegQueryValueExA's size and REG_MORE_DATA answers), plus ways to make it
// fail as a real registry can.

#include "platform/core/RegistryBackend.h"
#include "platform/core/RegistryFile.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kw {

class MemoryRegistry : public RegistryBackend {
public:
    RegStatus CreateKey(RegHandle parent, const std::string& subKey, RegHandle& result) override;
    void CloseKey(RegHandle key) override;
    RegStatus QueryValue(RegHandle key, const std::string& name, std::uint32_t* type, unsigned char* data,
                         std::uint32_t* size) override;
    RegStatus SetValue(RegHandle key, const std::string& name, std::uint32_t type, const unsigned char* data,
                       std::uint32_t size) override;

    // ----- failure injection; key paths are full, e.g. "HKEY_LOCAL_MACHINE\\SOFTWARE" -----

    // Opening or creating this key, or any key below it, fails with REG_ACCESS_DENIED.
    void RefuseAccess(const std::string& keyPath);
    // Creating a new key directly below this one fails with REG_ACCESS_DENIED;
    // existing keys still open. "HKEY_LOCAL_MACHINE" refuses new keys at the root.
    void RefuseNewSubkeys(const std::string& keyPath);
    // Writes of this value (in any key) fail with `status`.
    void FailWritesOf(const std::string& valueName, RegStatus status = REG_ACCESS_DENIED);
    // Runs before each data read (a query with a buffer), after the size query
    // that preceded it: the place where another program changes the value.
    using ReadHook = std::function<void(const std::string& keyPath, const std::string& valueName)>;
    void BeforeDataRead(ReadHook hook);

    // ----- direct access for tests -----

    // Creates the key (and its ancestors) and stores any type and bytes.
    void PutValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                  const std::string& data);
    void RemoveValue(const std::string& keyPath, const std::string& name);
    bool KeyExists(const std::string& keyPath) const;
    std::optional<HiveValue> Value(const std::string& keyPath, const std::string& name) const;
    const Hive& Contents() const { return hive_; }
    std::size_t OpenKeyCount() const { return keys_.OpenCount(); }

private:
    bool IsRefused(const std::string& path) const;
    RegStatus OpenOrCreate(const std::string& path);

    Hive hive_;
    KeyHandleTable keys_;
    std::vector<std::string> refusedAccess_;
    std::vector<std::string> refusedNewSubkeys_;
    std::vector<std::pair<std::string, RegStatus>> failingWrites_;
    ReadHook beforeDataRead_;
};

} // namespace kw
