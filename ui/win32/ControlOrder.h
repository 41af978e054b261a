#pragma once
// Where a form's control windows lie among each other, which is also their tab order: in the
// order of the form's controls, the first on top, and the frames (group boxes) beneath all
// others, so that the controls they frame get the mouse and paint over them.

#include <memory>
#include <vector>

#include "ui/win32/ControlWindow.h"

namespace ui {

class ControlOrder {
public:
    // The form's control windows in the order of its controls, made or not.
    explicit ControlOrder(const std::vector<std::unique_ptr<ControlWindow>>& windows)
        : windows_(windows) {}
    // The windows the form shows at the start are made: the frames go beneath the rest.
    void Settle();
    // Puts a control's window made after that in its place: beneath the controls made before it
    // and above those made after; a frame goes among the frames.
    void Place(const ControlWindow& late) const;

private:
    const std::vector<std::unique_ptr<ControlWindow>>& windows_;
    bool settled_ = false;
};

}  // namespace ui
