#include "tests/win/stand_in_host_win.h"

#include "host/app/ansi_text_win.h"

namespace ionsift::wintest {

int WindowlessServices::ShowMessageBox(const std::string& text, const std::string&, unsigned) {
    messageBoxes.push_back(text);
    return IDOK;
}

bool WindowlessServices::CopyText(const std::string& text, std::string&) {
    clipboard = text;
    return true;
}

void WindowlessServices::ShowMolecule(const host::WorkspaceMolecule& molecule) {
    shownMolecules.push_back(molecule);
}

std::string WindowlessServices::DatabaseFileName(const std::string& path) const {
    return host::AnsiToUtf8(path);
}

StandInHost::StandInHost() {
    QueryPerformanceFrequency(&frequency_);
    recording_.Respond([this](const std::string& command) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        host::CommandResult result = interpreter_.Execute(command);
        QueryPerformanceCounter(&end);
        commandTicks_ += end.QuadPart - start.QuadPart;
        return HostAnswer{result.error, std::move(result.answer)};
    });
}

double StandInHost::CommandSeconds() const {
    return static_cast<double>(commandTicks_) / static_cast<double>(frequency_.QuadPart);
}

}  // namespace ionsift::wintest
