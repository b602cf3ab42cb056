// The registry tests' scratch key in the Windows build: a real key in the
// registry of Wine or Windows, created empty for each test and deleted after it.

#include <windows.h>

#include <stdexcept>
#include <string>

#include "tests/support/ScratchKey.h"
#include "tests/support/win32/RawRegistry.h"

namespace {

// Under HKEY_CURRENT_USER, so that the tests need no rights beyond the user's,
// in a key of the tests' own that goes with the last scratch key in it.
constexpr const char* kTestsKey = "Software\\Velmora Tests";

std::string ScratchPath() {
    return std::string(kTestsKey) + "\\" + std::to_string(GetCurrentProcessId());
}

HKEY AsHkey(registry::api::KeyHandle key) {
    return reinterpret_cast<HKEY>(key);
}

}  // namespace

ScratchKey::ScratchKey() {
    HKEY key = nullptr;
    RegDeleteKeyA(HKEY_CURRENT_USER, ScratchPath().c_str());
    if (RegCreateKeyExA(HKEY_CURRENT_USER, ScratchPath().c_str(), 0, nullptr, 0,
                        registry::api::kKeySpecificAllAccess, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create the scratch key");
    }
    handle_ = reinterpret_cast<registry::api::KeyHandle>(key);
}

ScratchKey::~ScratchKey() {
    RegCloseKey(AsHkey(handle_));
    RegDeleteKeyA(HKEY_CURRENT_USER, ScratchPath().c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestsKey);  // refused while another test's key is in it
}

void ScratchKey::Store(const char* name, const StoredBytes& stored) {
    StoreBytes(AsHkey(handle_), name, stored);
}

std::optional<StoredBytes> ScratchKey::Fetch(const char* name) const {
    return FetchBytes(AsHkey(handle_), name);
}
