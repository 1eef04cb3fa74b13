#pragma once

#include <filesystem>

namespace tamsel::test {

// A new, empty folder under the system's temporary folder, removed with everything in it when
// the object goes away.
class ScratchDirectory {
  public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace tamsel::test
