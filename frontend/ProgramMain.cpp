#include "frontend/ProgramMain.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string_view>

#include "frontend/DesktopUserInterface.h"
#include "frontend/script/ScriptUserInterface.h"
#include "platform/RuntimeError.h"

namespace tamsel {

namespace {

constexpr std::string_view kScriptPrefix = "script:";

std::string EnvironmentText(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The front end that TAMSEL_UI chooses: "script:FILE" plays the user from FILE and logs to
// TAMSEL_UI_LOG; anything else shows real windows.
bool ScriptChosen() { return EnvironmentText("TAMSEL_UI").starts_with(kScriptPrefix); }

std::unique_ptr<UserInterface> OpenFrontEnd() {
    const std::string choice = EnvironmentText("TAMSEL_UI");
    if (ScriptChosen()) {
        const std::string scriptPath = choice.substr(kScriptPrefix.size());
        if (scriptPath.empty()) throw std::runtime_error("TAMSEL_UI=script: names no script file");
        return OpenScriptUserInterface(scriptPath, EnvironmentText("TAMSEL_UI_LOG"));
    }
    return OpenDesktopUserInterface();
}

// A failure of the machine itself (not a run-time error of the program, which the program
// reports in its own message box). It goes to stderr, and, on the desktop, where a user may have
// no terminal to read it in, to a message box too. The scripted front end only logs it, so that
// a script needs no answer for it.
void ReportFatal(UserInterface* ui, const std::string& title, const std::string& message) {
    std::fputs((title + ": " + message + "\n").c_str(), stderr);
    if (ui == nullptr || ScriptChosen()) return;
    MessageBoxSpec box;
    box.title = title;
    box.text = message;
    box.icon = MsgIcon::Critical;
    try {
        ui->ShowMessageBox(box);
    } catch (const std::exception&) {
        // Nothing more can be shown; stderr has it.
    }
}

}  // namespace

int RunProgram(const std::string& failureTitle, const MainFormFactory& makeMainForm) {
    std::unique_ptr<UserInterface> ui;
    try {
        ui = OpenFrontEnd();
    } catch (const std::exception& error) {
        ReportFatal(nullptr, failureTitle, error.what());
        return exit_status::kFailure;
    }

    Application app(*ui, failureTitle);
    std::unique_ptr<Platform> platform;
    try {
        platform = OpenPlatform();
    } catch (const std::exception& error) {
        ReportFatal(ui.get(), failureTitle, error.what());
        app.End(exit_status::kFailure);
        return app.ExitStatus();
    }

    // Forms refer to the platform and the application: they go before either.
    std::unique_ptr<Form> mainForm;
    try {
        mainForm = makeMainForm(app, *platform);
        // The load event runs inside Show and may report a failure or end the program.
        app.Dispatch([&] { mainForm->Show(); });
        ui->Run(app);
    } catch (const FrontEndError&) {
        // The scripted front end has logged and told what went wrong.
        app.End(exit_status::kFrontEnd);
    } catch (const std::exception& error) {
        // Not a run-time error of the program (those are reported in a message box): the
        // machine itself could not be used, for instance a registry store that is damaged.
        ReportFatal(ui.get(), failureTitle, error.what());
        app.End(exit_status::kFailure);
    }
    if (!app.Ended()) app.End(exit_status::kNormal);
    const int status = app.ExitStatus();
    mainForm.reset();
    return status;
}

}  // namespace tamsel
