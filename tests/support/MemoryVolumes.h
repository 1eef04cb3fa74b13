#pragma once

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/System.h"

namespace tamsel::test {

// Drives c: [System], d: [Data] and an empty removable a:, and a few directories, in memory.
class MemoryVolumes : public Volumes {
  public:
    std::set<std::string> directories{"C:\\", "C:\\Program Files", "D:\\", "D:\\Apps"};
    std::map<char, std::string> current;

    std::vector<DriveInfo> Drives() override {
        return {{'c', "System", true}, {'d', "Data", true}, {'a', "", false}};
    }
    std::string CurrentDirectory(char letter) override {
        const char lower = static_cast<char>(std::tolower(letter));
        const auto found = current.find(lower);
        return found != current.end() ? found->second
                                      : std::string{static_cast<char>(lower - 32), ':', '\\'};
    }
    void SetCurrentDirectory(char letter, const std::string& path) override {
        current[static_cast<char>(std::tolower(letter))] = path;
    }
    bool DirectoryExists(const std::string& path) override { return directories.count(path) != 0; }
    std::vector<std::string> SubDirectories(const std::string& path) override {
        std::vector<std::string> names;
        const std::string prefix = path.back() == '\\' ? path : path + "\\";
        for (const auto& directory : directories) {
            if (directory.size() > prefix.size() && directory.starts_with(prefix) &&
                directory.find('\\', prefix.size()) == std::string::npos) {
                names.push_back(directory.substr(prefix.size()));
            }
        }
        return names;
    }
};

}  // namespace tamsel::test
