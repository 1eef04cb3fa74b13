#pragma once

#include <exception>
#include <memory>
#include <vector>

#include "common/ui/Control.h"
#include "common/ui/UserInterface.h"
#include "frontend/win32/NativeHandles.h"

namespace tamsel::win32 {

class FormWindow;

// The desktop front end on Windows: a native window per visible form, native controls, and
// MessageBoxA for message boxes. Runs the message loop on the program's one GUI thread.
class NativeUserInterface : public UserInterface {
  public:
    NativeUserInterface();
    ~NativeUserInterface() override;

    void Run(Application& app) override;
    MsgResult ShowMessageBox(const MessageBoxSpec& request) override;
    void Ended(int exitStatus) override;

    // For the form windows.
    int DotsPerInch() const { return dotsPerInch_; }
    HFONT Font(const FontSpec& request);
    HBRUSH Brush(std::int32_t rgb);
    // After the user's input went to the model: draw every form's new state.
    void SyncAll();
    // A failure that is no run-time error of the program: ends the message loop, and Run
    // raises it again.
    void Fail(std::exception_ptr failure);

  private:
    struct CachedFont {
        FontSpec request;
        GdiObject<HFONT> font;
    };
    struct CachedBrush {
        std::int32_t rgb;
        GdiObject<HBRUSH> brush;
    };

    Application* app_ = nullptr;
    int dotsPerInch_ = 96;
    std::vector<std::unique_ptr<FormWindow>> windows_;
    std::vector<CachedFont> fonts_;
    std::vector<CachedBrush> brushes_;
    std::exception_ptr failure_;
};

// The window class of the form windows; registered once.
const wchar_t* FormWindowClass();

}  // namespace tamsel::win32
