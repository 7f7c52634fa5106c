#include "export/automation_error.h"

#include <cstdio>

namespace ionsift {

AutomationError::AutomationError(std::string operation, std::int32_t code, std::string description)
    : std::runtime_error(DescribeAutomationError(operation, code, description)),
      operation_(std::move(operation)),
      code_(code),
      description_(std::move(description)) {}

std::string DescribeAutomationError(const std::string& operation, std::int32_t code,
                                    const std::string& description) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX",
                  static_cast<unsigned long>(static_cast<std::uint32_t>(code)));
    std::string text = operation + " failed: " + hex;
    if (!description.empty()) text += " (" + description + ")";
    return text;
}

}  // namespace ionsift
