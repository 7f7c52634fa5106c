// The stand-in's journal: one line per automation call it serves, so tests
// and people can see exactly what a client asked for.
//
// Line: object, member, kind and each argument, separated by tabs, e.g.
//   Workbooks<TAB>Item<TAB>get<TAB>1
//   Cell<TAB>Value<TAB>put<TAB>"Mass"
//   Font<TAB>Bold<TAB>put<TAB>true
// Kinds: method, get, put, putref, or several joined by "|" when the caller
// set several flags. Texts are quoted, with \\ \" \r \n \t escaped and other
// bytes (ANSI) kept; integers in decimal; reals shortest round-trip with ".";
// booleans true/false; a missing argument "missing"; other types "vt<N>".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ionsift::sheet {

struct JournalValue {
    enum class Kind { Empty, Missing, Integer, Real, Boolean, Text, Other } kind = Kind::Empty;
    std::int64_t integer = 0;  // Integer; the variant type for Other
    double real = 0.0;
    bool boolean = false;
    std::string text;
};

// Bits as IDispatch::Invoke takes them: method 1, get 2, put 4, putref 8.
std::string JournalKind(unsigned flags);

std::string JournalLine(const std::string& object, const std::string& member,
                        const std::string& kind, const std::vector<JournalValue>& arguments);

}  // namespace ionsift::sheet
