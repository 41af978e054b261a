#include "ui/win32/FontCache.h"

namespace ui {
namespace {

// Faces a machine may lack, with one every Windows has that draws the same glyphs. Webdings'
// "5" and "6" (the paging arrows) are Marlett's "5" and "6"; Marlett draws the caption buttons.
struct Substitute {
    const char* face;
    const char* instead;
};
constexpr Substitute kSubstitutes[] = {{"Webdings", "Marlett"}};

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

FaceInfo FindFace(const std::string& face) {
    LOGFONTA query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(query.lfFaceName, face.c_str(), LF_FACESIZE);
    FaceInfo info;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExA(screen, &query, NoteFace, reinterpret_cast<LPARAM>(&info), 0);
    ReleaseDC(nullptr, screen);
    return info;
}

}  // namespace

FontCache::~FontCache() {
    for (auto& entry : fonts_)
        DeleteObject(entry.second);
}

HFONT FontCache::Get(const Font& font) {
    auto key = std::make_pair(font.name, font.height);
    if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;

    std::string face = font.name;
    FaceInfo info = FindFace(face);
    for (const Substitute& s : kSubstitutes) {
        if (!info.found && lstrcmpiA(face.c_str(), s.face) == 0) {
            face = s.instead;
            info = FindFace(face);
        }
    }
    // A symbol font is only chosen by its face name when asked for its own character set.
    BYTE charset = info.found && info.charset == SYMBOL_CHARSET ? SYMBOL_CHARSET : DEFAULT_CHARSET;
    // A negative height asks for the character height without the internal leading, as the
    // classic dialog fonts are measured (8-point MS Sans Serif is 11 pixels).
    HFONT handle = CreateFontA(-font.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    fonts_.emplace(key, handle);
    return handle;
}

}  // namespace ui
