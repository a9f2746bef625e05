#include "tests/platform/BackendUnderTest.h"

#include "platform/posix/RegistryHive.h"
#include "tests/platform/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <csignal>
#include <filesystem>

#include <sys/resource.h>

namespace kw::test {

namespace {

// Between the largest hive a case writes normally and OversizedText().
constexpr rlim_t FileSizeLimit = 64 * 1024;

class HiveBackendUnderTest : public BackendUnderTest {
public:
    HiveBackendUnderTest()
    {
        // Nobody must be able to reach the hive's folder, and no further.
        std::filesystem::permissions(config_.Path(), std::filesystem::perms(0755));
    }

    RegistryBackend& Backend() override { return hive_; }
    std::size_t OpenKeyCount() const override { return hive_.OpenKeyCount(); }

    void Put(const std::string& keyPath, const std::string& name, std::uint32_t type,
             const std::string& data) override
    {
        Hive hive = Contents().value_or(Hive{});
        hive.CreateKey(keyPath);
        hive.FindKey(keyPath)->SetValue(name, type, data);
        std::filesystem::create_directories(File().parent_path());
        WriteFileBytes(File(), RegistryFile::Serialize(hive));
    }

    std::optional<HiveKey> Key(const std::string& keyPath) const override
    {
        const auto hive = Contents();
        const HiveKey* key = hive ? hive->FindKey(keyPath) : nullptr;
        return key ? std::optional<HiveKey>(*key) : std::nullopt;
    }

    bool IsUntouched() const override { return !std::filesystem::exists(File()); }

    bool CanDropAccess() const override { return IsRoot(); }

    void WithoutAccess(const std::function<void()>& scenario) override
    {
        EXPECT_EQ(RunAsNobody(scenario), 0) << "the run as nobody failed; its messages are above";
    }

    bool CanFailWrites() const override { return true; }
    // The file size limit stands in for a full disk or an exhausted quota.
    void WithFailingWrite(const std::string&, const std::function<void()>& scenario) override
    {
        const int status = RunInChild([&scenario] {
            std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed process
            const rlimit limit{FileSizeLimit, FileSizeLimit};
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
            scenario();
        });
        EXPECT_EQ(status, 0) << "the run under a file size limit failed; its messages are above";
    }

    std::filesystem::path File() const { return config_ / "kestrelwork" / "registry.reg"; }

private:
    // nullopt when the file is missing; an unparseable file fails the test.
    std::optional<Hive> Contents() const
    {
        if (!std::filesystem::exists(File()))
            return std::nullopt;
        auto hive = RegistryFile::Parse(ReadFileBytes(File()));
        EXPECT_TRUE(hive) << "the hive file does not parse";
        return hive;
    }

    TempFolder config_;
    ScopedEnvironment environment_{"XDG_CONFIG_HOME", config_.Path().string()};
    RegistryHive hive_;  // at the default location, so XDG_CONFIG_HOME is obeyed
};

} // namespace

std::unique_ptr<BackendUnderTest> MakeHiveBackend()
{
    return std::make_unique<HiveBackendUnderTest>();
}

} // namespace kw::test
