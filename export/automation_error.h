// The one failure the spreadsheet driver reports: an automation call that did
// not succeed, with the platform's error code and, when the application gave
// one, its own description.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace ionsift {

class AutomationError : public std::runtime_error {
public:
    // `operation` names the failed step ("Workbooks.Add", "CLSIDFromProgID");
    // `code` is the HRESULT; `description` is the application's text, if any.
    AutomationError(std::string operation, std::int32_t code, std::string description = {});

    const std::string& Operation() const { return operation_; }
    std::int32_t Code() const { return code_; }
    const std::string& Description() const { return description_; }

private:
    std::string operation_;
    std::int32_t code_;
    std::string description_;
};

// "Workbooks.Add failed: 0x80020009 (the application's text)"; the
// parenthesis is left out when there is no description.
std::string DescribeAutomationError(const std::string& operation, std::int32_t code,
                                    const std::string& description);

}  // namespace ionsift
