#pragma once

// What the kit found, before the first test ran, in every registry value that
// the tests may touch, so that it can put each back however the run ends:
// also after a run that was killed, from the file that this is written to
// before any test starts. A value absent then is deleted again; a key of the
// kit's own that was absent is removed with all it holds.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/kit/Buffer.h"
#include "tests/kit/List.h"

namespace kit {

enum class Root : char { LocalMachine = 'M', CurrentUser = 'U' };
// 0: the runner's own view; 32, 64: that view of a 64-bit Windows.
enum class View : std::uint8_t { Own = 0, Bits32 = 32, Bits64 = 64 };

struct JournalEntry {
    bool isKey = false;  // a key of the kit's own, else a value
    Root root = Root::CurrentUser;
    View view = View::Own;
    Buffer key;
    Buffer name;  // of a value
    bool present = false;
    std::uint32_t type = 0;
    Buffer data;
};

class Journal {
public:
    List<JournalEntry>& Entries() { return entries_; }
    const List<JournalEntry>& Entries() const { return entries_; }

    // One line an entry, every text in hex, ended by a line of its own, so
    // that a journal cut short is told from a whole one.
    void Encode(Buffer& out) const;
    // False for anything but a whole journal, which is then left as it was.
    [[nodiscard]] bool Decode(std::string_view text);

private:
    List<JournalEntry> entries_;
};

}  // namespace kit
