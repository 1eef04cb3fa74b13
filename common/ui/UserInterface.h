#pragma once

#include <stdexcept>
#include <string>

#include "common/ui/MessageBox.h"

namespace tamsel {

class Application;

// A front end: draws the application's visible forms and message boxes and plays the user.
// Implementations: the scripted front end (tests and automation), the desktop front ends.
class UserInterface : public MessageBoxes {
  public:
    // Runs the event loop until the application has ended: waits for the user's input on the
    // active form and applies it through UserActions.
    virtual void Run(Application& app) = 0;
    // Told before the program starts a process.
    virtual void ProcessStarting(const std::string& commandLine) { (void)commandLine; }
    // Told when the application ends, with its exit status.
    virtual void Ended(int exitStatus) { (void)exitStatus; }
};

// A failure of the front end itself (a script that names something not on screen, or that
// runs out while the program waits). It ends the program with exit status 3.
class FrontEndError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace tamsel
