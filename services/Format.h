#pragma once
// Fills the one "%s" of a message text with an argument.

#include <string>

#include "platform/System.h"

std::string FormatText(const std::string& text, const std::string& argument);

// "2026-12-08 14:03", as the settings keep the dates of changes.
std::string DateText(const platform::LocalTime& time);
