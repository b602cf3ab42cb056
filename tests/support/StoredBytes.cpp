#include <iomanip>

#include "tests/support/StoredBytes.h"

std::ostream& operator<<(std::ostream& out, const StoredBytes& stored) {
    out << "type " << stored.type << ", " << stored.bytes.size() << " bytes {";
    for (const auto byte : stored.bytes) {
        out << ' ' << std::hex << std::setw(2) << std::setfill('0') << int{byte} << std::dec;
    }
    return out << " }";
}
