#include "ui/win32/FontCache.h"

#include <algorithm>
#include <vector>

namespace ui {
namespace {

// Faces a machine may lack, with one every Windows has that draws the same glyphs. Webdings'
// "5" and "6" (the paging arrows) are Marlett's "5" and "6"; Marlett draws the caption buttons.
struct Substitute {
    const char* face;
    const char* instead;
};
constexpr Substitute kSubstitutes[] = {{"Webdings", "Marlett"}};

// A classic bitmap face such as MS Sans Serif has the characters of one ANSI code page only,
// so a built-in Russian text shows as boxes on a Western system. Windows maps this face to a
// TrueType dialog font with Cyrillic, Greek and more (Microsoft Sans Serif, MS Sans Serif's
// outline twin; Tahoma under Wine).
constexpr char kWideCoverageFace[] = "MS Shell Dlg";

struct FaceInfo {
    bool found = false;
    BYTE charset = DEFAULT_CHARSET;
};

int CALLBACK NoteFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) {
    auto* info = reinterpret_cast<FaceInfo*>(data);
    info->found = true;
    info->charset = font->lfCharSet;
    return 0;
}

FaceInfo FindFace(HDC dc, const std::string& face) {
    LOGFONTA query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(query.lfFaceName, face.c_str(), LF_FACESIZE);
    FaceInfo info;
    EnumFontFamiliesExA(dc, &query, NoteFace, reinterpret_cast<LPARAM>(&info), 0);
    return info;
}

bool AllAscii(const platform::WideString& text) {
    for (wchar_t c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

// Whether the font draws every character of the text rather than a box for some.
bool HasGlyphs(HDC dc, HFONT font, const platform::WideString& text) {
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    std::vector<WORD> glyphs(text.size());
    DWORD done = GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                                  GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    // A symbol font's characters are its own pictures, whatever their codes.
    if (metrics.tmCharSet == SYMBOL_CHARSET || done == GDI_ERROR) return true;
    return std::find(glyphs.begin(), glyphs.end(), WORD{0xFFFF}) == glyphs.end();
}

}  // namespace

FontCache::~FontCache() {
    if (dc_) DeleteDC(dc_);
    for (auto& entry : fonts_)
        DeleteObject(entry.second);
}

HDC FontCache::Measuring() {
    if (!dc_) dc_ = CreateCompatibleDC(nullptr);
    return dc_;
}

int FontCache::TextWidth(HFONT font, const platform::WideString& text) {
    HDC dc = Measuring();
    HGDIOBJ old = SelectObject(dc, font);
    RECT extent = {0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &extent, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    return extent.right;
}

HFONT FontCache::Get(const Font& font) {
    auto key = std::make_tuple(font.name, font.height, font.underline);
    if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;

    std::string face = font.name;
    FaceInfo info = FindFace(Measuring(), face);
    for (const Substitute& s : kSubstitutes) {
        if (!info.found && lstrcmpiA(face.c_str(), s.face) == 0) {
            face = s.instead;
            info = FindFace(Measuring(), face);
        }
    }
    // A symbol font is only chosen by its face name when asked for its own character set.
    BYTE charset = info.found && info.charset == SYMBOL_CHARSET ? SYMBOL_CHARSET : DEFAULT_CHARSET;
    // A negative height asks for the character height without the internal leading, as the
    // classic dialog fonts are measured (8-point MS Sans Serif is 11 pixels).
    HFONT handle = CreateFontA(-font.height, 0, 0, 0, FW_NORMAL, FALSE, font.underline, FALSE,
                               charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    fonts_.emplace(key, handle);
    return handle;
}

HFONT FontCache::For(const Font& font, const platform::WideString& text) {
    HFONT own = Get(font);
    if (AllAscii(text) || HasGlyphs(Measuring(), own, text)) return own;
    return Get(Font{kWideCoverageFace, font.height, font.underline});
}

}  // namespace ui
