#pragma once

// The program's one wrapper over the registry's value calls. Both operations
// work on a key that the caller has opened (0 when its open failed) and answer
// with the Win32 status of the call that decided the outcome, 0 for success.

#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "registry/RegValue.h"
#include "registry/RegistryApi.h"

namespace registry {

using api::KeyHandle;
using api::Status;

// The status for a registry type that the module does not handle.
inline constexpr Status kUnhandledType = -1;

// What WriteValue raises when `value` cannot be stored as the type asked for.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the named value into `value` by the type stored: REG_SZ as a text
// (keeping the NUL stored with it), REG_DWORD and REG_BINARY of up to 4 bytes as
// an integer. Any other type answers kUnhandledType. `value` is set only when
// the answer is 0, except that a failed read of a text's data empties it.
// Never raises: a failure raised inside answers a non-zero status.
Status ReadValue(KeyHandle key, std::u16string_view name, RegValue& value) noexcept;

// Stores `value` under `name` as REG_SZ (a text as it is, an integer as its
// decimal digits) or REG_DWORD (an integer, or a text that reads as a whole
// number); any other type answers kUnhandledType without a call. Raises
// ConversionError for a value that cannot be converted, including an empty one.
Status WriteValue(KeyHandle key, std::u16string_view name, const RegValue& value,
                  std::int32_t type);

}  // namespace registry
