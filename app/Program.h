#pragma once
// The program object: the state its windows share, and the windows, created in one place.

#include <memory>
#include <vector>

#include "app/ProgramState.h"
#include "app/Windows.h"
#include "safety/TForm5.h"

class Program : public ProgramState, public Windows {
public:
    Program(platform::Platform os, ui::Application& app);
    ~Program() override;

    TForm1& CreateMainWindow() override;
    TForm1& Form1() override;
    TForm5& CreateCheckWindow() override;
    TForm5* CheckWindow() { return checkWindow_.get(); }

private:
    std::vector<std::unique_ptr<TForm1>> mainWindows_;
    std::unique_ptr<TForm5> checkWindow_;
};
