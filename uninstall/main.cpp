#include <memory>

#include "frontend/ProgramMain.h"
#include "uninstall/RemovalNames.h"
#include "uninstall/Remove.h"

int main() {
    return tamsel::RunProgram(tamsel::removal::kFailureTitle,
                              [](tamsel::Application& app, tamsel::Platform& platform) {
                                  return std::make_unique<tamsel::Remove>(app, platform);
                              });
}
