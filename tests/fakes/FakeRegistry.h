#pragma once

// An in-memory stand-in for the Win32 registry, behind the calls of the
// Registry module (FakeRegistryApi.cpp), for host tests. It answers as
// Windows does (the statuses, sizes and terminators that advapi32 gives) and
// lets a test deny access to a key, make a given call fail, and watch the
// calls made. The code page and the heap have stand-ins of their own
// (FakeCodePage, FakeHeap).

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/RegistryApi.h"
#include "tests/fakes/Sequence.h"
#include "tests/support/StoredBytes.h"
#include "tests/support/Win32Codes.h"

namespace fake {

using registry::api::KeyHandle;
using registry::api::Status;

// The four registry calls.
enum class RegistryCall { Open, Query, Set, Close };

// One call made on the registry: the key's path (empty for a handle that is
// not open) and, for Query and Set, the value's name, both in lower case; for
// Open, the options and access asked for; and where it came in the shared
// sequence.
struct CallRecord {
    RegistryCall call;
    std::string path;
    std::string name;
    std::uint32_t options = 0;
    std::uint32_t access = 0;
    std::uint64_t sequence = ++LastSequenceNumber();
};

class FakeRegistry {
public:
    // The registry that the Registry module's calls reach in the host build.
    static FakeRegistry& Instance();

    // Forgets every key, handle, call, denial and scripted failure.
    void Reset();

    // Paths are under HKEY_LOCAL_MACHINE, e.g. "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    // keys and names match without regard to case, as on Windows.
    void CreateKey(std::string_view path);
    void Put(std::string_view path, std::string_view name, std::int32_t type,
             std::vector<std::uint8_t> bytes);
    std::optional<StoredBytes> Get(std::string_view path, std::string_view name) const;

    // Opens of `path` that ask for any of `mask` answer ERROR_ACCESS_DENIED.
    void DenyAccess(std::string_view path, std::uint32_t mask);
    // The nth call of `call` from now (1 for the next) answers `status` and
    // does nothing; a later failure scripted for the same call replaces it.
    void FailCall(RegistryCall call, int nth, Status status);
    // The nth query from now answers as it would, but reports `size` bytes,
    // as a registry that overstates what it stored might.
    void OverstateSize(int nth, std::uint32_t size) {
        overstatement_.FailNth(nth);
        overstatedSize_ = size;
    }
    // The call that a scripted failure hit, once one has.
    const std::optional<CallRecord>& Failed() const { return failed_; }

    const std::vector<CallRecord>& Calls() const { return calls_; }
    // The Set calls that stored their value, in order.
    const std::vector<CallRecord>& Stores() const { return stores_; }
    std::size_t OpenHandleCount() const { return handles_.size(); }

    // HKEY_LOCAL_MACHINE, the one root that the fake holds.
    static constexpr KeyHandle kLocalMachine = 0x80000002;

    // What those calls forward to.
    Status Open(KeyHandle root, const char* subKey, std::uint32_t options, std::uint32_t access,
                KeyHandle* result);
    Status Query(KeyHandle key, const char* name, std::uint32_t* type, std::uint8_t* data,
                 std::uint32_t* size);
    Status Set(KeyHandle key, const char* name, std::int32_t type, const std::uint8_t* data,
               std::uint32_t size);
    Status Close(KeyHandle key);

private:
    struct Key {
        std::map<std::string, StoredBytes> values;  // by lower-cased name
        std::uint32_t deniedAccess = 0;
    };
    struct OpenedKey {
        std::string path;
        std::uint32_t access = 0;
    };
    // The failure scripted for one of the four calls, and what it answers.
    struct ScriptedCall {
        ScriptedFailure failure;
        Status status = 0;
    };

    std::optional<Status> ScriptedStatus(const CallRecord& record);
    const OpenedKey* Opened(KeyHandle key) const;

    std::map<std::string, Key> keys_;  // by lower-cased path
    std::map<KeyHandle, OpenedKey> handles_;
    KeyHandle nextHandle_ = 0x1000;
    std::vector<CallRecord> calls_;
    std::vector<CallRecord> stores_;
    std::array<ScriptedCall, 4> scripted_;  // by RegistryCall
    std::optional<CallRecord> failed_;
    ScriptedFailure overstatement_;
    std::uint32_t overstatedSize_ = 0;
};

}  // namespace fake
