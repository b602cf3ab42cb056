#pragma once

// The program's one wrapper over the registry's value calls. Both operations
// work on a key that the caller has opened (0 when its open failed) and answer
// with the Win32 status of the call that decided the outcome, 0 for success.

#include <cstdint>
#include <string_view>

#include "basics/Failure.h"
#include "registry/RegValue.h"
#include "registry/RegistryApi.h"

namespace registry {

using api::KeyHandle;
using api::Status;

// The status for a registry type that the module does not handle.
inline constexpr Status kUnhandledType = -1;

// Reads the named value into `value` by the type stored: REG_SZ as a text
// (keeping the NUL stored with it), REG_DWORD and REG_BINARY of up to 4 bytes as
// an integer. Any other type answers kUnhandledType. `value` is set only when
// the answer is 0, except that a failed read of a text's data empties it.
// Traps its own failures: memory that runs out, or a code-page conversion that
// the system refuses, answers a non-zero status with `value` untouched.
Status ReadValue(KeyHandle key, std::u16string_view name, RegValue& value);

// What WriteValue answers: the status of its registry call, or a failure that
// it does not trap, for the caller to pass up.
struct [[nodiscard]] WriteResult {
    Status status = basics::kErrorSuccess;  // where there is no failure
    basics::Outcome failure;
};

// Stores `value` under `name` as REG_SZ (a text as it is, an integer as its
// decimal digits) or REG_DWORD (an integer, or a text that reads as a whole
// number); any other type answers kUnhandledType without a call. A value that
// cannot be converted, an empty one included, and a conversion that fails for
// want of memory or by the code page, answer a failure, with nothing stored.
WriteResult WriteValue(KeyHandle key, std::u16string_view name, const RegValue& value,
                       std::int32_t type);

}  // namespace registry
