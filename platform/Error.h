#pragma once
// An error of the program's own: its message is what the error box shows. It derives from
// std::exception alone: the standard library's error classes (std::runtime_error and its kin)
// keep their message in a second, reference-counted string type whose code, linked statically,
// costs the Windows program about 45 KB.

#include <exception>
#include <string>
#include <utility>

namespace platform {

class Error : public std::exception {
public:
    explicit Error(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

}  // namespace platform
