#include "registry/RegistryKey.h"

namespace registry {

RegistryKey::RegistryKey(const char* subKey) {
    platform::RegOpenKeyExA(platform::kHkeyLocalMachine, subKey, 0, platform::kKeySpecificAllAccess,
                            &handle_);
}

RegistryKey::~RegistryKey() {
    Close();
}

void RegistryKey::Close() {
    if (handle_ != 0) {
        platform::RegCloseKey(handle_);
        handle_ = 0;
    }
}

}  // namespace registry
