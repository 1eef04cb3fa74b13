#include "common/ui/MessageBox.h"

#include <array>
#include <vector>

namespace tamsel {

namespace {

constexpr std::array<MsgResult, 7> kAllResults = {
    MsgResult::OK,    MsgResult::Cancel, MsgResult::Yes,   MsgResult::No,
    MsgResult::Retry, MsgResult::Abort,  MsgResult::Ignore};

// The names of each enumeration's values, in the order it declares them.
constexpr std::array<const char*, 6> kButtonsNames = {
    "OK", "OKCancel", "YesNo", "YesNoCancel", "RetryCancel", "AbortRetryIgnore"};
constexpr std::array<const char*, 5> kIconNames = {"none", "critical", "question", "exclamation",
                                                   "information"};
constexpr std::array<const char*, 7> kResultNames = {"OK",    "Cancel", "Yes",   "No",
                                                     "Retry", "Abort",  "Ignore"};

// A value's name in its table; the first name for a value the enumeration does not declare.
template <typename Enum, std::size_t N>
const char* NameOf(const std::array<const char*, N>& names, Enum value) {
    const auto index = static_cast<std::size_t>(value);
    return index < N ? names[index] : names[0];
}

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

const char* ButtonsName(MsgButtons buttons) { return NameOf(kButtonsNames, buttons); }

const char* IconName(MsgIcon icon) { return NameOf(kIconNames, icon); }

const char* ResultName(MsgResult result) { return NameOf(kResultNames, result); }

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
