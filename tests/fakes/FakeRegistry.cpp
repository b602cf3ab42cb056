#include "tests/fakes/FakeRegistry.h"

#include <algorithm>
#include <cstring>

namespace fake {

// The fake answers in the registry calls' own terms.
using namespace registry::api;
using namespace win32;
using basics::kErrorSuccess;

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return lower;
}

bool IsStringType(std::uint32_t type) {
    return type == static_cast<std::uint32_t>(kRegSz) ||
           type == static_cast<std::uint32_t>(kRegExpandSz) ||
           type == static_cast<std::uint32_t>(kRegMultiSz);
}

}  // namespace

FakeRegistry& FakeRegistry::Instance() {
    static FakeRegistry registry;
    return registry;
}

void FakeRegistry::Reset() {
    *this = FakeRegistry{};
}

void FakeRegistry::CreateKey(std::string_view path) {
    keys_[Lower(path)];
}

void FakeRegistry::Put(std::string_view path, std::string_view name, std::int32_t type,
                       std::vector<std::uint8_t> bytes) {
    keys_[Lower(path)].values[Lower(name)] = StoredBytes{type, std::move(bytes)};
}

std::optional<StoredBytes> FakeRegistry::Get(std::string_view path, std::string_view name) const {
    const auto key = keys_.find(Lower(path));
    if (key == keys_.end()) {
        return std::nullopt;
    }
    const auto value = key->second.values.find(Lower(name));
    if (value == key->second.values.end()) {
        return std::nullopt;
    }
    return value->second;
}

void FakeRegistry::DenyAccess(std::string_view path, std::uint32_t mask) {
    keys_[Lower(path)].deniedAccess |= mask;
}

void FakeRegistry::FailCall(RegistryCall call, int nth, Status status) {
    ScriptedCall& scripted = scripted_[static_cast<std::size_t>(call)];
    scripted.failure.FailNth(nth);
    scripted.status = status;
}

std::optional<Status> FakeRegistry::ScriptedStatus(const CallRecord& record) {
    ScriptedCall& scripted = scripted_[static_cast<std::size_t>(record.call)];
    if (!scripted.failure.Fails()) {
        return std::nullopt;
    }
    failed_ = record;
    return scripted.status;
}

const FakeRegistry::OpenedKey* FakeRegistry::Opened(KeyHandle key) const {
    const auto opened = handles_.find(key);
    return opened == handles_.end() ? nullptr : &opened->second;
}

Status FakeRegistry::Open(KeyHandle root, const char* subKey, std::uint32_t options,
                          std::uint32_t access, KeyHandle* result) {
    calls_.push_back({RegistryCall::Open, Lower(subKey), "", options, access});
    *result = 0;
    if (const auto status = ScriptedStatus(calls_.back())) {
        return *status;
    }
    if (root != kLocalMachine) {
        return kErrorInvalidHandle;
    }
    const auto key = keys_.find(Lower(subKey));
    if (key == keys_.end()) {
        return kErrorFileNotFound;
    }
    if (key->second.deniedAccess & access) {
        return kErrorAccessDenied;
    }
    *result = nextHandle_++;
    handles_[*result] = OpenedKey{key->first, access};
    return kErrorSuccess;
}

// As advapi32 answers: the type and size are reported also when the buffer is
// too small (which leaves it untouched), and a text that was stored without a
// terminator gets one only where the buffer has a byte to spare.
Status FakeRegistry::Query(KeyHandle key, const char* name, std::uint32_t* type, std::uint8_t* data,
                           std::uint32_t* size) {
    const OpenedKey* opened = Opened(key);
    calls_.push_back({RegistryCall::Query, opened ? opened->path : "", Lower(name)});
    if (const auto status = ScriptedStatus(calls_.back())) {
        return *status;
    }
    const bool overstated = overstatement_.Fails();
    if (data != nullptr && size == nullptr) {
        return kErrorInvalidParameter;
    }
    const std::uint32_t capacity = size ? *size : 0;
    if (data == nullptr && size != nullptr) {
        *size = 0;
    }
    if (type != nullptr) {
        *type = static_cast<std::uint32_t>(kRegNone);
    }
    if (opened == nullptr) {
        return kErrorInvalidHandle;
    }
    if (!(opened->access & kKeyQueryValue)) {
        return kErrorAccessDenied;
    }
    const auto stored = Get(opened->path, name);
    if (!stored) {
        return kErrorFileNotFound;
    }

    const auto length = static_cast<std::uint32_t>(stored->bytes.size());
    Status status = kErrorSuccess;
    if (data != nullptr && length > 0) {
        if (length > capacity) {
            status = kErrorMoreData;
        } else {
            std::memcpy(data, stored->bytes.data(), length);
            if (IsStringType(stored->type) && length < capacity && data[length - 1] != 0) {
                data[length] = 0;
            }
        }
    }
    if (type != nullptr) {
        *type = static_cast<std::uint32_t>(stored->type);
    }
    if (size != nullptr) {
        *size = overstated ? overstatedSize_ : length;
    }
    return status;
}

// As advapi32 does for a text whose count left out its terminator: when the
// last byte counted is not NUL but the byte just past it is, that NUL is stored.
Status FakeRegistry::Set(KeyHandle key, const char* name, std::int32_t type,
                         const std::uint8_t* data, std::uint32_t size) {
    const OpenedKey* opened = Opened(key);
    calls_.push_back({RegistryCall::Set, opened ? opened->path : "", Lower(name)});
    if (const auto status = ScriptedStatus(calls_.back())) {
        return *status;
    }
    if (opened == nullptr) {
        return kErrorInvalidHandle;
    }
    if (!(opened->access & kKeySetValue)) {
        return kErrorAccessDenied;
    }
    if (size > 0 && IsStringType(static_cast<std::uint32_t>(type)) && data[size - 1] != 0 &&
        data[size] == 0) {
        ++size;
    }
    Put(opened->path, name, type, std::vector<std::uint8_t>(data, data + size));
    stores_.push_back(calls_.back());
    return kErrorSuccess;
}

Status FakeRegistry::Close(KeyHandle key) {
    const OpenedKey* opened = Opened(key);
    calls_.push_back({RegistryCall::Close, opened ? opened->path : "", ""});
    if (const auto status = ScriptedStatus(calls_.back())) {
        return *status;
    }
    return handles_.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

}  // namespace fake
