// The journal as the kit writes it before the first test and reads it back
// after a killed run: every entry comes back as it was, whatever its bytes,
// and a journal cut short or damaged is refused, leaving the last one read.

#include "tests/kit/Journal.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kit::Journal;
using kit::JournalEntry;
using kit::Root;
using kit::View;

struct Expected {
    bool isKey;
    Root root;
    View view;
    std::string key;
    std::string name;
    bool present;
    std::uint32_t type;
    std::string data;
};

void Fill(Journal& journal, const std::vector<Expected>& entries) {
    for (const Expected& e : entries) {
        JournalEntry* entry = journal.Entries().Add();
        entry->isKey = e.isKey;
        entry->root = e.root;
        entry->view = e.view;
        entry->key.Append(e.key);
        entry->name.Append(e.name);
        entry->present = e.present;
        entry->type = e.type;
        entry->data.Append(e.data);
    }
}

std::vector<Expected> Read(const Journal& journal) {
    std::vector<Expected> entries;
    for (const JournalEntry& e : journal.Entries()) {
        entries.push_back({e.isKey, e.root, e.view, std::string(e.key.View()),
                           std::string(e.name.View()), e.present, e.type,
                           std::string(e.data.View())});
    }
    return entries;
}

bool operator==(const Expected& a, const Expected& b) {
    return a.isKey == b.isKey && a.root == b.root && a.view == b.view && a.key == b.key &&
           a.name == b.name && a.present == b.present && a.type == b.type && a.data == b.data;
}

const std::vector<Expected> kEntries = {
    {false, Root::LocalMachine, View::Bits32, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
     "InstallDate", true, 4, std::string("\x00\xCA\x9A\x3B", 4)},
    {false, Root::LocalMachine, View::Bits64, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
     "RegisteredOwner", false, 0, ""},
    // An unusual type with NULs inside, no bytes at all, a type past any known.
    {false, Root::LocalMachine, View::Own, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
     "FirstInstallDateTime", true, 7, std::string("a\0b\0\0", 5)},
    {false, Root::CurrentUser, View::Own, "Control Panel\\Desktop", "LogPixels", true, 4, ""},
    {false, Root::CurrentUser, View::Own, "Software\\Wine", "n\xE9 \r\n", true, 0xFFFFFFFF,
     std::string(70000, '\xFF')},
    {true, Root::CurrentUser, View::Own, "Software\\Velmora Tests", "", false, 0, ""},
};

TEST(JournalTest, EveryEntryComesBackAsItWas) {
    Journal written;
    Fill(written, kEntries);
    kit::Buffer text;
    written.Encode(text);
    ASSERT_FALSE(text.Failed());
    Journal read;
    ASSERT_TRUE(read.Decode(text.View()));
    EXPECT_TRUE(Read(read) == kEntries);

    Journal none;
    kit::Buffer empty;
    none.Encode(empty);
    ASSERT_TRUE(read.Decode(empty.View()));
    EXPECT_EQ(read.Entries().Size(), 0u);
}

TEST(JournalTest, RefusesWhatIsNotAWholeJournal) {
    Journal written;
    Fill(written, kEntries);
    kit::Buffer encoded;
    written.Encode(encoded);
    const std::string text(encoded.View());
    const std::size_t secondLine = text.find("\r\n") + 2;
    const std::string damaged[] = {
        "",
        text.substr(0, text.size() - 7),  // cut before its last line
        text.substr(0, text.size() - 1),  // the last line's LF lost
        text + "V U 0 0 0 . . .\r\n",     // more after the end
        "velmora-kit-journal 2" + text.substr(text.find("\r\n")),
        text.substr(0, secondLine) + "V U 0 1 4 616 . .\r\nend\r\n",          // odd hex
        text.substr(0, secondLine) + "V U 0 1 4 6g . .\r\nend\r\n",           // not hex
        text.substr(0, secondLine) + "V U 16 1 4 61 . .\r\nend\r\n",          // no such view
        text.substr(0, secondLine) + "V U 0 1 4294967296 61 . .\r\nend\r\n",  // type too big
        text.substr(0, secondLine) + "V U 0 1 4 61 . . .\r\nend\r\n",         // a field too many
        text.substr(0, secondLine) + "V U 0 1 4 61 .\r\nend\r\n",             // fields missing
    };
    Journal kept;
    Fill(kept, {kEntries[0]});
    for (const std::string& journal : damaged) {
        EXPECT_FALSE(kept.Decode(journal)) << journal.substr(0, 200);
        EXPECT_TRUE(Read(kept) == std::vector<Expected>{kEntries[0]});
    }
}

}  // namespace
