#include "common/ui/MessageBox.h"

#include <array>
#include <vector>

namespace tamsel {

namespace {

constexpr std::array<MsgResult, 7> kAllResults = {
    MsgResult::OK,    MsgResult::Cancel, MsgResult::Yes,   MsgResult::No,
    MsgResult::Retry, MsgResult::Abort,  MsgResult::Ignore};

}  // namespace

std::vector<MsgResult> ButtonResults(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::OK:
            return {MsgResult::OK};
        case MsgButtons::OKCancel:
            return {MsgResult::OK, MsgResult::Cancel};
        case MsgButtons::YesNo:
            return {MsgResult::Yes, MsgResult::No};
        case MsgButtons::YesNoCancel:
            return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
        case MsgButtons::RetryCancel:
            return {MsgResult::Retry, MsgResult::Cancel};
        case MsgButtons::AbortRetryIgnore:
            return {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore};
    }
    return {MsgResult::OK};
}

const char* ButtonsName(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::OK:
            return "OK";
        case MsgButtons::OKCancel:
            return "OKCancel";
        case MsgButtons::YesNo:
            return "YesNo";
        case MsgButtons::YesNoCancel:
            return "YesNoCancel";
        case MsgButtons::RetryCancel:
            return "RetryCancel";
        case MsgButtons::AbortRetryIgnore:
            return "AbortRetryIgnore";
    }
    return "OK";
}

const char* IconName(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::None:
            return "none";
        case MsgIcon::Critical:
            return "critical";
        case MsgIcon::Question:
            return "question";
        case MsgIcon::Exclamation:
            return "exclamation";
        case MsgIcon::Information:
            return "information";
    }
    return "none";
}

const char* ResultName(MsgResult result) {
    switch (result) {
        case MsgResult::OK:
            return "OK";
        case MsgResult::Cancel:
            return "Cancel";
        case MsgResult::Yes:
            return "Yes";
        case MsgResult::No:
            return "No";
        case MsgResult::Retry:
            return "Retry";
        case MsgResult::Abort:
            return "Abort";
        case MsgResult::Ignore:
            return "Ignore";
    }
    return "OK";
}

MsgResult ButtonResult(MsgButtons buttons, int n) {
    const auto all = ButtonResults(buttons);
    if (n < 1 || n > static_cast<int>(all.size())) return all.front();
    return all[static_cast<std::size_t>(n - 1)];
}

bool ParseResult(const std::string& name, MsgResult& result) {
    for (MsgResult candidate : kAllResults) {
        if (name == ResultName(candidate)) {
            result = candidate;
            return true;
        }
    }
    return false;
}

bool HasButton(MsgButtons buttons, MsgResult result) {
    for (MsgResult candidate : ButtonResults(buttons)) {
        if (candidate == result) return true;
    }
    return false;
}

}  // namespace tamsel
