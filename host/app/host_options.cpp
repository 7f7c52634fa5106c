#include "host/app/host_options.h"

namespace ionsift::host {

HostOptions ParseHostOptions(const std::vector<std::string>& arguments) {
    HostOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--screenshot") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                options.error = "--screenshot needs a file name";
                return options;
            }
            options.screenshotPath = arguments[++i];
        } else if (argument == "--menu") {
            options.openPluginMenu = true;
        } else if (argument == "--choose") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                options.error = "--choose needs a menu item's caption";
                return options;
            }
            options.menuChoice = arguments[++i];
        } else if (argument == "--exec" || argument == "--run") {
            // The command is taken as given, even when it looks like an option.
            if (i + 1 >= arguments.size()) {
                options.error = argument + " needs a command";
                return options;
            }
            auto& list = argument == "--exec" ? options.commands : options.startupCommands;
            list.push_back(arguments[++i]);
        } else {
            options.error = "unknown option: " + argument;
            return options;
        }
    }
    if (options.openPluginMenu && options.screenshotPath.empty()) {
        options.error = "--menu only goes with --screenshot";
    } else if (!options.commands.empty() &&
               (!options.screenshotPath.empty() || !options.startupCommands.empty() || !options.menuChoice.empty())) {
        options.error = "--exec runs without a window: no --screenshot, --run or --choose with it";
    }
    return options;
}

}  // namespace ionsift::host
