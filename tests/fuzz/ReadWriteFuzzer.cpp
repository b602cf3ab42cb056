// Fuzzes ReadValue and WriteValue over the in-memory registry: any stored type
// code, size and bytes. Checks the module's own promises:
//   - ReadValue answers 0 only with `value` set, and -1 (a type it does not
//     handle) with `value` untouched;
//   - a text written back as REG_SZ is stored as the bytes that were read,
//     plus the one NUL that the system adds where they did not end in one;
//   - writing the result as REG_DWORD stores 4 bytes, or answers a failure for
//     a text and stores nothing.
// AddressSanitizer catches any read or write past a buffer, the fake's look
// at the byte just past a text's count included.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "registry/Registry.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fuzz/Promise.h"
#include "tests/support/PlainValue.h"

namespace {

using fake::FakeRegistry;
using registry::RegValue;

constexpr const char* kKey = "SOFTWARE\\Fuzz";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    std::int32_t type;
    std::memcpy(&type, data, sizeof type);
    // Mostly the types that matter, sometimes any code at all.
    if (data[0] & 0x80) {
        type &= 0x0F;
    }
    const std::vector<std::uint8_t> stored(data + 4, data + size);

    FakeRegistry& registry = FakeRegistry::Instance();
    registry.Reset();
    registry.Put(kKey, "Value", type, stored);
    registry::api::KeyHandle key = 0;
    registry::api::RegOpenKeyExA(registry::api::LocalMachine(), kKey, 0,
                                 registry::api::kKeySpecificAllAccess, &key);

    const PlainValue untouched = std::u16string(u"untouched");
    RegValue value = FromPlain(untouched);
    const registry::api::Status status = registry::ReadValue(key, u"Value", value);

    const bool handled = type == registry::api::kRegSz || type == registry::api::kRegBinary ||
                         type == registry::api::kRegDword;
    Promise(handled || (status == registry::kUnhandledType && Plain(value) == untouched),
            "an unhandled type answers -1 and leaves the value alone");
    if (status != 0) {
        Promise(Plain(value) == untouched || value.IsEmpty(),
                "a failed read leaves the value alone or, for a text, empties it");
        return 0;
    }
    Promise(Plain(value) != untouched, "status 0 only with the value set");

    if (const basics::Text* text = value.IfText()) {
        Promise(type == registry::api::kRegSz && text->Length() == stored.size(),
                "a text keeps every byte it was stored with");
        const registry::WriteResult copied =
            registry::WriteValue(key, u"Text", value, registry::api::kRegSz);
        Promise(!copied.failure && copied.status == 0, "text written");
        std::vector<std::uint8_t> expected = stored;
        if (!expected.empty() && expected.back() != 0) {
            expected.push_back(0);
        }
        const auto written = registry.Get(kKey, "Text");
        Promise(written && written->type == registry::api::kRegSz && written->bytes == expected,
                "a text is stored as read, plus the NUL the system adds");
    } else {
        Promise(stored.size() <= 4, "an integer is read only from 4 bytes or fewer");
        std::uint32_t expected = 0;
        for (std::size_t i = 0; i < stored.size(); ++i) {
            expected |= std::uint32_t{stored[i]} << (8 * i);
        }
        Promise(value.IfInteger() && *value.IfInteger() == static_cast<std::int32_t>(expected),
                "an integer is its bytes read little-endian, the missing ones 0");
    }

    const registry::WriteResult written =
        registry::WriteValue(key, u"Number", value, registry::api::kRegDword);
    if (written.failure) {
        Promise(value.IfText() != nullptr, "only a text fails to convert");
        Promise(!registry.Get(kKey, "Number"), "nothing is stored when the conversion fails");
    } else {
        Promise(written.status == 0, "number written");
        const auto number = registry.Get(kKey, "Number");
        Promise(number && number->type == registry::api::kRegDword && number->bytes.size() == 4,
                "a number is stored as 4 bytes");
    }
    return 0;
}
