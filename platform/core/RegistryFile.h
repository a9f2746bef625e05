#pragma once
// The hive's file format, REGEDIT4 as the Windows registry editor exports it,
// and the key tree the backends keep: keys by full path in file order, each
// with its values in order. Data is kept as raw bytes, whatever the type.

#include "platform/core/RegistryBackend.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kw {

struct HiveValue {
    std::string name;  // "" is the key's default value
    std::uint32_t type = REG_NONE_TYPE;
    std::string data;  // raw bytes

    friend bool operator==(const HiveValue&, const HiveValue&) = default;
};

struct HiveKey {
    std::string path;  // full path from the root name, e.g. HKEY_LOCAL_MACHINE\SOFTWARE
    std::vector<HiveValue> values;

    const HiveValue* FindValue(const std::string& name) const;
    HiveValue* FindValue(const std::string& name);
    // Replaces the data and type of an existing value (keeping the case of its
    // name as first written) or appends a new one. False when nothing changed.
    bool SetValue(const std::string& name, std::uint32_t type, const std::string& data);
    bool RemoveValue(const std::string& name);

    friend bool operator==(const HiveKey&, const HiveKey&) = default;
};

struct Hive {
    std::vector<HiveKey> keys;

    HiveKey* FindKey(const std::string& path);
    const HiveKey* FindKey(const std::string& path) const;
    // Adds the key and each missing ancestor below its root name (a root key
    // gets no entry of its own). False when the key existed already.
    bool CreateKey(const std::string& path);

    friend bool operator==(const Hive&, const Hive&) = default;
};

// Key and value names compare ignoring ASCII case, as in the Windows registry.
bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b);

// The root key names the backends know: HKEY_LOCAL_MACHINE only.
std::optional<std::string> RootKeyPath(RegHandle root);

// The open keys of a backend: each handle stands for a full key path; the
// root handles stand for their root names without being opened.
class KeyHandleTable {
public:
    RegHandle Open(const std::string& path);
    void Close(RegHandle key) { paths_.erase(key); }
    std::optional<std::string> PathOf(RegHandle key) const;
    std::size_t OpenCount() const { return paths_.size(); }

private:
    std::map<RegHandle, std::string> paths_;
    RegHandle next_ = 1;
};

// `parent` + "\" + `subKey`, or `parent` for an empty subKey; nullopt when the
// subKey has an empty component or a character a header line cannot hold.
std::optional<std::string> JoinKeyPath(const std::string& parent, const std::string& subKey);

// False for names the file cannot hold: a line break ends the value line.
bool IsStorableValueName(const std::string& name);

// RegQueryValueExA's answer for a stored value (null: no such value).
RegStatus QueryStoredValue(const HiveValue* value, std::uint32_t* type, unsigned char* data,
                           std::uint32_t* size);

namespace RegistryFile {

// nullopt when `bytes` is not a REGEDIT4 file we can read back exactly.
std::optional<Hive> Parse(const std::string& bytes);

// CR LF line ends, hex data wrapped near 80 columns. Names must be storable.
std::string Serialize(const Hive& hive);

} // namespace RegistryFile

} // namespace kw
