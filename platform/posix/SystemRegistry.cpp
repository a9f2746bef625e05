#include "platform/core/RegistryBackend.h"
#include "platform/posix/RegistryHive.h"

namespace kw {

RegistryBackend& SystemRegistry()
{
    static RegistryHive hive;
    return hive;
}

} // namespace kw
