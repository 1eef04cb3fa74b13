#pragma once

#include <string>
#include <vector>

namespace tamsel::test {

// The designed layout of a window, in twips, written out here independently of the programs'
// own sources: the client size and the controls in tab order.
struct DesignedControl {
    std::string name;
    int left, top, width, height;
};

struct DesignedWindow {
    std::string form;
    std::string caption;
    int width, height;
    std::vector<DesignedControl> controls;
};

inline const DesignedWindow kInstallerDesign{"Installer",
                                             "Tamsel Orry Installer",
                                             4770,
                                             2490,
                                             {{"Label3", 60, 60, 4755, 255},
                                              {"InstallDirectory", 60, 480, 3375, 195},
                                              {"ChangeDirBTN", 3120, 420, 1455, 315},
                                              {"OKBTN", 840, 2040, 1035, 315},
                                              {"CancelBTN", 2820, 2040, 1035, 315},
                                              {"StartMenuGroup", 780, 1560, 2655, 315},
                                              {"Label2", 60, 900, 4575, 495},
                                              {"ProgressBar", 0, 4050, 15, 195}}};

inline const DesignedWindow kChooserDesign{"ChooseDirFRM",
                                           "Install To...",
                                           5265,
                                           3180,
                                           {{"OKButton", 3900, 120, 1215, 375},
                                            {"CancelButton", 3900, 600, 1215, 375},
                                            {"Label1", 3960, 2280, 675, 255},
                                            {"Label2", 120, 120, 1095, 315},
                                            {"DriveBox", 3900, 2640, 1275, 315},
                                            {"DirBox", 1320, 600, 2415, 2340},
                                            {"Dir", 1320, 120, 2415, 315}}};

inline const DesignedWindow kRemoveDesign{"Remove",
                                          "Uninstall Tamsel Orry",
                                          4695,
                                          1005,
                                          {{"OKButton", 2160, 600, 1095, 375},
                                           {"Label1", 120, 120, 4455, 375},
                                           {"NoButton", 3480, 600, 1095, 375}}};

}  // namespace tamsel::test
