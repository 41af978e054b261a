#include "services/RunProgram.h"

void RunProgram(platform::Shell& shell, const std::string& file, const std::string& parameters,
                const std::string& directory, int show) {
    shell.Execute(platform::Launch{file, parameters, directory, show});
}
