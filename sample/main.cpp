// A small stand-in for the application that Setup installs: it says where it runs from.

#include <exception>
#include <iostream>

#include "platform/Platform.h"

int main() {
    try {
        const auto platform = tamsel::OpenPlatform();
        std::cout << "Tamsel Orry is running from " << platform->GetSystem().ProgramFolder()
                  << std::endl;
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "TamselOrry.exe: " << error.what() << "\n";
        return 1;
    }
}
