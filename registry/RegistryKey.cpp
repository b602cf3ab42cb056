#include "registry/RegistryKey.h"

namespace registry {

RegistryKey::RegistryKey(const char* subKey) {
    api::RegOpenKeyExA(api::LocalMachine(), subKey, 0, api::kKeySpecificAllAccess, &handle_);
}

RegistryKey::~RegistryKey() {
    Close();
}

void RegistryKey::Close() {
    if (handle_ != 0) {
        api::RegCloseKey(handle_);
        handle_ = 0;
    }
}

}  // namespace registry
