#pragma once
// A picture: a static window showing one of the program's icons at the size asked for.

#include "ui/win32/ControlWindow.h"

namespace ui {

class ImageWindow final : public ControlWindow {
public:
    ImageWindow(Image& image, FormWindow& owner, int id);
    ~ImageWindow() override;
    bool OnFormBackground() const override { return true; }

private:
    void Apply(Aspect aspect) override;
    platform::WideString InitialText() const override { return {}; }
    void Fill() override { Apply(Aspect::Caption); }

    HICON icon_ = nullptr;  // ours: an icon of a size of its own is not shared
};

}  // namespace ui
