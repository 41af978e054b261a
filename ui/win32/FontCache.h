#pragma once
// The fonts of the realized windows, created once per name and pixel height.

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "platform/win32/WideText.h"
#include "ui/Control.h"

namespace ui {

class FontCache {
public:
    FontCache() = default;
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The font stays valid as long as the cache.
    HFONT Get(const Font& font);
    // The font to show `text` in: the font itself, or one of its height that has the text's
    // characters when it lacks some.
    HFONT For(const Font& font, const platform::WideString& text);
    // The width in pixels of `text` on one line in `font`.
    int TextWidth(HFONT font, const platform::WideString& text);

private:
    // A memory device context for looking at fonts and measuring text: one for all of it,
    // not one from the screen each time (each costs a round trip to Wine's server).
    HDC Measuring();

    std::map<std::tuple<std::string, int, bool>, HFONT> fonts_;
    HDC dc_ = nullptr;
};

}  // namespace ui
