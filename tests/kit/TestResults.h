#pragma once

// What each test of a kit run came to, read from what its test program
// wrote (GoogleTest's output), and the report made of them: a text for
// people, whose last line counts them, and JUnit XML for machines.

#include <cstddef>
#include <string_view>

#include "tests/kit/Buffer.h"
#include "tests/kit/List.h"

namespace kit {

enum class Outcome { Passed, Failed, Skipped };

struct TestResult {
    Buffer program;
    Buffer name;  // Suite.Test
    Outcome outcome = Outcome::Failed;
    Buffer detail;  // why it failed, or why it was skipped
};

struct Counts {
    std::size_t passed = 0;
    std::size_t failed = 0;
    std::size_t skipped = 0;
};

// Adds a result for each test that `log`, the output of `program`, shows
// begun. A test that began and never ended (the program crashed, or was
// stopped) failed, with `ending` for its detail. Answers how many it added.
std::size_t ReadGtestLog(std::string_view program, std::string_view log, std::string_view ending,
                         List<TestResult>& results);

// A result for the program itself, where it failed outside any test.
void AddProgramFailure(std::string_view program, std::string_view why, List<TestResult>& results);

Counts Count(const List<TestResult>& results);

// `header`, then a line a test, then "N passed, N failed, N skipped".
void WriteTextReport(std::string_view header, const List<TestResult>& results, Buffer& out);
// A testsuite a program, a testcase a test.
void WriteJunit(const List<TestResult>& results, Buffer& out);

}  // namespace kit
