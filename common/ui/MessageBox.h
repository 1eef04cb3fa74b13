#pragma once

#include <string>
#include <vector>

namespace tamsel {

// The names of these values (ButtonsName, IconName, ResultName) follow the order declared here.
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgResult { OK, Cancel, Yes, No, Retry, Abort, Ignore };

// A modal message box: what it shows and which button is the default (1 = the first button).
struct MessageBoxSpec {
    std::string title;
    std::string text;  // lines joined by CR LF
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    int defaultButton = 1;
};

// Names as the scripted front end and its log write them: "OK", "YesNo", "exclamation", "Yes".
const char* ButtonsName(MsgButtons buttons);
const char* IconName(MsgIcon icon);
const char* ResultName(MsgResult result);
// The results of a button set's buttons, in the order they stand.
std::vector<MsgResult> ButtonResults(MsgButtons buttons);
// The result that the n-th button (1-based) of a button set gives.
MsgResult ButtonResult(MsgButtons buttons, int n);
// Parses "OK", "Yes", "No", ...; false when the text names no result.
bool ParseResult(const std::string& name, MsgResult& result);
// Whether a button set holds a button with that result.
bool HasButton(MsgButtons buttons, MsgResult result);

// Anything that can show a modal message box and return the button pressed.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual MsgResult ShowMessageBox(const MessageBoxSpec& request) = 0;
};

}  // namespace tamsel
