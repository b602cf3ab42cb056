// The registry calls as the program relies on them. In the host build these
// run against the in-memory registry, in the Windows build against advapi32:
// passing in both keeps the fake honest about what Windows answers.

#include "registry/RegistryApi.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "tests/support/ScratchKey.h"
#include "tests/support/Win32Codes.h"

namespace {

using registry::api::KeyHandle;
using registry::api::kKeySpecificAllAccess;
using registry::api::kRegDword;
using registry::api::kRegSz;
using win32::kErrorFileNotFound;
using win32::kErrorInvalidHandle;
using win32::kErrorMoreData;

constexpr std::uint8_t kCanary = 0xCC;

TEST(RegQueryValueExATest, SizeQueryOfTextCountsTheStoredTerminator) {
    ScratchKey key;
    key.Store("Terminated", Text({"Bob\0", 4}));
    key.Store("ZeroBytes", Text(""));
    std::uint32_t type = 0;
    std::uint32_t size = 99;
    EXPECT_EQ(registry::api::RegQueryValueExA(key.Handle(), "Terminated", &type, nullptr, &size),
              0);
    EXPECT_EQ(type, std::uint32_t{kRegSz});
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(registry::api::RegQueryValueExA(key.Handle(), "ZeroBytes", &type, nullptr, &size), 0);
    EXPECT_EQ(size, 0u);
}

TEST(RegQueryValueExATest, UnterminatedTextGetsANulOnlyWhereTheBufferHasRoom) {
    ScratchKey key;
    key.Store("Unterminated", Text("Bob"));

    std::array<std::uint8_t, 5> buffer;
    buffer.fill(kCanary);
    std::uint32_t size = 3;
    EXPECT_EQ(registry::api::RegQueryValueExA(key.Handle(), "Unterminated", nullptr, buffer.data(),
                                              &size),
              0);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 5>{'B', 'o', 'b', kCanary, kCanary}));

    buffer.fill(kCanary);
    size = 4;
    EXPECT_EQ(registry::api::RegQueryValueExA(key.Handle(), "Unterminated", nullptr, buffer.data(),
                                              &size),
              0);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 5>{'B', 'o', 'b', 0, kCanary}));
}

TEST(RegQueryValueExATest, SmallBufferAnswersMoreDataWithTheSizeNeededAndIsLeftAlone) {
    ScratchKey key;
    key.Store("Dword", {kRegDword, {1, 2, 3, 4}});
    std::array<std::uint8_t, 4> buffer;
    buffer.fill(kCanary);
    std::uint32_t type = 0;
    std::uint32_t size = 2;
    EXPECT_EQ(registry::api::RegQueryValueExA(key.Handle(), "Dword", &type, buffer.data(), &size),
              kErrorMoreData);
    EXPECT_EQ(type, std::uint32_t{kRegDword});
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(buffer[0], kCanary);
    EXPECT_EQ(buffer[1], kCanary);
}

TEST(RegQueryValueExATest, MissingValueAndZeroHandle) {
    ScratchKey key;
    std::uint32_t size = 0;
    EXPECT_EQ(registry::api::RegQueryValueExA(key.Handle(), "Absent", nullptr, nullptr, &size),
              kErrorFileNotFound);
    EXPECT_EQ(registry::api::RegQueryValueExA(0, "Absent", nullptr, nullptr, &size),
              kErrorInvalidHandle);
}

TEST(RegSetValueExATest, TextGetsTheTerminatorJustPastItsCount) {
    ScratchKey key;
    const std::uint8_t followedByNul[] = {'B', 'o', 'b', 0};
    const std::uint8_t followedByOther[] = {'B', 'o', 'b', 'x'};
    EXPECT_EQ(
        registry::api::RegSetValueExA(key.Handle(), "FollowedByNul", kRegSz, followedByNul, 3), 0);
    EXPECT_EQ(
        registry::api::RegSetValueExA(key.Handle(), "FollowedByOther", kRegSz, followedByOther, 3),
        0);
    EXPECT_EQ(registry::api::RegSetValueExA(key.Handle(), "Counted", kRegSz, followedByNul, 4), 0);
    EXPECT_EQ(key.Fetch("FollowedByNul"), Text({"Bob\0", 4}));
    EXPECT_EQ(key.Fetch("FollowedByOther"), Text("Bob"));
    EXPECT_EQ(key.Fetch("Counted"), Text({"Bob\0", 4}));
}

TEST(RegOpenKeyExATest, FailedOpenSetsTheHandleToZero) {
    KeyHandle handle = 0x1234;
    EXPECT_EQ(registry::api::RegOpenKeyExA(registry::api::LocalMachine(),
                                           "SOFTWARE\\Velmora Tests\\No Such Key", 0,
                                           kKeySpecificAllAccess, &handle),
              kErrorFileNotFound);
    EXPECT_EQ(handle, 0u);
    EXPECT_NE(registry::api::RegCloseKey(0), 0);
}

}  // namespace
