#include "tests/fakes/FakeRegistry.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace fake {

// The fake answers in the registry calls' own terms.
using namespace registry::api;
using namespace win32;
using basics::kErrorSuccess;

namespace {

constexpr std::uint32_t kRegNone = 0;

// Windows-1252, the ANSI code page of a US or Western European Windows: bytes
// below 0x80 and from 0xA0 are the characters of the same code; these are the
// rest. Windows maps the five unassigned bytes to the C1 controls of the same
// code, so every byte survives a round trip.
constexpr std::array<char16_t, 32> kCp1252From80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

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

// A conversion asked only for its length (capacity 0) answers it; one whose
// buffer is too small answers 0, as Windows does (ERROR_INSUFFICIENT_BUFFER).
template <typename To, typename Converted>
int AnswerConversion(const Converted& converted, To* out, int capacity) {
    const int needed = static_cast<int>(converted.size());
    if (capacity == 0) {
        return needed;
    }
    if (capacity < needed) {
        return 0;
    }
    std::copy(converted.begin(), converted.end(), out);
    return needed;
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
    failures_.push_back({call, nth, status});
}

std::optional<Status> FakeRegistry::ScriptedStatus(const CallRecord& record) {
    std::optional<Status> status;
    for (auto& failure : failures_) {
        if (failure.call == record.call && --failure.callsToGo == 0) {
            status = failure.status;
            failed_ = record;
        }
    }
    return status;
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
    if (data != nullptr && size == nullptr) {
        return kErrorInvalidParameter;
    }
    const std::uint32_t capacity = size ? *size : 0;
    if (data == nullptr && size != nullptr) {
        *size = 0;
    }
    if (type != nullptr) {
        *type = kRegNone;
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
        *size = length;
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

// Characters that Windows-1252 cannot hold become '?', its default character.
int FakeRegistry::WideCharToMultiByte(const char16_t* text, int length, char* out, int capacity) {
    if (ScriptedStatus({RegistryCall::Conversion, "", ""}) || length <= 0) {
        return 0;
    }
    std::string bytes;
    for (const char16_t c : std::u16string_view(text, static_cast<std::size_t>(length))) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes += static_cast<char>(c);
            continue;
        }
        const auto found = std::find(kCp1252From80.begin(), kCp1252From80.end(), c);
        bytes += found == kCp1252From80.end()
                     ? '?'
                     : static_cast<char>(0x80 + (found - kCp1252From80.begin()));
    }
    return AnswerConversion(bytes, out, capacity);
}

int FakeRegistry::MultiByteToWideChar(const char* bytes, int length, char16_t* out, int capacity) {
    if (ScriptedStatus({RegistryCall::Conversion, "", ""}) || length <= 0) {
        return 0;
    }
    std::u16string text;
    for (const char b : std::string_view(bytes, static_cast<std::size_t>(length))) {
        const auto byte = static_cast<unsigned char>(b);
        text += (byte >= 0x80 && byte < 0xA0) ? kCp1252From80[byte - 0x80] : char16_t{byte};
    }
    return AnswerConversion(text, out, capacity);
}

void* FakeRegistry::HeapAlloc(std::size_t bytes) {
    if (ScriptedStatus({RegistryCall::Allocation, "", ""})) {
        return nullptr;
    }
    return std::malloc(std::max<std::size_t>(bytes, 1));
}

}  // namespace fake
