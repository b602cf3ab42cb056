#include "tests/kit/win32/RegistryJournal.h"

#include <windows.h>

#include "tests/support/win32/Wow64.h"

namespace kit::win32 {

namespace {

constexpr const char* kWindowsNtPlace = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kWindows9xPlace = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kWineApp = "Software\\Wine\\AppDefaults\\";

// What the tests touch (tests/e2e): the two places' values, which they seed;
// Wine's settings for the copies of Velmora.exe that they run and for the
// DPI, which they set only under Wine; and the registry tests' own key.
struct Touched {
    Root root;
    const char* key;
    const char* subkey;
    const char* name;  // nullptr: the whole key, the tests' own
};

constexpr Touched kTouched[] = {
    {Root::LocalMachine, kWindowsNtPlace, "", "InstallDate"},
    {Root::LocalMachine, kWindowsNtPlace, "", "RegisteredOwner"},
    {Root::LocalMachine, kWindows9xPlace, "", "FirstInstallDateTime"},
    {Root::LocalMachine, kWindows9xPlace, "", "RegisteredOwner"},
    {Root::CurrentUser, "Control Panel\\Desktop", "", "LogPixels"},
    {Root::CurrentUser, kWineApp, "Velmora.exe", "Version"},
    {Root::CurrentUser, kWineApp, "Velmora.exe\\DllOverrides", "uxtheme"},
    {Root::CurrentUser, kWineApp, "Velmora.exe\\DllOverrides", "dwmapi"},
    {Root::CurrentUser, kWineApp, "Velmora.exe\\DllOverrides", "msctf"},
    {Root::CurrentUser, kWineApp, "Velmora-nt40.exe", "Version"},
    {Root::CurrentUser, kWineApp, "Velmora-win2k.exe", "Version"},
    {Root::CurrentUser, kWineApp, "Velmora-winxp.exe", "Version"},
    {Root::CurrentUser, kWineApp, "Velmora-win10.exe", "Version"},
    {Root::CurrentUser, "Software\\Velmora Tests", "", nullptr},
};

constexpr REGSAM kView32 = 0x0200;  // KEY_WOW64_32KEY
constexpr REGSAM kView64 = 0x0100;  // KEY_WOW64_64KEY

HKEY RootKey(Root root) {
    return root == Root::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

REGSAM ViewFlag(View view) {
    return view == View::Bits32 ? kView32 : view == View::Bits64 ? kView64 : 0;
}

class OpenKey {
public:
    OpenKey(const JournalEntry& entry, REGSAM access, bool create) {
        const REGSAM sam = access | ViewFlag(entry.view);
        const LONG status =
            create ? RegCreateKeyExA(RootKey(entry.root), entry.key.CStr(), 0, nullptr, 0, sam,
                                     nullptr, &key_, nullptr)
                   : RegOpenKeyExA(RootKey(entry.root), entry.key.CStr(), 0, sam, &key_);
        if (status != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~OpenKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// The value's type and bytes as they are now, or absent.
bool ReadValue(const JournalEntry& entry, bool& present, DWORD& type, Buffer& data) {
    present = false;
    type = 0;
    data.Clear();
    if (entry.isKey) {
        const OpenKey key(entry, KEY_QUERY_VALUE, false);
        present = key.Get() != nullptr;
        return true;
    }
    const OpenKey key(entry, KEY_QUERY_VALUE, false);
    DWORD size = 0;
    if (key.Get() == nullptr || RegQueryValueExA(key.Get(), entry.name.CStr(), nullptr, &type,
                                                 nullptr, &size) != ERROR_SUCCESS) {
        return true;
    }
    // Read into a buffer of the size reported, a NUL past it, so that nothing
    // but the stored bytes is taken.
    Buffer bytes;
    for (DWORD i = 0; i < size; ++i) {
        bytes.Append('\0');
    }
    if (bytes.Failed()) {
        return false;
    }
    DWORD read = size;
    if (RegQueryValueExA(key.Get(), entry.name.CStr(), nullptr, &type,
                         reinterpret_cast<BYTE*>(const_cast<char*>(bytes.CStr())),
                         &read) != ERROR_SUCCESS ||
        read > size) {
        return false;
    }
    present = true;
    data.Append(bytes.View().substr(0, read));
    return !data.Failed();
}

// Removes `path` and every key in it.
void DeleteTree(HKEY root, REGSAM view, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_ENUMERATE_SUB_KEYS | view, &key) == ERROR_SUCCESS) {
        char name[256];
        DWORD length = sizeof name;
        while (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS) {
            Buffer child;
            child.Append(path).Append('\\').Append(std::string_view(name, length));
            DeleteTree(root, view, child.CStr());
            length = sizeof name;
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(root, path);
}

bool AddEntry(Journal& journal, const Touched& touched, View view) {
    JournalEntry* entry = journal.Entries().Add();
    if (entry == nullptr) {
        return false;
    }
    entry->isKey = touched.name == nullptr;
    entry->root = touched.root;
    entry->view = view;
    entry->key.Append(touched.key).Append(touched.subkey);
    entry->name.Append(touched.name != nullptr ? touched.name : "");
    DWORD type = 0;
    const bool read = ReadValue(*entry, entry->present, type, entry->data);
    entry->type = type;
    return read && !entry->key.Failed() && !entry->name.Failed();
}

void Describe(const JournalEntry& entry, Buffer& out) {
    out.Append(entry.root == Root::LocalMachine ? "HKLM\\" : "HKCU\\").Append(entry.key.View());
    if (!entry.isKey) {
        out.Append(" \"").Append(entry.name.View()).Append('"');
    }
    if (entry.view != View::Own) {
        out.Append(" (").AppendNumber(static_cast<int>(entry.view)).Append("-bit view)");
    }
}

}  // namespace

bool Capture(Journal& journal) {
    const bool wow64 = UnderWow64();
    for (const Touched& touched : kTouched) {
        const bool everyView = touched.root == Root::LocalMachine && wow64;
        if (!(everyView ? AddEntry(journal, touched, View::Bits32) &&
                              AddEntry(journal, touched, View::Bits64)
                        : AddEntry(journal, touched, View::Own))) {
            return false;
        }
    }
    return true;
}

std::size_t Restore(const Journal& journal, Buffer& report) {
    std::size_t unlike = 0;
    for (const JournalEntry& entry : journal.Entries()) {
        if (entry.isKey) {
            // The tests' own key: gone where it was absent, there where it was.
            if (entry.present) {
                const OpenKey made(entry, KEY_QUERY_VALUE, true);
            } else {
                DeleteTree(RootKey(entry.root), ViewFlag(entry.view), entry.key.CStr());
            }
        } else if (entry.present) {
            // A byte other than NUL just past the data, or Windows stores a
            // terminator with a text that was stored without one.
            Buffer data;
            data.Append(entry.data.View()).Append('\xCC');
            const OpenKey key(entry, KEY_SET_VALUE, true);
            if (key.Get() != nullptr && !data.Failed()) {
                RegSetValueExA(key.Get(), entry.name.CStr(), 0, entry.type,
                               reinterpret_cast<const BYTE*>(data.CStr()),
                               static_cast<DWORD>(entry.data.Size()));
            }
        } else {
            const OpenKey key(entry, KEY_SET_VALUE, false);
            if (key.Get() != nullptr) {
                RegDeleteValueA(key.Get(), entry.name.CStr());
            }
        }
        bool present = false;
        DWORD type = 0;
        Buffer data;
        if (!ReadValue(entry, present, type, data) || present != entry.present ||
            (!entry.isKey && present && (type != entry.type || data.View() != entry.data.View()))) {
            ++unlike;
            report.Append("  not as before: ");
            Describe(entry, report);
            report.Append("\r\n");
        }
    }
    return unlike;
}

}  // namespace kit::win32
