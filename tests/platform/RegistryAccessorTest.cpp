// TRegistry: one current key, names relative to it (or to the root while none
// is current), failed opens that change nothing.

#include "platform/core/Registry.h"

#include "platform/core/Exceptions.h"
#include "platform/core/MemoryRegistry.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

const std::string Software = "HKEY_LOCAL_MACHINE\\SOFTWARE";

class RegistryAccessor : public testing::Test {
protected:
    RegistryAccessor() { registry.SetRootKey(HKEY_LOCAL_MACHINE_HANDLE); }

    std::string StoredText(const std::string& keyPath, const std::string& name) const
    {
        const auto value = memory.Value(keyPath, name);
        return value ? value->data : "<missing>";
    }

    MemoryRegistry memory;
    TRegistry registry{memory};
};

TEST_F(RegistryAccessor, OpensRelativeToTheCurrentKeyAndHoldsOnlyThatOne)
{
    ASSERT_TRUE(registry.OpenKey("SOFTWARE"));
    ASSERT_TRUE(registry.OpenKey("Kestrelwork\\Sub"));
    EXPECT_EQ(memory.OpenKeyCount(), 1u);
    registry.WriteString("Name", "text");
    EXPECT_EQ(StoredText(Software + "\\Kestrelwork\\Sub", "Name"), std::string("text\0", 5));
    EXPECT_EQ(registry.ReadString("NAME"), "text");
}

TEST_F(RegistryAccessor, CreateKeyLeavesTheCurrentKeyAndClosesItsHandle)
{
    ASSERT_TRUE(registry.OpenKey("SOFTWARE"));
    registry.CreateKey("Kestrelwork");
    EXPECT_TRUE(memory.KeyExists(Software + "\\Kestrelwork"));
    EXPECT_EQ(memory.OpenKeyCount(), 1u);
    registry.WriteString("", "here");
    EXPECT_EQ(StoredText(Software, ""), std::string("here\0", 5));
}

TEST_F(RegistryAccessor, AFailedOpenChangesNothing)
{
    ASSERT_TRUE(registry.OpenKey("SOFTWARE"));
    memory.RefuseAccess(Software + "\\Locked");
    EXPECT_FALSE(registry.OpenKey("Locked"));
    EXPECT_FALSE(memory.KeyExists(Software + "\\Locked"));
    EXPECT_EQ(memory.OpenKeyCount(), 1u);
    registry.WriteString("Still", "software");
    EXPECT_EQ(StoredText(Software, "Still"), std::string("software\0", 9));
    EXPECT_THROW(registry.CreateKey("Locked"), Exception);
}

TEST_F(RegistryAccessor, WithNoCurrentKeyReadsFindNothingAndWritesFail)
{
    EXPECT_EQ(registry.ReadString("Name"), "");
    try {
        registry.WriteString("Name", "text");
        FAIL() << "the write succeeded";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'Name'");
    }
}

TEST_F(RegistryAccessor, ReleasingTheAccessorClosesTheCurrentKey)
{
    {
        TRegistry scoped(memory);
        scoped.SetRootKey(HKEY_LOCAL_MACHINE_HANDLE);
        ASSERT_TRUE(scoped.OpenKey("SOFTWARE"));
        EXPECT_EQ(memory.OpenKeyCount(), 1u);
    }
    EXPECT_EQ(memory.OpenKeyCount(), 0u);
}

} // namespace
} // namespace kw
