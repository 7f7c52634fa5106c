// Error reports in message boxes that the host draws.
#pragma once

#include <cstdarg>
#include <string>

namespace ionsift {

constexpr int kMessageBoxErrorStyle = 16;   // stop icon, one OK button
constexpr std::size_t kMessageTextLimit = 255;   // longest message shown
constexpr std::size_t kMessageCommandLimit = 511;  // longest messagebox command

// `messagebox "<text>" "<title>" <style>`, at most kMessageCommandLimit
// characters. Text that does not fit is shortened, never the frame: the
// closing quotes, the title (itself cut to keep room for text) and the style
// are always there, so the host can parse the command.
std::string FormatMessageBoxCommand(const char* text, const char* title, int style);

// Shows a message box through the host and returns the digit of the button
// pressed (the first character of the host's answer minus '0').
int HostMessageBox(const char* text, const char* title, int style);

// Formats the text of string `id` with printf arguments (at most
// kMessageTextLimit characters) and shows it under the title of string 48
// with the stop icon. Returns 0 once the user has closed the box.
int ShowError(int id, ...);
int ShowErrorV(int id, std::va_list args);

}  // namespace ionsift
