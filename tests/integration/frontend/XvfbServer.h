#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

namespace tamsel::test {

// A virtual X display of its own for one test: Xvfb on a display number it picks itself, at 96
// dots per inch, stopped when the object goes away.
class XvfbServer {
  public:
    // Nothing, with the reason in *problem, when Xvfb is not installed or does not come up.
    static std::unique_ptr<XvfbServer> Start(std::string* problem);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // The value for DISPLAY (":93").
    const std::string& Display() const { return display_; }
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 1024;

  private:
    XvfbServer(pid_t pid, std::string display) : pid_(pid), display_(std::move(display)) {}
    pid_t pid_;
    std::string display_;
};

// The full path of a program found on PATH; empty when there is none.
std::string FindOnPath(const std::string& program);
inline bool OnPath(const std::string& program) { return !FindOnPath(program).empty(); }

}  // namespace tamsel::test
