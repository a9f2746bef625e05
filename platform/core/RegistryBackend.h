#pragma once
// The seam between the registry accessor and a registry. Its operations have
// the shape of the four Win32 calls the accessor needs, so that the Windows
// backend is a thin pass-through and the others behave like it.

#include <cstdint>
#include <string>

namespace kw {

using RegHandle = std::uintptr_t;
using RegStatus = long;  // a Windows error code; 0 is success

inline constexpr RegHandle HKEY_LOCAL_MACHINE_HANDLE = 0x80000002u;

enum RegType : std::uint32_t {
    REG_NONE_TYPE = 0,
    REG_SZ_TYPE = 1,
    REG_EXPAND_SZ_TYPE = 2,
    REG_BINARY_TYPE = 3,
    REG_DWORD_TYPE = 4,
    REG_MULTI_SZ_TYPE = 7,
};

inline constexpr RegStatus REG_OK = 0;
inline constexpr RegStatus REG_FILE_NOT_FOUND = 2;
inline constexpr RegStatus REG_ACCESS_DENIED = 5;
inline constexpr RegStatus REG_INVALID_HANDLE = 6;
inline constexpr RegStatus REG_MORE_DATA = 234;
inline constexpr RegStatus REG_KEY_DELETED = 1018;

class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;

    // RegCreateKeyExA with KEY_ALL_ACCESS, non-volatile: opens the key below
    // `parent`, creating it and any missing keys on the way.
    virtual RegStatus CreateKey(RegHandle parent, const std::string& subKey, RegHandle& result) = 0;

    // RegCloseKey.
    virtual void CloseKey(RegHandle key) = 0;

    // RegQueryValueExA: with data null, reports type and size only; with a
    // buffer smaller than the value, reports the size needed and REG_MORE_DATA.
    // An empty name is the key's default value.
    virtual RegStatus QueryValue(RegHandle key, const std::string& name, std::uint32_t* type,
                                 unsigned char* data, std::uint32_t* size) = 0;

    // RegSetValueExA.
    virtual RegStatus SetValue(RegHandle key, const std::string& name, std::uint32_t type,
                               const unsigned char* data, std::uint32_t size) = 0;
};

// The registry the program uses: the Windows registry, or our hive file on POSIX.
RegistryBackend& SystemRegistry();

// The backend that TRegistry objects use; tests point it at a double.
RegistryBackend& CurrentRegistry();

// While alive, CurrentRegistry() is `backend`.
class ScopedRegistryOverride {
public:
    explicit ScopedRegistryOverride(RegistryBackend& backend);
    ~ScopedRegistryOverride();
    ScopedRegistryOverride(const ScopedRegistryOverride&) = delete;
    ScopedRegistryOverride& operator=(const ScopedRegistryOverride&) = delete;

private:
    RegistryBackend* previous_;
};

} // namespace kw
