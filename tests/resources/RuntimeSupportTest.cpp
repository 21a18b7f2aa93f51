#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <new>
#include <string>
#include <vector>

// vsl.exe's runtime support, linked into this test as into the program: a
// failing allocation or library operation ends the process through abort(),
// which exits with code 3, rather than raising an exception that the program
// would not catch. A death test reports an escaping exception as a failure of
// its own, so each of these fails if the library's throwing versions are the
// ones in effect.
namespace {

const int kAbortExitCode = 3;

TEST(RuntimeSupport, EndsTheProcessWhereTheLibraryWouldThrow) {
    const struct {
        const char* failure;
        std::function<void()> operation;
    } kFailures[] = {
        {"memory exhausted",
         [] { ::operator delete(::operator new(std::numeric_limits<std::size_t>::max())); }},
        {"string longer than max_size()",
         [] {
             std::string text;
             text.reserve(text.max_size() + 1);
         }},
        {"string index out of range", [] { std::string("vsl").at(3) = 'x'; }},
        {"substring beyond the end", [] { std::string("vsl").substr(4).clear(); }},
        {"vector longer than max_size()",
         [] {
             std::vector<int> numbers;
             numbers.reserve(numbers.max_size() + 1);
         }},
    };
    for (const auto& failing : kFailures) {
        EXPECT_EXIT(failing.operation(), ::testing::ExitedWithCode(kAbortExitCode), "") << failing.failure;
    }
}

TEST(RuntimeSupport, AllocatesWhatTheProgramAsksFor) {
    std::vector<std::string> texts(100, std::string(1000, 'v'));
    texts.emplace_back("sl");
    EXPECT_EQ(texts.front().size(), 1000u);
    EXPECT_EQ(texts.back() + texts[50].substr(0, 1), "slv");
}

}  // namespace
