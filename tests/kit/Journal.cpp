#include "tests/kit/Journal.h"

namespace kit {

namespace {

constexpr std::string_view kFirstLine = "velmora-kit-journal 1";
constexpr std::string_view kLastLine = "end";

// The next field of `line`, up to a space or its end.
std::string_view Field(std::string_view& line) {
    const std::size_t end = line.find(' ');
    const std::string_view field = line.substr(0, end);
    line = end == std::string_view::npos ? std::string_view() : line.substr(end + 1);
    return field;
}

int HexDigit(char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// "." stands for no bytes, which leaves no field to split on.
bool FromHex(std::string_view hex, Buffer& out) {
    out.Clear();
    if (hex == ".") {
        return true;
    }
    if (hex.empty() || hex.size() % 2 != 0) {
        return false;
    }
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        out.Append(static_cast<char>(high * 16 + low));
    }
    return !out.Failed();
}

void AppendHexField(Buffer& out, std::string_view bytes) {
    out.Append(' ');
    if (bytes.empty()) {
        out.Append('.');
    } else {
        out.AppendHex(bytes);
    }
}

bool FromNumber(std::string_view digits, std::uint32_t& out) {
    std::uint64_t number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9' || (number = number * 10 + (c - '0')) > UINT32_MAX) {
            return false;
        }
    }
    out = static_cast<std::uint32_t>(number);
    return !digits.empty();
}

// "V|K M|U 0|32|64 0|1 TYPE KEY NAME DATA"
bool DecodeEntry(std::string_view line, JournalEntry& entry) {
    const std::string_view kind = Field(line);
    const std::string_view root = Field(line);
    std::uint32_t view = 0;
    std::uint32_t present = 0;
    if ((kind != "V" && kind != "K") || (root != "M" && root != "U") ||
        !FromNumber(Field(line), view) || (view != 0 && view != 32 && view != 64) ||
        !FromNumber(Field(line), present) || present > 1 || !FromNumber(Field(line), entry.type) ||
        !FromHex(Field(line), entry.key) || !FromHex(Field(line), entry.name) ||
        !FromHex(Field(line), entry.data) || !line.empty()) {
        return false;
    }
    entry.isKey = kind == "K";
    entry.root = static_cast<Root>(root[0]);
    entry.view = static_cast<View>(view);
    entry.present = present == 1;
    return true;
}

}  // namespace

void Journal::Encode(Buffer& out) const {
    out.Append(kFirstLine).Append("\r\n");
    for (const JournalEntry& entry : entries_) {
        out.Append(entry.isKey ? 'K' : 'V');
        out.Append(' ').Append(static_cast<char>(entry.root)).Append(' ');
        out.AppendNumber(static_cast<std::uint8_t>(entry.view)).Append(' ');
        out.Append(entry.present ? '1' : '0').Append(' ').AppendNumber(entry.type);
        AppendHexField(out, entry.key.View());
        AppendHexField(out, entry.name.View());
        AppendHexField(out, entry.data.View());
        out.Append("\r\n");
    }
    out.Append(kLastLine).Append("\r\n");
}

bool Journal::Decode(std::string_view text) {
    List<JournalEntry> entries;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return false;  // every line, the last one too, ends in CRLF
        }
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (line.empty() || line.back() != '\r') {
            return false;
        }
        line.remove_suffix(1);
        if (first) {
            if (line != kFirstLine) {
                return false;
            }
            first = false;
        } else if (line == kLastLine) {
            if (!text.empty()) {
                return false;
            }
            entries_.Swap(entries);
            return true;
        } else {
            JournalEntry* entry = entries.Add();
            if (entry == nullptr || !DecodeEntry(line, *entry)) {
                return false;
            }
        }
    }
    return false;
}

}  // namespace kit
