#pragma once

#include <FL/Enumerations.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Menu_Item.H>

#include <string>
#include <vector>

namespace tamsel::fltk {

// A label type that draws its text as it stands: no "@" symbols and no "&" access keys.
// Labels show data such as paths, and list entries show folder names, which may hold either.
Fl_Labeltype LiteralLabelType();

// A command button as Windows has it: besides the space bar, Enter clicks the button that has
// the focus.
class CommandButton : public Fl_Button {
  public:
    CommandButton(int x, int y, int w, int h);
    int handle(int event) override;
};

// A directory list: Enter opens the selected entry, as a double-click does.
class DirectoryBrowser : public Fl_Hold_Browser {
  public:
    DirectoryBrowser(int x, int y, int w, int h);
    int handle(int event) override;
    // Set while the callback runs for an entry that is to be opened.
    bool Opening() const { return opening_; }

  private:
    bool opening_ = false;
};

// The items of a drop-down list, built from texts and drawn literally. The array stays valid
// until the next Set.
class MenuEntries {
  public:
    // Returns false when the texts are those already held.
    bool Set(const std::vector<std::string>& texts, Fl_Font font, Fl_Fontsize size);
    const Fl_Menu_Item* Items() const { return items_.data(); }
    const std::vector<std::string>& Texts() const { return texts_; }

  private:
    std::vector<std::string> texts_;
    std::vector<Fl_Menu_Item> items_;
};

}  // namespace tamsel::fltk
