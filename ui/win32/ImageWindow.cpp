#include "ui/win32/ImageWindow.h"

namespace ui {

ImageWindow::ImageWindow(Image& image, FormWindow& owner, int id)
    : ControlWindow(image, owner, {L"STATIC", SS_ICON, 0}, id) {}

ImageWindow::~ImageWindow() {
    if (icon_) DestroyIcon(icon_);
}

// The icon image of the requested size, drawn at the top left of the control's place (a static
// with SS_ICON takes the icon's size; the place is set again after it).
void ImageWindow::Apply(Aspect aspect) {
    if (aspect != Aspect::Caption) return;
    const auto& image = *static_cast<Image*>(GetControl());
    HICON old = icon_;
    icon_ = image.IconId() == 0 ? nullptr
                                : static_cast<HICON>(LoadImageW(
                                      GetModuleHandleW(nullptr), MAKEINTRESOURCEW(image.IconId()),
                                      IMAGE_ICON, image.IconSize(), image.IconSize(), 0));
    SendMessageW(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
    if (old) DestroyIcon(old);
    Move();
}

}  // namespace ui
