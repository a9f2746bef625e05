// The system's own registry under test: Windows', or Wine's in its prefix.
// Cases reach it through SystemRegistry(), as the program does, and look at
// what was stored with the raw Win32 calls. They work at the product's key,
// so each one starts without it and puts back afterwards whatever was there,
// also below SOFTWARE itself, where one case writes a value.

#include "tests/platform/BackendUnderTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include <windows.h>

namespace kw::test {

namespace {

const std::string RootPrefix = "HKEY_LOCAL_MACHINE\\";
const std::string SoftwareSubKey = "SOFTWARE";
const std::string ProductSubKey = "SOFTWARE\\Kestrelwork";

// "HKEY_LOCAL_MACHINE\SOFTWARE\..." below the root; the cases use no other root.
std::string SubKeyOf(const std::string& keyPath)
{
    EXPECT_EQ(keyPath.rfind(RootPrefix, 0), 0u) << keyPath;
    return keyPath.substr(RootPrefix.size());
}

class OpenedKey {
public:
    explicit OpenedKey(const std::string& subKey, REGSAM access = KEY_READ)
    {
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, access, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~OpenedKey()
    {
        if (key_)
            ::RegCloseKey(key_);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    explicit operator bool() const { return key_ != nullptr; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::vector<HiveValue> ValuesOf(HKEY key)
{
    DWORD nameLength = 0;
    DWORD dataLength = 0;
    EXPECT_EQ(::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &nameLength,
                                 &dataLength, nullptr, nullptr),
              ERROR_SUCCESS);
    std::vector<HiveValue> values;
    std::string name(nameLength + 1, '\0');
    std::string data(dataLength, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG status = ::RegEnumValueA(key, index, name.data(), &nameSize, nullptr, &type,
                                            reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS)
            return values;
        EXPECT_EQ(status, ERROR_SUCCESS) << "enumerating value " << index;
        if (status != ERROR_SUCCESS)
            return values;
        values.push_back({name.substr(0, nameSize), type, data.substr(0, dataSize)});
    }
}

std::vector<std::string> SubKeyNamesOf(HKEY key)
{
    std::vector<std::string> names;
    char name[256];  // a key name's limit
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        if (::RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        names.emplace_back(name, size);
    }
}

// The key's path as the registry spells it, which is the spelling of its creation.
std::optional<std::string> StoredPath(const std::string& subKey)
{
    std::string stored = "HKEY_LOCAL_MACHINE";
    std::string parent;
    for (std::size_t start = 0; start <= subKey.size();) {
        const std::size_t end = std::min(subKey.find('\\', start), subKey.size());
        const std::string component = subKey.substr(start, end - start);
        const OpenedKey key(parent);
        if (!key)
            return std::nullopt;
        std::optional<std::string> spelling;
        for (const std::string& name : SubKeyNamesOf(key.Get())) {
            if (EqualsIgnoringAsciiCase(name, component))
                spelling = name;
        }
        if (!spelling)
            return std::nullopt;
        stored += "\\" + *spelling;
        parent += (parent.empty() ? "" : "\\") + *spelling;
        start = end + 1;
    }
    return stored;
}

// The keys and values below `subKey`, parents before their children.
void CollectTree(const std::string& subKey, Hive& tree)
{
    const OpenedKey key(subKey);
    if (!key)
        return;
    tree.keys.push_back({RootPrefix + subKey, ValuesOf(key.Get())});
    for (const std::string& child : SubKeyNamesOf(key.Get()))
        CollectTree(subKey + "\\" + child, tree);
}

void StoreValue(HKEY key, const HiveValue& value)
{
    EXPECT_EQ(::RegSetValueExA(key, value.name.c_str(), 0, value.type,
                               reinterpret_cast<const BYTE*>(value.data.data()),
                               static_cast<DWORD>(value.data.size())),
              ERROR_SUCCESS)
        << value.name;
}

HKEY CreateKey(const std::string& subKey)
{
    HKEY key = nullptr;
    EXPECT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << subKey;
    return key;
}

// Passes every call to the system's registry and keeps the handles that are
// open, since the registry itself gives no count of them.
class HandleCountingRegistry : public RegistryBackend {
public:
    RegStatus CreateKey(RegHandle parent, const std::string& subKey, RegHandle& result) override
    {
        const RegStatus status = system_.CreateKey(parent, subKey, result);
        if (status == REG_OK)
            open_.insert(result);
        return status;
    }

    void CloseKey(RegHandle key) override
    {
        open_.erase(key);
        system_.CloseKey(key);
    }

    RegStatus QueryValue(RegHandle key, const std::string& name, std::uint32_t* type, unsigned char* data,
                         std::uint32_t* size) override
    {
        return system_.QueryValue(key, name, type, data, size);
    }

    RegStatus SetValue(RegHandle key, const std::string& name, std::uint32_t type, const unsigned char* data,
                       std::uint32_t size) override
    {
        return system_.SetValue(key, name, type, data, size);
    }

    std::size_t OpenCount() const { return open_.size(); }

private:
    RegistryBackend& system_ = SystemRegistry();
    std::set<RegHandle> open_;
};

class WindowsBackendUnderTest : public BackendUnderTest {
public:
    WindowsBackendUnderTest()
    {
        const OpenedKey software(SoftwareSubKey);
        if (software)
            softwareValues_ = ValuesOf(software.Get());
        CollectTree(ProductSubKey, productTree_);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, ProductSubKey.c_str());
    }

    ~WindowsBackendUnderTest() override
    {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, ProductSubKey.c_str());
        for (const HiveKey& saved : productTree_.keys) {
            const HKEY key = CreateKey(SubKeyOf(saved.path));
            for (const HiveValue& value : saved.values)
                StoreValue(key, value);
            ::RegCloseKey(key);
        }
        const OpenedKey software(SoftwareSubKey, KEY_ALL_ACCESS);
        if (!software)
            return;
        for (const HiveValue& value : ValuesOf(software.Get())) {
            const auto saved = std::find_if(softwareValues_.begin(), softwareValues_.end(),
                                            [&value](const HiveValue& v) { return EqualsIgnoringAsciiCase(v.name, value.name); });
            if (saved == softwareValues_.end())
                ::RegDeleteValueA(software.Get(), value.name.c_str());
            else if (!(*saved == value))
                StoreValue(software.Get(), *saved);
        }
    }

    RegistryBackend& Backend() override { return registry_; }
    std::size_t OpenKeyCount() const override { return registry_.OpenCount(); }

    void Put(const std::string& keyPath, const std::string& name, std::uint32_t type,
             const std::string& data) override
    {
        const HKEY key = CreateKey(SubKeyOf(keyPath));
        StoreValue(key, {name, type, data});
        ::RegCloseKey(key);
    }

    std::optional<HiveKey> Key(const std::string& keyPath) const override
    {
        const std::string subKey = SubKeyOf(keyPath);
        const OpenedKey key(subKey);
        if (!key)
            return std::nullopt;
        return HiveKey{StoredPath(subKey).value_or(keyPath), ValuesOf(key.Get())};
    }

    bool IsUntouched() const override { return !OpenedKey(ProductSubKey); }

    // Everyone is an administrator in a Wine prefix, and on Windows the cases
    // would need a second account.
    bool CanDropAccess() const override { return false; }
    void WithoutAccess(const std::function<void()>&) override { ADD_FAILURE() << "no unprivileged user here"; }

    // Neither Windows nor Wine lets a registry write be made to fail for one value.
    bool CanFailWrites() const override { return false; }
    void WithFailingWrite(const std::string&, const std::function<void()>&) override
    {
        ADD_FAILURE() << "no way to make one write fail here";
    }

private:
    HandleCountingRegistry registry_;
    std::vector<HiveValue> softwareValues_;
    Hive productTree_;
};

} // namespace

std::unique_ptr<BackendUnderTest> MakeWindowsBackend()
{
    return std::make_unique<WindowsBackendUnderTest>();
}

} // namespace kw::test
