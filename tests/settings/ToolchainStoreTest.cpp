// The toolchain store's load and save sequences, run against every registry
// backend: what they leave in the registry and in their targets, and what
// they report, on first start, without access, on odd values and on failures.

#include "settings/ToolchainSettings.h"

#include "platform/core/Exceptions.h"
#include "platform/core/MemoryRegistry.h"
#include "platform/core/Registry.h"
#include "tests/platform/BackendUnderTest.h"
#include "tests/platform/CaseLabels.h"

#include <gtest/gtest.h>

#include <array>

namespace kw::test {
namespace {

using Texts = std::array<std::string, ToolchainSettingCount>;

Texts Numbered(const std::string& prefix)
{
    Texts texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = prefix + ToolchainSettingTable[i].name;
    return texts;
}

// The message of the sequence's failure, "" when it ran through.
template <typename Sequence>
std::string FailureOf(Sequence sequence)
{
    try {
        sequence();
    } catch (const Exception& e) {
        return e.what();
    }
    return {};
}

std::string Load(Texts& targets)
{
    return FailureOf([&targets] {
        RunToolchainLoadSequence([&targets](std::size_t i, const std::string& text) { targets[i] = text; });
    });
}

std::string Save(const Texts& texts)
{
    return FailureOf([&texts] { RunToolchainSaveSequence([&texts](std::size_t i) { return texts[i]; }); });
}

std::string WithNul(const std::string& text)
{
    return text + '\0';
}

HiveValue StringValue(const std::string& name, const std::string& text)
{
    return {name, REG_SZ_TYPE, WithNul(text)};
}

class ToolchainStore : public testing::TestWithParam<BackendKind> {
protected:
    void PutStrings(const Texts& texts)
    {
        for (std::size_t i = 0; i < texts.size(); ++i)
            store->Put(ProductKeyPath, ToolchainSettingTable[i].name, REG_SZ_TYPE, WithNul(texts[i]));
    }

    std::optional<HiveValue> Stored(std::size_t i) const
    {
        return store->Value(ProductKeyPath, ToolchainSettingTable[i].name);
    }

    std::unique_ptr<BackendUnderTest> store = GetParam().make();
    ScopedRegistryOverride registry{store->Backend()};
};

TEST_P(ToolchainStore, FirstStartWithAccessCreatesTheEmptyProductKey)
{
    Texts targets = Numbered("stale-");
    EXPECT_EQ(Load(targets), "");
    EXPECT_EQ(targets, Texts{});
    const auto key = store->Key(ProductKeyPath);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->values.empty());
    EXPECT_EQ(store->OpenKeyCount(), 0u);
}

TEST_P(ToolchainStore, FirstStartWithoutAccessCreatesNothingAndSaveFails)
{
    if (!store->CanDropAccess())
        GTEST_SKIP() << "no unprivileged user to run as here";
    store->WithoutAccess([] {
        Texts targets = Numbered("stale-");
        EXPECT_EQ(Load(targets), "");
        EXPECT_EQ(targets, Texts{});
        EXPECT_EQ(Save(Numbered("new-")), "Failed to create key Kestrelwork");
    });
    EXPECT_TRUE(store->IsUntouched());
}

TEST_P(ToolchainStore, SaveWritesEachTextWithOneNulAndLoadsItBack)
{
    Texts texts = Numbered("C:\\gp2x\\");
    texts[2] = "";
    texts[3] = "-O2 -DNAME=\"a b\"";
    ASSERT_EQ(Save(texts), "");

    EXPECT_EQ(store->Value(ProductKeyPath, ""), StringValue("", "Kestrelwork"));
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(Stored(i), StringValue(ToolchainSettingTable[i].name, texts[i])) << i;
    EXPECT_EQ(Stored(2)->data, std::string(1, '\0'));

    Texts loaded = Numbered("stale-");
    EXPECT_EQ(Load(loaded), "");
    EXPECT_EQ(loaded, texts);
    EXPECT_EQ(store->OpenKeyCount(), 0u);
}

TEST_P(ToolchainStore, ANumberInPCIncludeStopsTheLoadThere)
{
    PutStrings(Numbered("registry-"));
    store->Put(ProductKeyPath, "PCInclude", REG_DWORD_TYPE, std::string("\x2a\0\0\0", 4));

    Texts targets = Numbered("before-");
    EXPECT_EQ(Load(targets), "Invalid data type for 'PCInclude'");
    const Texts registry = Numbered("registry-");
    const Texts before = Numbered("before-");
    for (std::size_t i = 0; i < targets.size(); ++i)
        EXPECT_EQ(targets[i], i < 4 ? registry[i] : before[i]) << i;
    EXPECT_EQ(store->OpenKeyCount(), 0u);
}

TEST_P(ToolchainStore, AFailingWriteKeepsTheLaterValuesAsTheyWere)
{
    if (!store->CanFailWrites())
        GTEST_SKIP() << "this registry cannot be made to fail one write";
    PutStrings(Numbered("former-"));
    Texts texts = Numbered("new-");
    texts[4] = OversizedText();  // PCInclude
    store->WithFailingWrite("PCInclude", [&texts] {
        EXPECT_EQ(Save(texts), "Failed to set data for 'PCInclude'");
    });

    EXPECT_EQ(store->Value(ProductKeyPath, ""), StringValue("", "Kestrelwork"));
    const Texts former = Numbered("former-");
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(Stored(i), StringValue(ToolchainSettingTable[i].name, i < 4 ? texts[i] : former[i])) << i;
}

INSTANTIATE_TEST_SUITE_P(Backends, ToolchainStore, testing::ValuesIn(AllBackendKinds()), CaseLabel());

// ----- how one stored value loads, by its type and bytes -----

struct StoredForm {
    const char* label;
    std::uint32_t type;
    std::string data;
    std::string loaded;   // what the first target holds afterwards
    std::string failure;  // the load's message
};

const StoredForm StoredForms[] = {
    {"ExpandSzLoadsUnexpanded", REG_EXPAND_SZ_TYPE, WithNul("%PATH%;C:\\gp2x"), "%PATH%;C:\\gp2x", ""},
    {"NulInsideCutsTheText", REG_SZ_TYPE, std::string("C:\\gp2x\0old\0", 12), "C:\\gp2x", ""},
    {"NoNulAtAll", REG_SZ_TYPE, "C:\\gp2x", "C:\\gp2x", ""},
    {"OnlyANul", REG_SZ_TYPE, WithNul(""), "", ""},
    {"ZeroLengthString", REG_SZ_TYPE, "", "", ""},
    {"ZeroLengthOfAnyType", REG_BINARY_TYPE, "", "", ""},
    {"RawBytes", REG_BINARY_TYPE, "\x01\x02", "before", "Invalid data type for 'PCCompiler'"},
    {"ListOfStrings", REG_MULTI_SZ_TYPE, std::string("a\0b\0\0", 5), "before", "Invalid data type for 'PCCompiler'"},
};

class ToolchainStoredForm : public testing::TestWithParam<std::tuple<BackendKind, StoredForm>> {};

TEST_P(ToolchainStoredForm, Loads)
{
    const auto& [kind, form] = GetParam();
    const auto store = kind.make();
    const ScopedRegistryOverride registry(store->Backend());
    store->Put(ProductKeyPath, "PCCompiler", form.type, form.data);

    Texts targets;
    targets[0] = "before";
    EXPECT_EQ(Load(targets), form.failure);
    EXPECT_EQ(targets[0], form.loaded);
}

INSTANTIATE_TEST_SUITE_P(Backends, ToolchainStoredForm,
                         testing::Combine(testing::ValuesIn(AllBackendKinds()), testing::ValuesIn(StoredForms)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).label) + "_" + std::get<1>(info.param).label;
                         });

// ----- failures only the memory registry can stage -----

struct ChangeBeforeRead {
    const char* label;
    std::function<void(MemoryRegistry&)> change;
};

const ChangeBeforeRead ChangesBeforeRead[] = {
    {"Grown", [](MemoryRegistry& r) { r.PutValue(ProductKeyPath, "PCLinker", REG_SZ_TYPE, WithNul("longer text")); }},
    {"Removed", [](MemoryRegistry& r) { r.RemoveValue(ProductKeyPath, "PCLinker"); }},
};

class ToolchainValueChangedBeforeRead : public testing::TestWithParam<ChangeBeforeRead> {};

TEST_P(ToolchainValueChangedBeforeRead, FailsTheLoadThere)
{
    MemoryRegistry memory;
    const ScopedRegistryOverride registry(memory);
    for (const auto& setting : ToolchainSettingTable)
        memory.PutValue(ProductKeyPath, setting.name, REG_SZ_TYPE, WithNul("short"));
    memory.BeforeDataRead([&memory](const std::string&, const std::string& name) {
        if (name == "PCLinker")
            GetParam().change(memory);
    });

    Texts targets = Numbered("before-");
    EXPECT_EQ(Load(targets), "Failed to get data for 'PCLinker'");
    const Texts before = Numbered("before-");
    EXPECT_EQ(targets[0], "short");
    EXPECT_EQ(targets[1], "short");
    for (std::size_t i = 2; i < targets.size(); ++i)
        EXPECT_EQ(targets[i], before[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(Memory, ToolchainValueChangedBeforeRead, testing::ValuesIn(ChangesBeforeRead),
                         CaseLabel());

TEST(ToolchainDefaultValue, AFailingWriteIsReportedWithAnEmptyName)
{
    MemoryRegistry memory;
    const ScopedRegistryOverride registry(memory);
    memory.FailWritesOf("");
    EXPECT_EQ(Save(Numbered("new-")), "Failed to set data for ''");
    ASSERT_TRUE(memory.KeyExists(ProductKeyPath));
    EXPECT_TRUE(memory.Contents().FindKey(ProductKeyPath)->values.empty());
}

} // namespace
} // namespace kw::test
