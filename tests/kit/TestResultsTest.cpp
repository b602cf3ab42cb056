// What the kit makes of a test program's output: a result for each test it
// began, named as GoogleTest names it, with why it failed or was skipped; a
// test that never ended failed; the summary that names tests again adds
// nothing; and the reports count them and keep their XML well formed.

#include "tests/kit/TestResults.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kit::Outcome;

constexpr std::string_view kLog =
    "Running main() from gtest_main.cc\r\n"
    "[==========] Running 5 tests from 2 test suites.\r\n"
    "[ RUN      ] CodePageTest.ConvertsAsTheMachinesCodePage\r\n"
    "[       OK ] CodePageTest.ConvertsAsTheMachinesCodePage (0 ms)\r\n"
    "[ RUN      ] Windows/PatchTest.Patches/OnNt40_Enter\r\n"
    "tests/e2e/TimelineTest.cpp:71: Skipped\r\n"
    "only Wine can be told a Windows version\r\n"
    "[  SKIPPED ] Windows/PatchTest.Patches/OnNt40_Enter (1 ms)\r\n"
    "[ RUN      ] Ways/EndingTest.Ends/Space\r\n"
    "tests/e2e/WindowTest.cpp:110: Failure\r\n"
    "Expected equality of these values: <1> & \"2\"\r\n"
    "[  FAILED  ] Ways/EndingTest.Ends/Space, where GetParam() = Space (2011 ms)\r\n"
    "[ RUN      ] Ways/EndingTest.Ends/Enter\r\n"
    "[       OK ] Ways/EndingTest.Ends/Enter (5 ms)\r\n"
    "[----------] Global test environment tear-down\r\n"
    "[  FAILED  ] 1 test, listed below:\r\n"
    "[  FAILED  ] Ways/EndingTest.Ends/Space, where GetParam() = Space\r\n"
    "[  SKIPPED ] Windows/PatchTest.Patches/OnNt40_Enter\r\n"
    "[ RUN      ] Ways/EndingTest.Ends/AltC\r\n"
    "halfway through";

TEST(TestResultsTest, ReadsEachTestThatBegan) {
    kit::List<kit::TestResult> results;
    EXPECT_EQ(kit::ReadGtestLog("e2e_tests.exe", kLog, "the program ended: 0xC0000005", results),
              5u);
    ASSERT_EQ(results.Size(), 5u);
    const struct {
        const char* name;
        Outcome outcome;
        const char* detail;
    } expected[] = {
        {"CodePageTest.ConvertsAsTheMachinesCodePage", Outcome::Passed, ""},
        {"Windows/PatchTest.Patches/OnNt40_Enter", Outcome::Skipped,
         "only Wine can be told a Windows version"},
        {"Ways/EndingTest.Ends/Space", Outcome::Failed,
         "tests/e2e/WindowTest.cpp:110: Failure\r\nExpected equality of these values: <1> & \"2\""},
        {"Ways/EndingTest.Ends/Enter", Outcome::Passed, ""},
        {"Ways/EndingTest.Ends/AltC", Outcome::Failed, "the program ended: 0xC0000005"},
    };
    for (std::size_t i = 0; i < results.Size(); ++i) {
        EXPECT_EQ(results[i].program.View(), "e2e_tests.exe");
        EXPECT_EQ(results[i].name.View(), expected[i].name);
        EXPECT_EQ(results[i].outcome, expected[i].outcome) << expected[i].name;
        EXPECT_EQ(results[i].detail.View(), expected[i].detail);
    }
}

TEST(TestResultsTest, ReportsCountAndEscape) {
    kit::List<kit::TestResult> results;
    kit::ReadGtestLog("e2e_tests.exe", kLog, "ended", results);
    kit::AddProgramFailure("win32_unit_tests.exe", "timed out after 600 s", results);
    const kit::Counts counts = kit::Count(results);
    EXPECT_EQ(counts.passed, 2u);
    EXPECT_EQ(counts.failed, 3u);
    EXPECT_EQ(counts.skipped, 1u);

    kit::Buffer text;
    kit::WriteTextReport("Windows 5.1\r\n", results, text);
    const std::string report(text.View());
    EXPECT_EQ(report.substr(0, 13), "Windows 5.1\r\n");
    EXPECT_NE(report.find("skipped  e2e_tests.exe Windows/PatchTest.Patches/OnNt40_Enter: only "
                          "Wine can be told a Windows version\r\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(report.substr(report.rfind("\r\n", report.size() - 3) + 2),
              "2 passed, 3 failed, 1 skipped\r\n");

    kit::Buffer xml;
    kit::WriteJunit(results, xml);
    const std::string junit(xml.View());
    EXPECT_NE(junit.find("<testsuites tests=\"6\" failures=\"3\" skipped=\"1\">"),
              std::string::npos);
    EXPECT_NE(junit.find("<testsuite name=\"e2e_tests.exe\" tests=\"5\" failures=\"2\" "
                         "skipped=\"1\">"),
              std::string::npos);
    EXPECT_NE(junit.find("values: &lt;1&gt; &amp; &quot;2&quot;"), std::string::npos) << junit;
    EXPECT_EQ(junit.find("<1>"), std::string::npos);
    EXPECT_NE(junit.find("<testcase classname=\"win32_unit_tests.exe\" name=\"(the program "
                         "itself)\"><failure message=\"timed out after 600 s\"/></testcase>"),
              std::string::npos);
}

}  // namespace
