// What every registry backend does the way the Windows registry does it, so
// that a test on the memory registry says something about the hive and Windows.

#include "tests/platform/BackendUnderTest.h"

#include <gtest/gtest.h>

namespace kw::test {
namespace {

class RegistryBackendSemantics : public testing::TestWithParam<BackendKind> {
protected:
    RegHandle Open(const std::string& subKey, RegHandle parent = HKEY_LOCAL_MACHINE_HANDLE)
    {
        RegHandle key = 0;
        EXPECT_EQ(registry.CreateKey(parent, subKey, key), REG_OK) << subKey;
        return key;
    }

    RegStatus Set(RegHandle key, const std::string& name, std::uint32_t type, const std::string& data)
    {
        return registry.SetValue(key, name, type, reinterpret_cast<const unsigned char*>(data.data()),
                                 static_cast<std::uint32_t>(data.size()));
    }

    std::unique_ptr<BackendUnderTest> backend = GetParam().make();
    RegistryBackend& registry = backend->Backend();
};

TEST_P(RegistryBackendSemantics, QueryAnswersLikeRegQueryValueEx)
{
    const RegHandle key = Open("SOFTWARE\\Kestrelwork");
    ASSERT_EQ(Set(key, "Value", REG_BINARY_TYPE, "12345"), REG_OK);

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry.QueryValue(key, "value", &type, nullptr, &size), REG_OK);
    EXPECT_EQ(type, REG_BINARY_TYPE);
    EXPECT_EQ(size, 5u);

    unsigned char small[4] = {};
    size = sizeof small;
    EXPECT_EQ(registry.QueryValue(key, "VALUE", &type, small, &size), REG_MORE_DATA);
    EXPECT_EQ(size, 5u);

    unsigned char large[8] = {};
    size = sizeof large;
    EXPECT_EQ(registry.QueryValue(key, "Value", nullptr, large, &size), REG_OK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(large), size), "12345");

    EXPECT_EQ(registry.QueryValue(key, "Missing", &type, nullptr, &size), REG_FILE_NOT_FOUND);
    registry.CloseKey(key);
}

TEST_P(RegistryBackendSemantics, CreateMakesTheKeysOnTheWayAndNamesIgnoreCase)
{
    const RegHandle deep = Open("SOFTWARE\\Kestrelwork\\Deep");
    ASSERT_EQ(Set(deep, "Name", REG_SZ_TYPE, std::string("one\0", 4)), REG_OK);
    EXPECT_TRUE(backend->Key("HKEY_LOCAL_MACHINE\\SOFTWARE"));
    EXPECT_TRUE(backend->Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork"));

    const RegHandle software = Open("software");
    const RegHandle same = Open("KESTRELWORK\\deep", software);
    ASSERT_EQ(Set(same, "NAME", REG_SZ_TYPE, std::string("two\0", 4)), REG_OK);

    const auto key = backend->Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork\\Deep");
    ASSERT_TRUE(key);
    // The keys this case made keep the spelling of their creation; SOFTWARE
    // keeps the system's ("Software" in a Wine prefix).
    EXPECT_TRUE(key->path.ends_with("\\Kestrelwork\\Deep")) << key->path;
    EXPECT_EQ(key->values, (std::vector<HiveValue>{{"Name", REG_SZ_TYPE, std::string("two\0", 4)}}));
    for (RegHandle handle : {deep, software, same})
        registry.CloseKey(handle);
    EXPECT_EQ(backend->OpenKeyCount(), 0u);
}

TEST_P(RegistryBackendSemantics, AClosedHandleIsInvalid)
{
    const RegHandle key = Open("SOFTWARE");
    registry.CloseKey(key);
    RegHandle child = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry.CreateKey(key, "Child", child), REG_INVALID_HANDLE);
    EXPECT_EQ(registry.QueryValue(key, "", nullptr, nullptr, &size), REG_INVALID_HANDLE);
    EXPECT_EQ(Set(key, "", REG_SZ_TYPE, std::string(1, '\0')), REG_INVALID_HANDLE);
    EXPECT_FALSE(backend->Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Child"));
}

TEST_P(RegistryBackendSemantics, AnEmptySubkeyOpensTheKeyItselfAndEmptyComponentsAreRefused)
{
    const RegHandle software = Open("SOFTWARE");
    const RegHandle itself = Open("", software);
    ASSERT_EQ(Set(itself, "x", REG_SZ_TYPE, std::string(1, '\0')), REG_OK);
    EXPECT_TRUE(backend->Value(SoftwareKeyPath, "x"));

    // A leading backslash is refused everywhere. The system's registry (Wine's
    // as Windows') skips the other empty components ("Trailing\\" opens
    // "Trailing"), where ours refuse them.
    const bool system = std::string(GetParam().label) == "Windows";
    const std::pair<const char*, const char*> odd[] = {
        {"\\Leading", "Leading"}, {"Trailing\\", "Trailing"}, {"Double\\\\Backslash", "Double"}};
    for (const auto& [subKey, firstName] : odd) {
        const bool opensHere = system && subKey[0] != '\\';
        RegHandle key = 0;
        const RegStatus status = registry.CreateKey(software, subKey, key);
        EXPECT_EQ(status == REG_OK, opensHere) << subKey;
        if (status == REG_OK)
            registry.CloseKey(key);
        EXPECT_EQ(backend->Key(SoftwareKeyPath + "\\" + firstName).has_value(), opensHere) << firstName;
    }
    registry.CloseKey(itself);
    registry.CloseKey(software);
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryBackendSemantics, testing::ValuesIn(AllBackendKinds()), CaseLabel());

} // namespace
} // namespace kw::test
