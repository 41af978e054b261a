// The standard library's errors as Cadenzo.exe raises them (app/LibraryErrors.cpp): any
// std::exception, as the control layer catches it, with the library's own message.
// Windows only: the native build keeps the host's runtime as it is.

#include <gtest/gtest.h>

#include <cstddef>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string MessageOf(const std::function<void()>& raise) {
    try {
        raise();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(nothing raised)";
}

}  // namespace

TEST(LibraryErrors, CarryTheLibrarysMessage) {
    const std::string three = "abc";
    std::vector<int> none;
    EXPECT_EQ(MessageOf([&] { (void)three.substr(9); }),
              "basic_string::substr: __pos (which is 9) > this->size() (which is 3)");
    EXPECT_EQ(MessageOf([&] { (void)none.at(5); }),
              "vector::_M_range_check: __n (which is 5) >= this->size() (which is 0)");
    EXPECT_EQ(MessageOf([] { std::string(static_cast<const char*>(nullptr)); }),
              "basic_string: construction from null is not valid");
    EXPECT_EQ(MessageOf([&] { std::string(three).reserve(three.max_size() + std::size_t{1}); }),
              "basic_string::_M_create");
    EXPECT_EQ(MessageOf([&] { none.reserve(none.max_size() + std::size_t{1}); }),
              "vector::reserve");
}
