#include "ui/dialogs/resolution_input.h"

#include <charconv>

namespace ionsift {

long ResolvingPowerOf(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return kDefaultResolvingPower;
    }
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > kMaxResolvingPower) {
        return kDefaultResolvingPower;
    }
    return value;
}

}  // namespace ionsift
