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
        } else {
            options.error = "unknown option: " + argument;
            return options;
        }
    }
    if (options.openPluginMenu && options.screenshotPath.empty()) {
        options.error = "--menu only goes with --screenshot";
    }
    return options;
}

}  // namespace ionsift::host
