#include "support/RecordingMessageBoxes.h"

namespace tamsel::test {

MsgResult RecordingMessageBoxes::ShowMessageBox(const MessageBoxSpec& box) {
    shown_.push_back(box);
    if (answers_.empty()) return ButtonResult(box.buttons, box.defaultButton);
    const MsgResult answer = answers_.front();
    answers_.pop_front();
    return answer;
}

}  // namespace tamsel::test
