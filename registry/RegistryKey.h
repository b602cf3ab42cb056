#pragma once

// How the program opens and closes the registry keys that it reads and
// writes: one object per key, which closes itself.

#include "registry/RegistryApi.h"

namespace registry {

// A key under HKEY_LOCAL_MACHINE, opened as every open in the program is made:
// options 0 and access 0x3F, also where the key is only read (RegistryApi.h,
// kKeySpecificAllAccess, says why). The status of the open is not examined: a
// failed open leaves the handle 0, and shows as the failure of the value calls
// made on it. The key closes itself at the latest when it goes out of scope.
class RegistryKey {
public:
    explicit RegistryKey(const char* subKey);
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    api::KeyHandle Handle() const { return handle_; }
    void Close();

private:
    api::KeyHandle handle_ = 0;
};

}  // namespace registry
