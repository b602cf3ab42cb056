// The kit's SHA-256 against FIPS 180-2's examples, and at the lengths where
// the padding takes one more block.

#include "tests/kit/Sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Hex(const std::array<std::uint8_t, 32>& digest) {
    std::string hex;
    for (const std::uint8_t byte : digest) {
        hex += "0123456789abcdef"[byte >> 4];
        hex += "0123456789abcdef"[byte & 15];
    }
    return hex;
}

std::string Digest(const std::string& message, std::size_t chunk) {
    kit::Sha256 sha;
    for (std::size_t at = 0; at < message.size(); at += chunk) {
        sha.Update(std::string_view(message).substr(at, chunk));
    }
    return Hex(sha.Finish());
}

struct Vector {
    std::string message;
    const char* digest;
};

TEST(Sha256Test, GivesTheKnownDigests) {
    const Vector vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Vector& v : vectors) {
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{63}, std::size_t{4096}}) {
            EXPECT_EQ(Digest(v.message, chunk), v.digest)
                << v.message.size() << " bytes in pieces of " << chunk;
        }
    }
}

}  // namespace
