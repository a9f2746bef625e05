#include "platform/core/Registry.h"

#include "platform/core/Exceptions.h"

#include <algorithm>
#include <vector>

namespace kw {

namespace {
RegistryBackend* overrideBackend = nullptr;
}

RegistryBackend& CurrentRegistry()
{
    return overrideBackend ? *overrideBackend : SystemRegistry();
}

ScopedRegistryOverride::ScopedRegistryOverride(RegistryBackend& backend)
    : previous_(overrideBackend)
{
    overrideBackend = &backend;
}

ScopedRegistryOverride::~ScopedRegistryOverride()
{
    overrideBackend = previous_;
}

TRegistry::TRegistry(RegistryBackend& backend) : backend_(backend) {}

TRegistry::~TRegistry()
{
    CloseKey();
}

void TRegistry::SetRootKey(RegHandle root)
{
    CloseKey();
    root_ = root;
}

bool TRegistry::OpenKey(const std::string& key)
{
    RegHandle opened = 0;
    if (backend_.CreateKey(Base(), key, opened) != REG_OK)
        return false;
    CloseKey();
    current_ = opened;
    return true;
}

void TRegistry::CreateKey(const std::string& key)
{
    RegHandle created = 0;
    if (backend_.CreateKey(Base(), key, created) != REG_OK)
        throw Exception(Format("Failed to create key %s", key));
    backend_.CloseKey(created);
}

void TRegistry::CloseKey()
{
    if (current_) {
        backend_.CloseKey(*current_);
        current_.reset();
    }
}

std::string TRegistry::ReadString(const std::string& name)
{
    if (!current_)
        return {};
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (backend_.QueryValue(*current_, name, &type, nullptr, &size) != REG_OK || size == 0)
        return {};
    std::vector<unsigned char> buffer(size);
    if (backend_.QueryValue(*current_, name, &type, buffer.data(), &size) != REG_OK)
        throw Exception(Format("Failed to get data for '%s'", name));
    if (type != REG_SZ_TYPE && type != REG_EXPAND_SZ_TYPE)
        throw Exception(Format("Invalid data type for '%s'", name));
    // The text ends at its first NUL; a read that came back shorter ends there too.
    std::string text(reinterpret_cast<const char*>(buffer.data()), std::min<std::size_t>(size, buffer.size()));
    return text.substr(0, text.find('\0'));
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    const auto* data = reinterpret_cast<const unsigned char*>(value.c_str());
    const auto size = static_cast<std::uint32_t>(value.size() + 1);
    if (!current_ || backend_.SetValue(*current_, name, REG_SZ_TYPE, data, size) != REG_OK)
        throw Exception(Format("Failed to set data for '%s'", name));
}

} // namespace kw
