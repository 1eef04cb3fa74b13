#include "frontend/fltk/GeometryLog.h"

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>

namespace tamsel::fltk {

namespace {

nlohmann::json RectJson(const PixelRect& r) {
    return {{"x", r.x}, {"y", r.y}, {"w", r.w}, {"h", r.h}};
}

void Append(const std::string& path, const nlohmann::json& line) {
    if (path.empty()) return;
    std::ofstream out(path, std::ios::app);
    // A log that cannot be written must not stop the program; it only serves observers.
    out << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

}  // namespace

GeometryLog GeometryLog::FromEnvironment() {
    const char* path = std::getenv("TAMSEL_UI_GEOMETRY_LOG");
    return GeometryLog(path != nullptr ? path : "");
}

void GeometryLog::WindowShown(const std::string& form, const std::string& caption,
                              const PixelRect& window, double pixelsPerInch,
                              const std::vector<NamedRect>& controls) const {
    if (path_.empty()) return;
    nlohmann::json line = {{"kind", "window"},
                           {"form", form},
                           {"caption", caption},
                           {"pixelsPerInch", pixelsPerInch},
                           {"window", RectJson(window)}};
    nlohmann::json list = nlohmann::json::array();
    for (const NamedRect& control : controls) {
        nlohmann::json entry = RectJson(control.rect);
        entry["name"] = control.name;
        list.push_back(entry);
    }
    line["controls"] = list;
    Append(path_, line);
}

void GeometryLog::MessageBoxShown(const std::string& title, const std::string& text,
                                  const std::string& icon, const PixelRect& window,
                                  const std::vector<NamedRect>& buttons,
                                  const std::vector<std::string>& results,
                                  int defaultButton) const {
    if (path_.empty()) return;
    nlohmann::json line = {{"kind", "messageBox"},
                           {"title", title},
                           {"text", text},
                           {"icon", icon},
                           {"window", RectJson(window)}};
    nlohmann::json list = nlohmann::json::array();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        nlohmann::json entry = RectJson(buttons[i].rect);
        entry["caption"] = buttons[i].name;
        entry["result"] = i < results.size() ? results[i] : "";
        entry["default"] = static_cast<int>(i) == defaultButton;
        list.push_back(entry);
    }
    line["buttons"] = list;
    Append(path_, line);
}

}  // namespace tamsel::fltk
