#pragma once

#include <exception>
#include <vector>

#include "common/ui/UserInterface.h"
#include "frontend/fltk/FormWindow.h"
#include "frontend/fltk/GeometryLog.h"
#include "frontend/fltk/PixelLayout.h"

namespace tamsel::fltk {

// The desktop front end drawn with FLTK: a window for each visible form, refreshed from the
// forms after each input the program handled, and modal message boxes. The display must be
// open before it is made.
class FltkUserInterface : public UserInterface, private WindowHost {
  public:
    FltkUserInterface(PixelScale scale, GeometryLog log);
    ~FltkUserInterface() override;

    void Run(Application& app) override;
    MsgResult ShowMessageBox(const MessageBoxSpec& request) override;

  private:
    void InputHandled() override { dirty_ = true; }
    void InputFailed(std::exception_ptr failure) override;

    // Brings the windows in line with the forms: makes, refreshes, shows and hides them. Only
    // the outer event loop deletes windows, since a nested loop runs inside a widget's
    // callback.
    void Sync(bool mayDelete);
    FormWindow* WindowOf(const Form* form) const;
    void CloseAll();

    PixelScale scale_;
    GeometryLog log_;
    Application* app_ = nullptr;
    std::vector<FormWindow*> windows_;  // owned
    const Form* raised_ = nullptr;      // the form whose window was last brought to the front
    bool dirty_ = true;
    std::exception_ptr failure_;
};

}  // namespace tamsel::fltk
