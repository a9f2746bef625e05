#include "tests/platform/BackendUnderTest.h"

#include "platform/core/MemoryRegistry.h"

namespace kw::test {

namespace {

class MemoryBackendUnderTest : public BackendUnderTest {
public:
    RegistryBackend& Backend() override { return registry_; }
    std::size_t OpenKeyCount() const override { return registry_.OpenKeyCount(); }

    void Put(const std::string& keyPath, const std::string& name, std::uint32_t type,
             const std::string& data) override
    {
        registry_.PutValue(keyPath, name, type, data);
    }

    std::optional<HiveKey> Key(const std::string& keyPath) const override
    {
        const HiveKey* key = registry_.Contents().FindKey(keyPath);
        return key ? std::optional<HiveKey>(*key) : std::nullopt;
    }

    bool IsUntouched() const override { return registry_.Contents().keys.empty(); }

    bool CanDropAccess() const override { return true; }

    void WithoutAccess(const std::function<void()>& scenario) override
    {
        registry_.RefuseAccess(SoftwareKeyPath);
        registry_.RefuseNewSubkeys("HKEY_LOCAL_MACHINE");
        scenario();
    }

    bool CanFailWrites() const override { return true; }
    void WithFailingWrite(const std::string& valueName, const std::function<void()>& scenario) override
    {
        registry_.FailWritesOf(valueName);
        scenario();
    }

private:
    MemoryRegistry registry_;
};

} // namespace

std::optional<HiveValue> BackendUnderTest::Value(const std::string& keyPath, const std::string& name) const
{
    const auto key = Key(keyPath);
    const HiveValue* value = key ? key->FindValue(name) : nullptr;
    return value ? std::optional<HiveValue>(*value) : std::nullopt;
}

const std::string& OversizedText()
{
    static const std::string text(128 * 1024, 'x');
    return text;
}

std::unique_ptr<BackendUnderTest> MakeMemoryBackend()
{
    return std::make_unique<MemoryBackendUnderTest>();
}

std::vector<BackendKind> AllBackendKinds()
{
#ifdef _WIN32
    return {{"Memory", &MakeMemoryBackend}, {"Windows", &MakeWindowsBackend}};
#else
    return {{"Memory", &MakeMemoryBackend}, {"Hive", &MakeHiveBackend}};
#endif
}

} // namespace kw::test
