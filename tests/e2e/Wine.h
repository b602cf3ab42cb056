#pragma once

// What only Wine can be told, for the end-to-end tests that run on Wine and
// on a real Windows alike: Wine takes settings for one program by its name
// (HKCU\Software\Wine\AppDefaults\<name>), such as the Windows version it is
// to report and which DLLs it is to load as native ones. On Windows the tests
// that need them are skipped, and a setting does nothing.

#include <string>

namespace e2e {

bool UnderWine();
inline constexpr const char* kOnlyUnderWine =
    "only Wine can be told a Windows version, a DPI or a DLL override for one program";
// The reason that a test of what only a real Windows shows gives under Wine;
// the kit's run under Wine accepts these skips, and no other.
inline constexpr const char* kOnlyOnWindows = "only real Windows shows ";

// A value of Wine's settings for every program named `program`, under
// `subkey` ("" or "\\DllOverrides"), for as long as this lives; the key is
// removed again where this made it.
class WineAppSetting {
public:
    WineAppSetting(const std::string& program, const char* subkey, const char* name,
                   const char* value);
    ~WineAppSetting();
    WineAppSetting(const WineAppSetting&) = delete;
    WineAppSetting& operator=(const WineAppSetting&) = delete;
    // Whether it was set, or need not be, since this is not Wine.
    bool Set() const { return set_; }

private:
    std::string path_;
    std::string name_;
    bool created_ = false;
    bool set_ = false;
};

}  // namespace e2e
