#pragma once

// Texts to and from the system's ANSI code page, NULs included, into texts of
// the program's own. Each answers 0, or the status of what failed:
// ERROR_NOT_ENOUGH_MEMORY, or ERROR_NO_UNICODE_TRANSLATION where the system
// refuses the conversion. `out` is set only on 0.

#include <string_view>

#include "basics/Status.h"
#include "basics/Text.h"

namespace basics {

[[nodiscard]] Status ToAnsi(std::u16string_view text, AnsiText& out);
[[nodiscard]] Status FromAnsi(std::string_view bytes, Text& out);

}  // namespace basics
