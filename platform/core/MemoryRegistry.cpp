#include "platform/core/MemoryRegistry.h"

#include <algorithm>

namespace kw {

namespace {

constexpr RegStatus InvalidParameter = 87;  // ERROR_INVALID_PARAMETER
constexpr RegStatus BadPathname = 161;      // ERROR_BAD_PATHNAME

bool IsSameOrBelow(const std::string& path, const std::string& ancestor)
{
    if (path.size() < ancestor.size())
        return false;
    const bool boundary = path.size() == ancestor.size() || path[ancestor.size()] == '\\';
    return boundary && EqualsIgnoringAsciiCase(path.substr(0, ancestor.size()), ancestor);
}

std::string ParentPath(const std::string& path)
{
    return path.substr(0, path.rfind('\\'));
}

// The key itself and its ancestors below the root name, outermost first.
std::vector<std::string> KeysOnTheWay(const std::string& path)
{
    std::vector<std::string> keys;
    for (std::size_t cut = path.find('\\'); cut != std::string::npos; cut = path.find('\\', cut + 1))
        keys.push_back(path.substr(0, path.find('\\', cut + 1)));
    return keys;
}

} // namespace

bool MemoryRegistry::IsRefused(const std::string& path) const
{
    return std::any_of(refusedAccess_.begin(), refusedAccess_.end(),
                       [&path](const std::string& refused) { return IsSameOrBelow(path, refused); });
}

// Checks every key on the way before creating any, so a refused create leaves nothing behind.
RegStatus MemoryRegistry::OpenOrCreate(const std::string& path)
{
    if (IsRefused(path))
        return REG_ACCESS_DENIED;
    for (const std::string& key : KeysOnTheWay(path)) {
        if (hive_.FindKey(key))
            continue;
        const std::string parent = ParentPath(key);
        const bool refused = std::any_of(refusedNewSubkeys_.begin(), refusedNewSubkeys_.end(),
                                         [&parent](const std::string& p) { return EqualsIgnoringAsciiCase(p, parent); });
        if (refused)
            return REG_ACCESS_DENIED;
    }
    hive_.CreateKey(path);
    return REG_OK;
}

RegStatus MemoryRegistry::CreateKey(RegHandle parent, const std::string& subKey, RegHandle& result)
{
    const auto parentPath = keys_.PathOf(parent);
    if (!parentPath)
        return REG_INVALID_HANDLE;
    const auto path = JoinKeyPath(*parentPath, subKey);
    if (!path)
        return BadPathname;
    if (const RegStatus status = OpenOrCreate(*path); status != REG_OK)
        return status;
    result = keys_.Open(*path);
    return REG_OK;
}

void MemoryRegistry::CloseKey(RegHandle key)
{
    keys_.Close(key);
}

RegStatus MemoryRegistry::QueryValue(RegHandle key, const std::string& name, std::uint32_t* type,
                                     unsigned char* data, std::uint32_t* size)
{
    const auto path = keys_.PathOf(key);
    if (!path)
        return REG_INVALID_HANDLE;
    if (data && beforeDataRead_)
        beforeDataRead_(*path, name);
    const HiveKey* stored = hive_.FindKey(*path);
    return QueryStoredValue(stored ? stored->FindValue(name) : nullptr, type, data, size);
}

RegStatus MemoryRegistry::SetValue(RegHandle key, const std::string& name, std::uint32_t type,
                                   const unsigned char* data, std::uint32_t size)
{
    const auto path = keys_.PathOf(key);
    if (!path)
        return REG_INVALID_HANDLE;
    if (!data && size != 0)
        return InvalidParameter;
    HiveKey* stored = hive_.FindKey(*path);
    if (!stored)
        return REG_ACCESS_DENIED;  // the root holds no values
    const auto failing = std::find_if(failingWrites_.begin(), failingWrites_.end(),
                                      [&name](const auto& entry) { return EqualsIgnoringAsciiCase(entry.first, name); });
    if (failing != failingWrites_.end())
        return failing->second;
    stored->SetValue(name, type, std::string(reinterpret_cast<const char*>(data), size));
    return REG_OK;
}

void MemoryRegistry::RefuseAccess(const std::string& keyPath)
{
    refusedAccess_.push_back(keyPath);
}

void MemoryRegistry::RefuseNewSubkeys(const std::string& keyPath)
{
    refusedNewSubkeys_.push_back(keyPath);
}

void MemoryRegistry::FailWritesOf(const std::string& valueName, RegStatus status)
{
    failingWrites_.emplace_back(valueName, status);
}

void MemoryRegistry::BeforeDataRead(ReadHook hook)
{
    beforeDataRead_ = std::move(hook);
}

void MemoryRegistry::PutValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                              const std::string& data)
{
    hive_.CreateKey(keyPath);
    if (HiveKey* key = hive_.FindKey(keyPath))
        key->SetValue(name, type, data);
}

void MemoryRegistry::RemoveValue(const std::string& keyPath, const std::string& name)
{
    if (HiveKey* key = hive_.FindKey(keyPath))
        key->RemoveValue(name);
}

bool MemoryRegistry::KeyExists(const std::string& keyPath) const
{
    return hive_.FindKey(keyPath) != nullptr;
}

std::optional<HiveValue> MemoryRegistry::Value(const std::string& keyPath, const std::string& name) const
{
    const HiveKey* key = hive_.FindKey(keyPath);
    const HiveValue* value = key ? key->FindValue(name) : nullptr;
    return value ? std::optional<HiveValue>(*value) : std::nullopt;
}

} // namespace kw
