#include "common/ui/Application.h"

#include <algorithm>

#include "common/ui/Form.h"
#include "platform/RuntimeError.h"
#include "platform/System.h"

namespace tamsel {

Application::Application(UserInterface& ui, std::string failureTitle)
    : ui_(ui), failureTitle_(std::move(failureTitle)) {}

void Application::End(int status) {
    if (ended_) return;
    ended_ = true;
    exitStatus_ = status;
    ui_.Ended(status);
}

void Application::Dispatch(const std::function<void()>& handler) {
    if (ended_) return;
    try {
        handler();
    } catch (const RuntimeError& error) {
        ReportFailure(error.Number(), error.Description());
    } catch (const std::bad_alloc&) {
        ReportFailure(err::kOutOfMemory, RuntimeError::StandardDescription(err::kOutOfMemory));
    }
}

void Application::ReportFailure(int number, const std::string& description) {
    ui_.ShowMessageBox({failureTitle_, "Error " + std::to_string(number) + ": " + description,
                        MsgButtons::OK, MsgIcon::Critical});
    End(exit_status::kFailure);
}

void Application::StartProcess(System& system, const std::string& commandLine) {
    ui_.ProcessStarting(commandLine);
    system.StartProcess(commandLine);
}

void Application::Register(Form& form) {
    if (std::find(forms_.begin(), forms_.end(), &form) == forms_.end()) forms_.push_back(&form);
}

void Application::Unregister(Form& form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
    activation_.erase(std::remove(activation_.begin(), activation_.end(), &form),
                      activation_.end());
}

void Application::Activated(Form& form) {
    activation_.erase(std::remove(activation_.begin(), activation_.end(), &form),
                      activation_.end());
    activation_.push_back(&form);
}

void Application::Hidden(Form& form) {
    activation_.erase(std::remove(activation_.begin(), activation_.end(), &form),
                      activation_.end());
}

Form* Application::ActiveForm() const {
    for (auto it = activation_.rbegin(); it != activation_.rend(); ++it) {
        if ((*it)->Visible()) return *it;
    }
    return nullptr;
}

void Application::FormUnloaded() {
    for (Form* form : forms_) {
        if (form->Loaded()) return;
    }
    End(exit_status::kNormal);
}

}  // namespace tamsel
