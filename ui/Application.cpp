#include "ui/Application.h"

#include <exception>

namespace ui {

void Application::Run(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        boxes_.Show(e.what(), title_, platform::Buttons::Ok, platform::Icon::Error);
    }
}

void Application::Quit() {
    if (backend_) backend_->Quit();
}

void Application::RunLoop() {
    if (backend_) backend_->Run();
}

}  // namespace ui
