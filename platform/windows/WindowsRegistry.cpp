// The registry backend on Windows: each operation is the Win32 call of the
// same shape, passed through.

#include "platform/core/RegistryBackend.h"

#include <windows.h>

namespace kw {

namespace {

// The predefined root handles are sign-extended on 64-bit Windows
// (HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002 there), so our 32-bit constants
// are mapped, not cast.
HKEY ToHkey(RegHandle key)
{
    if (key == HKEY_LOCAL_MACHINE_HANDLE)
        return HKEY_LOCAL_MACHINE;
    if (key == 0x80000001u)
        return HKEY_CURRENT_USER;
    return reinterpret_cast<HKEY>(key);
}

class WindowsRegistry final : public RegistryBackend {
public:
    RegStatus CreateKey(RegHandle parent, const std::string& subKey, RegHandle& result) override
    {
        HKEY created = nullptr;
        const LONG status = RegCreateKeyExA(ToHkey(parent), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_ALL_ACCESS, nullptr, &created, nullptr);
        if (status == ERROR_SUCCESS)
            result = reinterpret_cast<RegHandle>(created);
        return status;
    }

    void CloseKey(RegHandle key) override { RegCloseKey(ToHkey(key)); }

    RegStatus QueryValue(RegHandle key, const std::string& name, std::uint32_t* type, unsigned char* data,
                         std::uint32_t* size) override
    {
        // DWORD is unsigned long, not std::uint32_t: go through locals.
        DWORD valueType = 0;
        DWORD valueSize = size ? *size : 0;
        const LONG status = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, type ? &valueType : nullptr, data,
                                             size ? &valueSize : nullptr);
        if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
            if (type)
                *type = valueType;
            if (size)
                *size = valueSize;
        }
        return status;
    }

    RegStatus SetValue(RegHandle key, const std::string& name, std::uint32_t type, const unsigned char* data,
                       std::uint32_t size) override
    {
        return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size);
    }
};

} // namespace

RegistryBackend& SystemRegistry()
{
    static WindowsRegistry registry;
    return registry;
}

} // namespace kw
