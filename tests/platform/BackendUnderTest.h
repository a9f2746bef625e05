#pragma once
// One interface over the registry backends that tests run the same cases
// against: the in-memory registry, the hive file and, on Windows, the
// system's registry. Inspection goes around
// the backend under test (the hive's file is parsed directly), so a case sees
// what was really stored.

#include "platform/core/RegistryBackend.h"
#include "platform/core/RegistryFile.h"
#include "tests/platform/CaseLabels.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kw::test {

inline const std::string SoftwareKeyPath = "HKEY_LOCAL_MACHINE\\SOFTWARE";
inline const std::string ProductKeyPath = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork";

class BackendUnderTest {
public:
    virtual ~BackendUnderTest() = default;

    virtual RegistryBackend& Backend() = 0;
    virtual std::size_t OpenKeyCount() const = 0;

    // Stores any type and bytes, creating the key and its ancestors.
    virtual void Put(const std::string& keyPath, const std::string& name, std::uint32_t type,
                     const std::string& data) = 0;
    virtual std::optional<HiveKey> Key(const std::string& keyPath) const = 0;
    std::optional<HiveValue> Value(const std::string& keyPath, const std::string& name) const;
    // Nothing at all has been stored.
    virtual bool IsUntouched() const = 0;

    // Runs `scenario` as a user who may neither open SOFTWARE with full access
    // nor create keys at the root. Only where CanDropAccess().
    virtual bool CanDropAccess() const = 0;
    virtual void WithoutAccess(const std::function<void()>& scenario) = 0;

    // Runs `scenario` with the write of `valueName` failing. The hive fails it
    // with a real file size limit, so the scenario must give that value
    // OversizedText() and keep every other write small. Only where CanFailWrites().
    virtual bool CanFailWrites() const = 0;
    virtual void WithFailingWrite(const std::string& valueName, const std::function<void()>& scenario) = 0;
};

const std::string& OversizedText();

struct BackendKind {
    const char* label;
    std::unique_ptr<BackendUnderTest> (*make)();
};

std::unique_ptr<BackendUnderTest> MakeMemoryBackend();
std::unique_ptr<BackendUnderTest> MakeHiveBackend();     // POSIX only
std::unique_ptr<BackendUnderTest> MakeWindowsBackend();  // Windows only

// Every backend this platform has, for INSTANTIATE_TEST_SUITE_P (with CaseLabel).
std::vector<BackendKind> AllBackendKinds();

} // namespace kw::test
