#pragma once
// Fills the one "%s" of a message text with an argument.

#include <string>

std::string FormatText(const std::string& text, const std::string& argument);
