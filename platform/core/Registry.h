#pragma once
// TRegistry, the registry accessor: one current key at a time, opened
// relative to the current key or, while none is current, to the root.

#include "platform/core/RegistryBackend.h"

#include <optional>
#include <string>

namespace kw {

class TRegistry {
public:
    explicit TRegistry(RegistryBackend& backend = CurrentRegistry());
    ~TRegistry();  // closes the current key
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    void SetRootKey(RegHandle root);
    RegHandle RootKey() const { return root_; }
    bool HasCurrentKey() const { return current_.has_value(); }

    // Create-or-open with full access. Success makes the key current and closes
    // the previous one; failure changes nothing and is not reported.
    bool OpenKey(const std::string& key);

    // Creates the key and closes its handle at once; the current key stays.
    // Throws "Failed to create key %s".
    void CreateKey(const std::string& key);

    void CloseKey();

    // "" when the value is missing, empty or no key is current. Throws
    // "Failed to get data for '%s'" and "Invalid data type for '%s'".
    std::string ReadString(const std::string& name);

    // Writes a REG_SZ value: the text and one NUL. Throws "Failed to set data for '%s'".
    void WriteString(const std::string& name, const std::string& value);

private:
    RegHandle Base() const { return current_ ? *current_ : root_; }

    RegistryBackend& backend_;
    RegHandle root_ = 0x80000001u;  // HKEY_CURRENT_USER, until a root is set
    std::optional<RegHandle> current_;
};

} // namespace kw
