#pragma once

#include <deque>
#include <vector>

#include "common/ui/MessageBox.h"
#include "common/ui/UserInterface.h"

namespace tamsel::test {

// Message boxes for tests: records every box shown and answers with the scripted results in
// order, then with the box's default button once the script runs out.
class RecordingMessageBoxes : public MessageBoxes {
  public:
    MsgResult ShowMessageBox(const MessageBoxSpec& box) override {
        shown_.push_back(box);
        if (answers_.empty()) return ButtonResult(box.buttons, box.defaultButton);
        const MsgResult answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    // Queues the answer for the next box that has no answer yet.
    void Answer(MsgResult result) { answers_.push_back(result); }

    const std::vector<MessageBoxSpec>& Shown() const { return shown_; }

  private:
    std::deque<MsgResult> answers_;
    std::vector<MessageBoxSpec> shown_;
};

// A front end that shows nothing and answers every message box through RecordingMessageBoxes.
class SilentUserInterface : public UserInterface {
  public:
    void Run(Application&) override {}
    MsgResult ShowMessageBox(const MessageBoxSpec& request) override {
        return boxes.ShowMessageBox(request);
    }
    RecordingMessageBoxes boxes;
};

}  // namespace tamsel::test
