#include "ui/win32/ControlOrder.h"

#include <algorithm>

namespace ui {
namespace {

void PutAfter(HWND window, HWND after) {
    SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

// Each window made goes beneath the ones made before it, so only the frames need moving.
void ControlOrder::Settle() {
    for (const auto& window : windows_) {
        if (window->LiesBeneath() && window->Handle()) PutAfter(window->Handle(), HWND_BOTTOM);
    }
    settled_ = true;
}

void ControlOrder::Place(const ControlWindow& late) const {
    // While the form is being built each window goes beneath the ones before it anyway.
    if (!settled_) return;
    auto at = std::find_if(windows_.begin(), windows_.end(),
                           [&late](const auto& window) { return window.get() == &late; });
    if (at == windows_.end()) return;
    HWND after = HWND_TOP;
    if (late.LiesBeneath()) {
        after = HWND_BOTTOM;
        for (auto next = at + 1; next != windows_.end(); ++next) {
            if ((*next)->LiesBeneath() && (*next)->Handle()) {
                HWND above = GetWindow((*next)->Handle(), GW_HWNDPREV);
                after = above ? above : HWND_TOP;
                break;
            }
        }
    } else {
        for (auto before = at; before != windows_.begin();) {
            --before;
            if (!(*before)->LiesBeneath() && (*before)->Handle()) {
                after = (*before)->Handle();
                break;
            }
        }
    }
    PutAfter(late.Handle(), after);
}

}  // namespace ui
