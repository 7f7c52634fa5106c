#include "shell/error_report.h"

#include <cstdio>
#include <cstring>

#include "shell/host_link.h"
#include "shell/string_table.h"

namespace ionsift {
namespace {

constexpr int kErrorTitleId = 48;
constexpr std::size_t kTitleLimit = 128;

}  // namespace

std::string FormatMessageBoxCommand(const char* text, const char* title, int style) {
    const std::string prefix = "messagebox \"";
    const std::string styleText = std::to_string(style);
    std::string titleText = title ? title : "";
    if (titleText.size() > kTitleLimit) titleText.resize(kTitleLimit);
    const std::string suffix = "\" \"" + titleText + "\" " + styleText;

    std::string message = text ? text : "";
    if (message.size() > kMessageTextLimit) message.resize(kMessageTextLimit);
    const std::size_t room = kMessageCommandLimit - prefix.size() - suffix.size();
    if (message.size() > room) message.resize(room);
    return prefix + message + suffix;
}

int HostMessageBox(const char* text, const char* title, int style) {
    SendDirect(FormatMessageBoxCommand(text, title, style).c_str());
    return HostResultText()[0] - '0';
}

int ShowErrorV(int id, std::va_list args) {
    char message[kMessageTextLimit + 1];
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
    // A catalog text only when it reads the arguments the built-in one does;
    // vsnprintf cuts the message to fit.
    if (std::vsnprintf(message, sizeof message, LocFormat(id), args) < 0) message[0] = '\0';
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    HostMessageBox(message, LocString(kErrorTitleId), kMessageBoxErrorStyle);
    return 0;
}

int ShowError(int id, ...) {
    std::va_list args;
    va_start(args, id);
    ShowErrorV(id, args);
    va_end(args);
    return 0;
}

}  // namespace ionsift
