#include "host/sheet/sheet_journal.h"

#include <charconv>

namespace ionsift::sheet {
namespace {

struct KindName {
    unsigned flag;
    const char* name;
};
constexpr KindName kKindNames[] = {{1, "method"}, {2, "get"}, {4, "put"}, {8, "putref"}};

std::string QuotedText(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        switch (c) {
            case '\\': quoted += "\\\\"; break;
            case '"': quoted += "\\\""; break;
            case '\r': quoted += "\\r"; break;
            case '\n': quoted += "\\n"; break;
            case '\t': quoted += "\\t"; break;
            default: quoted += c; break;
        }
    }
    return quoted + '"';
}

std::string ValueText(const JournalValue& value) {
    switch (value.kind) {
        case JournalValue::Kind::Empty: return "empty";
        case JournalValue::Kind::Missing: return "missing";
        case JournalValue::Kind::Integer: return std::to_string(value.integer);
        case JournalValue::Kind::Boolean: return value.boolean ? "true" : "false";
        case JournalValue::Kind::Text: return QuotedText(value.text);
        case JournalValue::Kind::Real: {
            char digits[32];
            const auto written = std::to_chars(digits, digits + sizeof digits, value.real);
            return std::string(digits, written.ptr);
        }
        case JournalValue::Kind::Other: break;
    }
    return "vt" + std::to_string(value.integer);
}

}  // namespace

std::string JournalKind(unsigned flags) {
    std::string kind;
    for (const KindName& name : kKindNames) {
        if (!(flags & name.flag)) continue;
        if (!kind.empty()) kind += '|';
        kind += name.name;
    }
    return kind.empty() ? "none" : kind;
}

std::string JournalLine(const std::string& object, const std::string& member,
                        const std::string& kind, const std::vector<JournalValue>& arguments) {
    std::string line = object + '\t' + member + '\t' + kind;
    for (const JournalValue& argument : arguments) line += '\t' + ValueText(argument);
    return line;
}

}  // namespace ionsift::sheet
