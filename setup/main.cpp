#include <memory>

#include "frontend/ProgramMain.h"
#include "setup/Installer.h"

int main() {
    return tamsel::RunProgram("Tamsel Orry Setup",
                              [](tamsel::Application& app, tamsel::Platform& platform) {
                                  return std::make_unique<tamsel::Installer>(app, platform);
                              });
}
