#pragma once
// Texts made of parts: a message text with its argument, numbers as dates and times show them.

#include <cstdint>
#include <string>

#include "platform/System.h"

// Fills the one "%s" of a message text with an argument.
std::string FormatText(const std::string& text, const std::string& argument);

// The number in decimal, with zeros in front up to `width` digits: written by hand, as the C
// library's formatting would bring its floating point into the exe.
std::string ZeroPadded(int value, int width);

// "1024x768": a resolution as every text of the program shows it.
std::string SizeText(std::uint32_t width, std::uint32_t height);
// "1024x768, 85 Hz": a mode at its refresh rate, as lists of modes show it.
std::string ModeText(std::uint32_t width, std::uint32_t height, std::uint32_t rate);

// "2026-12-08 14:03", as the settings keep the dates of changes.
std::string DateText(const platform::LocalTime& time);
