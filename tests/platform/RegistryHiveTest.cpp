// The POSIX hive: values of every type through the file and back, files
// edited by hand, files we must not touch, who gets access, and two running
// copies writing at once.

#include "platform/posix/RegistryHive.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Registry.h"
#include "platform/core/RegistryFile.h"
#include "settings/ToolchainSettings.h"
#include "tests/platform/CaseLabels.h"
#include "tests/platform/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <map>
#include <set>

namespace kw::test {
namespace {

namespace fs = std::filesystem;

using Texts = std::array<std::string, ToolchainSettingCount>;

std::string Load(Texts& targets)
{
    try {
        RunToolchainLoadSequence([&targets](std::size_t i, const std::string& text) { targets[i] = text; });
    } catch (const Exception& e) {
        return e.what();
    }
    return {};
}

std::string Save(const std::string& prefix)
{
    try {
        RunToolchainSaveSequence([&prefix](std::size_t i) { return prefix + ToolchainSettingTable[i].name; });
    } catch (const Exception& e) {
        return e.what();
    }
    return {};
}

std::set<std::string> Entries(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// A configuration folder of its own, the hive at its default place in it.
class HiveTest : public testing::Test {
protected:
    HiveTest() { fs::permissions(config.Path(), fs::perms(0755)); }

    fs::path Folder() const { return config / "kestrelwork"; }
    fs::path File() const { return Folder() / "registry.reg"; }

    void WriteHive(const std::string& bytes)
    {
        fs::create_directories(Folder());
        WriteFileBytes(File(), bytes);
    }

    std::optional<Hive> Contents() const { return RegistryFile::Parse(ReadFileBytes(File())); }

    RegHandle Open(RegistryBackend& backend, const std::string& subKey)
    {
        RegHandle key = 0;
        EXPECT_EQ(backend.CreateKey(HKEY_LOCAL_MACHINE_HANDLE, subKey, key), REG_OK);
        return key;
    }

    TempFolder config;
    ScopedEnvironment environment{"XDG_CONFIG_HOME", config.Path().string()};
    RegistryHive hive;
    ScopedRegistryOverride registry{hive};
};

// ----- every type of value through the file and back -----

struct Sample {
    const char* label;
    std::uint32_t type;
    std::string data;
};

const Sample Samples[] = {
    {"String", REG_SZ_TYPE, std::string("C:\\gp2x\\bin\0", 12)},
    {"EmptyString", REG_SZ_TYPE, std::string(1, '\0')},
    {"ExpandString", REG_EXPAND_SZ_TYPE, std::string("%PATH%;C:\\gp2x\0", 15)},
    {"Binary", REG_BINARY_TYPE, std::string("\x00\xff\x7f\x80", 4)},
    {"Dword", REG_DWORD_TYPE, std::string("\x2a\x00\x00\x80", 4)},
    {"MultiString", REG_MULTI_SZ_TYPE, std::string("one\0two\0\0", 9)},
    {"Type11", 11, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)},
    {"StringWithoutNul", REG_SZ_TYPE, "no terminator"},
    {"StringWithTwoNuls", REG_SZ_TYPE, std::string("a\0\0", 3)},
    {"StringWithCrLf", REG_SZ_TYPE, std::string("line 1\r\nline 2\0", 15)},
    {"QuotesAndBackslashes", REG_SZ_TYPE, std::string("\"C:\\\\x\\\"\" \\\0", 12)},
    {"NotUtf8", REG_SZ_TYPE, std::string("\xff\xfe\x80\xc3\0", 5)},
    {"LongBinary", REG_BINARY_TYPE, std::string(1000, '\x5a')},
    {"NoData", REG_NONE_TYPE, ""},
};

class HiveValueType : public HiveTest, public testing::WithParamInterface<Sample> {};

TEST_P(HiveValueType, ComesBackAsWritten)
{
    const Sample& sample = GetParam();
    {
        RegistryHive writer(File());
        const RegHandle key = Open(writer, "SOFTWARE\\Kestrelwork");
        ASSERT_EQ(writer.SetValue(key, "Value", sample.type, reinterpret_cast<const unsigned char*>(sample.data.data()),
                                  static_cast<std::uint32_t>(sample.data.size())),
                  REG_OK);
    }
    RegistryHive reader(File());  // nothing carried over in memory
    const RegHandle key = Open(reader, "SOFTWARE\\Kestrelwork");
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    ASSERT_EQ(reader.QueryValue(key, "Value", &type, nullptr, &size), REG_OK);
    std::string data(size, '?');
    ASSERT_EQ(reader.QueryValue(key, "Value", &type, reinterpret_cast<unsigned char*>(data.data()), &size), REG_OK);
    EXPECT_EQ(type, sample.type);
    EXPECT_EQ(data, sample.data);

    const std::string file = ReadFileBytes(File());
    EXPECT_EQ(file.find('\n'), file.find("\r\n") + 1) << "lines end in CR LF";
}

INSTANTIATE_TEST_SUITE_P(Samples, HiveValueType, testing::ValuesIn(Samples),
                         CaseLabel());

// A line break in a name would end its line in the file: such names are
// refused instead of writing a hive that no longer reads back.
TEST_F(HiveTest, RefusesNamesTheFileCannotHold)
{
    const RegHandle key = Open(hive, "SOFTWARE");
    const unsigned char nul = 0;
    EXPECT_NE(hive.SetValue(key, "two\nlines", REG_SZ_TYPE, &nul, 1), REG_OK);
    RegHandle child = 0;
    EXPECT_NE(hive.CreateKey(key, "two\r\nlines", child), REG_OK);
    const auto contents = Contents();
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->keys, (std::vector<HiveKey>{{"HKEY_LOCAL_MACHINE\\SOFTWARE", {}}}));
    hive.CloseKey(key);
}

// ----- files from elsewhere -----

TEST_F(HiveTest, ReadsAFileEditedByHandAndKeepsItsSpelling)
{
    WriteHive("REGEDIT4\n"
              "\n"
              "; written by hand, LF line ends\n"
              "[HKEY_LOCAL_MACHINE\\Software]\n"
              "\n"
              "[hkey_local_machine\\software\\kestrelWORK]\n"
              "\"pccompiler\"=\"C:\\\\MinGW\\\\bin\"\n"
              "\"PCINCLUDE\"=hex(2):25,49,4e,\\\n"
              "  43,25,00\n"
              "\"Other\"=dword:00000001\n");
    Texts targets;
    ASSERT_EQ(Load(targets), "");
    EXPECT_EQ(targets[0], "C:\\MinGW\\bin");
    EXPECT_EQ(targets[4], "%INC%");
    EXPECT_EQ(targets[1], "");

    ASSERT_EQ(Save("new-"), "");
    const auto hive = Contents();
    ASSERT_TRUE(hive);
    ASSERT_EQ(hive->keys.size(), 2u);
    const HiveKey& key = hive->keys[1];
    EXPECT_EQ(key.path, "hkey_local_machine\\software\\kestrelWORK");
    EXPECT_EQ(key.values[0], (HiveValue{"pccompiler", REG_SZ_TYPE, std::string("new-PCCompiler\0", 15)}));
    EXPECT_EQ(key.values[1].name, "PCINCLUDE");
    EXPECT_EQ(key.values[2], (HiveValue{"Other", REG_DWORD_TYPE, std::string("\1\0\0\0", 4)}));
}

struct ForeignFile {
    const char* label;
    const char* bytes;
};

class HiveUnparseable : public HiveTest, public testing::WithParamInterface<ForeignFile> {};

TEST_P(HiveUnparseable, IsNeverWrittenOver)
{
    const std::string original = GetParam().bytes;
    WriteHive(original);
    Texts targets;
    targets.fill("before");
    EXPECT_EQ(Load(targets), "");
    EXPECT_EQ(targets, Texts{});
    EXPECT_EQ(Save("new-"), "Failed to create key Kestrelwork");
    EXPECT_EQ(ReadFileBytes(File()), original);
    EXPECT_EQ(Entries(Folder()).count("registry.reg.tmp"), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HiveUnparseable,
    testing::Values(
        ForeignFile{"NewerEditorFormat", "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n"},
        ForeignFile{"DeletionLine", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork]\r\n\"PCLib\"=-\r\n"},
        ForeignFile{"CutShort", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork]\r\n\"PCLib\"=hex:00,\\\r\n"},
        ForeignFile{"NotARegistryFile", "PCCompiler=C:\\gcc\n"}),
    CaseLabel());

TEST_F(HiveTest, ALinkedHiveIsWrittenAtItsTarget)
{
    const TempFolder dotfiles;
    WriteFileBytes(dotfiles / "registry.reg", "REGEDIT4\r\n\r\n");
    fs::create_directories(Folder());
    fs::create_symlink(dotfiles / "registry.reg", File());
    ASSERT_EQ(Save("linked-"), "");
    EXPECT_TRUE(fs::is_symlink(File()));
    const auto hive = RegistryFile::Parse(ReadFileBytes(dotfiles / "registry.reg"));
    ASSERT_TRUE(hive);
    EXPECT_TRUE(hive->FindKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork")->FindValue("PCLib"));
}

// ----- who may write -----

struct AccessCase {
    const char* label;
    fs::perms folder;  // of kestrelwork/, created by root beforehand
    bool withFile;     // a hive file owned by root, mode 0644
    fs::perms file;
    bool granted;
};

class HiveAccessAsNobody : public HiveTest, public testing::WithParamInterface<AccessCase> {};

TEST_P(HiveAccessAsNobody, FollowsWhetherTheFileOrItsFolderIsWritable)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root can run as an unprivileged user";
    const AccessCase& access = GetParam();
    if (access.withFile) {
        ASSERT_EQ(Save("root-"), "");
        fs::permissions(File(), access.file);
    }
    fs::create_directories(Folder());
    fs::permissions(Folder(), access.folder);
    const std::string before = access.withFile ? ReadFileBytes(File()) : "";

    const int status = RunAsNobody([&access] {
        Texts targets;
        EXPECT_EQ(Load(targets), "");
        EXPECT_EQ(targets[0], access.granted && access.withFile ? "root-PCCompiler" : "");
        EXPECT_EQ(Save("nobody-"), access.granted ? "" : "Failed to create key Kestrelwork");
    });
    EXPECT_EQ(status, 0) << "the run as nobody failed; its messages are above";

    if (!access.granted) {
        EXPECT_EQ(access.withFile ? ReadFileBytes(File()) : "", before);
        EXPECT_EQ(fs::exists(File()), access.withFile);
    } else {
        const auto hive = Contents();
        ASSERT_TRUE(hive);
        EXPECT_EQ(hive->FindKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork")->FindValue("PCLib")->data,
                  std::string("nobody-PCLib\0", 13));
    }
}

constexpr auto Shared = fs::perms(0777);
constexpr auto Closed = fs::perms(0755);

INSTANTIATE_TEST_SUITE_P(
    Cases, HiveAccessAsNobody,
    testing::Values(AccessCase{"FolderNotWritable", Closed, false, {}, false},
                    AccessCase{"FolderWritable", Shared, false, {}, true},
                    AccessCase{"FileNotWritableInAWritableFolder", Shared, true, fs::perms(0644), false},
                    AccessCase{"FileWritable", Shared, true, fs::perms(0666), true}),
    CaseLabel());

TEST_F(HiveTest, WithoutItsConfigurationFolderNobodyGetsNoAccess)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root can run as an unprivileged user";
    EXPECT_EQ(RunAsNobody([] {
                  Texts targets;
                  EXPECT_EQ(Load(targets), "");
                  EXPECT_EQ(Save("nobody-"), "Failed to create key Kestrelwork");
              }),
              0);
    EXPECT_FALSE(fs::exists(Folder()));
}

// ----- commits -----

TEST_F(HiveTest, AFailedCommitLeavesTheOldFileAsItWas)
{
    ASSERT_EQ(Save("old-"), "");
    const std::string before = ReadFileBytes(File());

    const int status = RunInChild([this, &before] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{before.size() + 100, before.size() + 100};  // a disk about to be full
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const RegHandle key = Open(hive, "SOFTWARE\\Kestrelwork");
        const std::string big(1000, 'x');
        EXPECT_NE(hive.SetValue(key, "PCLib", REG_SZ_TYPE, reinterpret_cast<const unsigned char*>(big.c_str()),
                                static_cast<std::uint32_t>(big.size() + 1)),
                  REG_OK);
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFileBytes(File()), before);
    EXPECT_EQ(Entries(Folder()), (std::set<std::string>{"registry.reg", "registry.reg.lock"}));
}

// Two running copies saving over and over: readers never see a partial or
// broken file, no write is lost to the other copy's stale read, and each
// value ends as the last write of it left it.
TEST_F(HiveTest, TwoProcessesSavingAtOnceNeverCorruptIt)
{
    constexpr int Rounds = 40;
    auto saver = [this](const std::string& who) {
        return [this, who] {
            for (int round = 0; round < Rounds; ++round) {
                const std::string tag = who + "-" + std::to_string(round) + "-";
                ASSERT_EQ(Save(tag), "");
                const RegHandle key = Open(hive, "SOFTWARE\\Kestrelwork");
                const std::string own = tag + '\0';
                ASSERT_EQ(hive.SetValue(key, tag, REG_SZ_TYPE, reinterpret_cast<const unsigned char*>(own.data()),
                                        static_cast<std::uint32_t>(own.size())),
                          REG_OK);
                hive.CloseKey(key);
            }
        };
    };
    ASSERT_EQ(Save("start-"), "");
    std::map<pid_t, int> children;  // pid -> exit status, once known
    for (const char* who : {"A", "B"}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            saver(who)();
            _exit(testing::Test::HasFailure() ? 1 : 0);
        }
        children.emplace(child, -1);
    }
    auto running = [&children] {
        bool any = false;
        for (auto& [child, status] : children) {
            int raw = 0;
            if (status < 0 && waitpid(child, &raw, WNOHANG) == child)
                status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            any = any || status < 0;
        }
        return any;
    };
    bool broken = false;
    for (int reads = 0; running(); ++reads) {
        if (!broken && !Contents()) {
            broken = true;  // reported once; the savers are still waited for
            ADD_FAILURE() << "a reader found a broken hive after " << reads << " reads";
        }
    }
    for (const auto& [child, status] : children)
        EXPECT_EQ(status, 0) << "a saving process failed; its messages are above";

    const auto hive = Contents();
    ASSERT_TRUE(hive);
    const HiveKey* key = hive->FindKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork");
    ASSERT_TRUE(key);
    const std::string last = "-" + std::to_string(Rounds - 1) + "-";
    // Each round wrote a value of its own: one lost to a stale read would be missing.
    for (int round = 0; round < Rounds; ++round)
        for (const std::string who : {"A", "B"})
            EXPECT_TRUE(key->FindValue(who + "-" + std::to_string(round) + "-")) << who << round;
    for (const auto& setting : ToolchainSettingTable) {
        const std::string& data = key->FindValue(setting.name)->data;
        EXPECT_TRUE(data == "A" + last + setting.name + '\0' || data == "B" + last + setting.name + '\0') << data;
    }
}

// ----- where the hive is -----

struct LocationCase {
    const char* label;
    std::optional<std::string> xdg;
    std::optional<std::string> home;
    std::optional<std::string> expected;
};

class HiveLocation : public testing::TestWithParam<LocationCase> {};

TEST_P(HiveLocation, FollowsTheEnvironment)
{
    const LocationCase& location = GetParam();
    const ScopedEnvironment xdg("XDG_CONFIG_HOME", location.xdg);
    const ScopedEnvironment home("HOME", location.home);
    const auto found = RegistryHive::DefaultLocation();
    EXPECT_EQ(found ? std::optional<std::string>(found->string()) : std::nullopt, location.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HiveLocation,
    testing::Values(LocationCase{"Xdg", "/x/config", "/home/u", "/x/config/kestrelwork/registry.reg"},
                    LocationCase{"XdgEmpty", "", "/home/u", "/home/u/.config/kestrelwork/registry.reg"},
                    LocationCase{"XdgUnset", std::nullopt, "/home/u", "/home/u/.config/kestrelwork/registry.reg"},
                    LocationCase{"XdgRelative", "config", "/home/u", "/home/u/.config/kestrelwork/registry.reg"},
                    LocationCase{"Neither", std::nullopt, std::nullopt, std::nullopt}),
    CaseLabel());

TEST_F(HiveTest, LooksUpItsLocationAtEveryOperation)
{
    ASSERT_EQ(Save("first-"), "");
    const TempFolder other;
    const ScopedEnvironment moved("XDG_CONFIG_HOME", other.Path().string());
    Texts targets;
    ASSERT_EQ(Load(targets), "");
    EXPECT_EQ(targets[0], "");
    ASSERT_EQ(Save("second-"), "");
    EXPECT_TRUE(fs::exists(other / "kestrelwork" / "registry.reg"));
    EXPECT_EQ(Contents()->FindKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork")->FindValue("PCLib")->data,
              std::string("first-PCLib\0", 12));
}

} // namespace
} // namespace kw::test
