#pragma once

// The registry around Velmora.exe in the end-to-end tests: snapshots of
// HKLM\SOFTWARE in both views, to show that a run changed nothing but what
// it writes; and the values in the Windows NT and Windows 9x places, seeded
// and read back as exact bytes in the 32-bit view that the program sees.
// Where the Windows is 32-bit, that view is its only one.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/ScratchKey.h"

namespace e2e {

inline constexpr const char* kWindowsNtPlace = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr const char* kWindows9xPlace = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

using Value = std::optional<StoredBytes>;

// Stores the value, or removes it where `value` is empty.
void Seed(const char* place, const char* name, const Value& value);
Value Read(const char* place, const char* name);

// What a run may change: the two values of the Windows 9x place.
struct Windows9xValues {
    Value firstInstallDateTime;
    Value registeredOwner;
    bool operator==(const Windows9xValues&) const = default;
};
Windows9xValues ReadWindows9xValues();

// Every value under HKLM\SOFTWARE in every view, by view, key path and name;
// but for COM classes and what Windows itself keeps up to date meanwhile
// (NetworkCards), which other processes change at any moment.
using Snapshot = std::map<std::string, StoredBytes>;
Snapshot TakeSnapshot();
// The entries added, removed or changed between two snapshots.
std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after);

}  // namespace e2e
