#include "host/app/command_line.h"

#include <cstddef>

namespace ionsift::host {
namespace {

constexpr char kQuote = '"';

// closes[i]: a quote at i may end a quoted argument such that the rest of the
// line from i + 1 splits cleanly. Computed right to left in one pass.
std::vector<bool> CleanClosingQuotes(const std::string& s) {
    const std::size_t n = s.size();
    std::vector<bool> splits(n + 1, false);  // the line from i splits cleanly
    std::vector<bool> closes(n, false);
    splits[n] = true;
    bool closingAhead = false;  // some clean closing quote lies right of i
    std::size_t wordEnd = n;
    bool wordHasQuote = false;  // quote between i and wordEnd (exclusive of i)
    for (std::size_t i = n; i-- > 0;) {
        const char c = s[i];
        if (IsCommandBlank(c)) {
            splits[i] = splits[i + 1];
            wordEnd = i;
            wordHasQuote = false;
        } else if (c == kQuote) {
            splits[i] = closingAhead;  // as the opening quote of an argument
            wordHasQuote = true;
        } else {
            splits[i] = !wordHasQuote && splits[wordEnd];
        }
        if (c == kQuote && (i + 1 == n || IsCommandBlank(s[i + 1])) && splits[i + 1]) {
            closes[i] = true;
            closingAhead = true;
        }
    }
    return closes;
}

std::size_t SkipBlanks(const std::string& s, std::size_t i) {
    while (i < s.size() && IsCommandBlank(s[i])) ++i;
    return i;
}

std::size_t WordEnd(const std::string& s, std::size_t i) {
    while (i < s.size() && !IsCommandBlank(s[i])) ++i;
    return i;
}

// For every position, the first quote at or after it that may end a quoted
// argument: a clean closing quote, and failing that any quote before a blank.
// Computed once, so finding the end of each argument costs nothing.
struct ClosingQuotes {
    std::vector<std::size_t> clean;
    std::vector<std::size_t> beforeBlank;
};

ClosingQuotes NextClosingQuotes(const std::string& s) {
    const std::vector<bool> closes = CleanClosingQuotes(s);
    const std::size_t n = s.size();
    ClosingQuotes next{std::vector<std::size_t>(n + 1, std::string::npos),
                       std::vector<std::size_t>(n + 1, std::string::npos)};
    for (std::size_t i = n; i-- > 0;) {
        next.clean[i] = closes[i] ? i : next.clean[i + 1];
        const bool beforeBlank = s[i] == kQuote && (i + 1 == n || IsCommandBlank(s[i + 1]));
        next.beforeBlank[i] = beforeBlank ? i : next.beforeBlank[i + 1];
    }
    return next;
}

// Position of the quote that ends the argument opened at `open`, or npos.
std::size_t ClosingQuote(const ClosingQuotes& next, std::size_t open) {
    const std::size_t clean = next.clean[open + 1];
    return clean != std::string::npos ? clean : next.beforeBlank[open + 1];
}

// Joins the leading arguments into one free-text argument, keeping the last
// arity - 1 as split.
void MergeFreeText(const std::string& line, std::size_t arity, ParsedCommand& parsed) {
    auto& args = parsed.arguments;
    if (arity == 0 || args.size() <= arity || !args[0].quoted) return;
    const std::size_t last = args.size() - arity;  // last argument joined into the first
    CommandArgument merged;
    merged.quoted = true;
    merged.rawBegin = args[0].rawBegin;
    merged.rawEnd = args[last].rawEnd;
    std::size_t textEnd = merged.rawEnd;
    if (textEnd - merged.rawBegin >= 2 && line[textEnd - 1] == kQuote) --textEnd;
    merged.text = line.substr(merged.rawBegin + 1, textEnd - merged.rawBegin - 1);
    args.erase(args.begin() + 1, args.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    args[0] = std::move(merged);
}

}  // namespace

bool IsCommandBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string CommandWord(const std::string& line) {
    const std::size_t begin = SkipBlanks(line, 0);
    return line.substr(begin, WordEnd(line, begin) - begin);
}

ParsedCommand ParseCommandLine(const std::string& line, std::size_t arity) {
    ParsedCommand parsed;
    parsed.word = CommandWord(line);
    std::size_t i = SkipBlanks(line, SkipBlanks(line, 0) + parsed.word.size());
    parsed.rest = line.substr(i);

    const ClosingQuotes closes = NextClosingQuotes(line);
    while (i < line.size()) {
        CommandArgument argument;
        argument.rawBegin = i;
        if (line[i] == kQuote) {
            argument.quoted = true;
            const std::size_t close = ClosingQuote(closes, i);
            if (close == std::string::npos) {
                argument.text = line.substr(i + 1);
                parsed.unterminatedQuote = true;
                i = line.size();
            } else {
                argument.text = line.substr(i + 1, close - i - 1);
                i = close + 1;
            }
        } else {
            const std::size_t end = WordEnd(line, i);
            argument.text = line.substr(i, end - i);
            i = end;
        }
        argument.rawEnd = i;
        parsed.arguments.push_back(std::move(argument));
        i = SkipBlanks(line, i);
    }
    MergeFreeText(line, arity, parsed);
    return parsed;
}

bool OuterQuotedText(const std::string& text, std::string& inner) {
    const std::size_t first = text.find(kQuote);
    const std::size_t last = text.rfind(kQuote);
    if (first == std::string::npos || last == first) return false;
    if (SkipBlanks(text, 0) != first || SkipBlanks(text, last + 1) != text.size()) return false;
    inner = text.substr(first + 1, last - first - 1);
    return true;
}

}  // namespace ionsift::host
