#include "host/chem/xml_scanner.h"

#include <algorithm>
#include <charconv>

namespace ionsift::chem {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct NamedEntity {
    std::string_view name;
    char text;
};

constexpr NamedEntity kNamedEntities[] = {
    {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''},
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IsNameStart(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' ||
           byte >= 0x80;
}

bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// Bytes XML forbids in content: the C0 controls other than tab, CR and LF.
bool IsForbiddenControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 && !IsSpace(c);
}

void AppendUtf8(unsigned long code, std::string& out) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

bool IsXmlChar(unsigned long code) {
    if (code == 0x9 || code == 0xA || code == 0xD) return true;
    if (code < 0x20) return false;
    if (code >= 0xD800 && code <= 0xDFFF) return false;
    return code != 0xFFFE && code != 0xFFFF && code <= 0x10FFFF;
}

}  // namespace

XmlScanner::XmlScanner(std::string_view text) : text_in_(text) {
    if (text_in_.substr(0, kUtf8Bom.size()) == kUtf8Bom) pos_ = kUtf8Bom.size();
}

std::string_view XmlScanner::LocalName() const {
    const auto colon = name_.rfind(':');
    return colon == std::string_view::npos ? name_ : name_.substr(colon + 1);
}

const std::string* XmlScanner::Attribute(std::string_view name) const {
    for (const auto& attribute : attributes_) {
        if (attribute.name == name) return &attribute.value;
    }
    return nullptr;
}

XmlScanner::Event XmlScanner::Fail(std::string reason) {
    error_ = "line " + std::to_string(line_) + ": " + std::move(reason);
    state_ = kError;
    return kError;
}

void XmlScanner::Advance(std::size_t count) {
    const std::size_t end = std::min(text_in_.size(), pos_ + count);
    line_ += static_cast<int>(std::count(text_in_.begin() + pos_, text_in_.begin() + end, '\n'));
    pos_ = end;
}

void XmlScanner::SkipSpace() {
    while (!AtEnd() && IsSpace(text_in_[pos_])) Advance(1);
}

XmlScanner::Event XmlScanner::Next() {
    if (state_ == kDone || state_ == kError) return state_;
    attributes_.clear();
    text_.clear();
    if (pendingEnd_) {
        pendingEnd_ = false;
        open_.pop_back();
        rootClosed_ = open_.empty();
        return kEnd;
    }
    if (pos_ == 0 && text_in_.size() >= 2 &&
        ((text_in_[0] == '\xFF' && text_in_[1] == '\xFE') ||
         (text_in_[0] == '\xFE' && text_in_[1] == '\xFF'))) {
        return Fail("UTF-16 text; only UTF-8 is read");
    }
    // Comments, processing instructions, the DOCTYPE and white space between
    // elements give no event: loop rather than recurse over them.
    while (!AtEnd()) {
        if (text_in_[pos_] != '<') {
            const Event event = ReadText();
            if (event == kText && open_.empty()) continue;  // white space outside the root
            return event;
        }
        const std::string_view rest = text_in_.substr(pos_);
        if (rest.substr(0, 2) == "<?") {
            if (!SkipPast(2, "?>", "processing instruction")) return kError;
        } else if (rest.substr(0, 4) == "<!--") {
            if (!SkipPast(4, "-->", "comment")) return kError;
        } else if (rest.substr(0, 9) == "<!DOCTYPE") {
            if (doctypeSeen_ || !open_.empty() || rootClosed_) return Fail("misplaced DOCTYPE");
            doctypeSeen_ = true;
            if (!SkipDoctype()) return kError;
        } else {
            return ReadMarkup();
        }
    }
    if (!open_.empty()) return Fail("the text ends inside <" + std::string(open_.back()) + ">");
    if (!rootClosed_) return Fail("no element in the text");
    state_ = kDone;
    return kDone;
}

bool XmlScanner::SkipPast(std::size_t openerLength, std::string_view terminator,
                          const char* what) {
    const auto end = text_in_.find(terminator, pos_ + openerLength);
    if (end == std::string_view::npos) {
        Fail(std::string("unterminated ") + what);
        return false;
    }
    Advance(end + terminator.size() - pos_);
    return true;
}

XmlScanner::Event XmlScanner::ReadMarkup() {
    const std::string_view rest = text_in_.substr(pos_);
    if (rest.substr(0, 9) == "<![CDATA[") {
        if (open_.empty()) return Fail("CDATA outside the root element");
        const auto end = text_in_.find("]]>", pos_ + 9);
        if (end == std::string_view::npos) return Fail("unterminated CDATA section");
        text_.assign(text_in_.substr(pos_ + 9, end - pos_ - 9));
        Advance(end + 3 - pos_);
        if (std::any_of(text_.begin(), text_.end(), IsForbiddenControl)) {
            return Fail("control character in a CDATA section");
        }
        return kText;
    }
    if (rest.substr(0, 2) == "<!") return Fail("unknown markup \"<!\"");
    if (rest.substr(0, 2) == "</") return ReadEndTag();
    return ReadStartTag();
}

bool XmlScanner::SkipDoctype() {
    // The internal subset may hold '>' inside brackets and quotes. Its
    // entity declarations are not applied: a reference to one fails later.
    Advance(9);
    int brackets = 0;
    while (!AtEnd()) {
        const char c = text_in_[pos_];
        if (c == '"' || c == '\'') {
            const auto close = text_in_.find(c, pos_ + 1);
            if (close == std::string_view::npos) break;
            Advance(close + 1 - pos_);
            continue;
        }
        Advance(1);
        if (c == '[') ++brackets;
        if (c == ']' && brackets > 0) --brackets;
        if (c == '>' && brackets == 0) return true;
    }
    Fail("unterminated DOCTYPE");
    return false;
}

bool XmlScanner::ReadName(std::string_view& name) {
    const std::size_t start = pos_;
    if (AtEnd() || !IsNameStart(text_in_[pos_])) return false;
    while (!AtEnd() && IsNameChar(text_in_[pos_])) ++pos_;
    name = text_in_.substr(start, pos_ - start);
    return true;
}

XmlScanner::Event XmlScanner::ReadStartTag() {
    Advance(1);
    std::string_view name;
    if (!ReadName(name)) return Fail("'<' not followed by an element name");
    if (rootClosed_) return Fail("element <" + std::string(name) + "> after the root element");
    if (open_.size() >= kMaxDepth) return Fail("elements nested deeper than 256");
    for (;;) {
        const std::size_t beforeSpace = pos_;
        SkipSpace();
        if (AtEnd()) return Fail("the text ends inside the tag <" + std::string(name) + ">");
        const char c = text_in_[pos_];
        if (c == '>' || (c == '/' && text_in_.substr(pos_, 2) == "/>")) {
            pendingEnd_ = (c == '/');
            Advance(pendingEnd_ ? 2 : 1);
            break;
        }
        if (pos_ == beforeSpace) return Fail("no space before an attribute of <" + std::string(name) + ">");
        XmlAttribute attribute;
        if (!ReadName(attribute.name)) return Fail("bad attribute name in <" + std::string(name) + ">");
        SkipSpace();
        if (AtEnd() || text_in_[pos_] != '=') {
            return Fail("attribute " + std::string(attribute.name) + " without '='");
        }
        Advance(1);
        SkipSpace();
        if (AtEnd() || (text_in_[pos_] != '"' && text_in_[pos_] != '\'')) {
            return Fail("value of attribute " + std::string(attribute.name) + " is not quoted");
        }
        const char quote = text_in_[pos_];
        Advance(1);
        while (!AtEnd() && text_in_[pos_] != quote) {
            const char v = text_in_[pos_];
            if (v == '<') return Fail("'<' in the value of attribute " + std::string(attribute.name));
            if (IsForbiddenControl(v)) return Fail("control character in an attribute value");
            if (v == '&') {
                if (!DecodeReference(attribute.value)) return kError;
            } else {
                attribute.value.push_back(v);
                Advance(1);
            }
        }
        if (AtEnd()) return Fail("unterminated value of attribute " + std::string(attribute.name));
        Advance(1);
        if (Attribute(attribute.name)) return Fail("attribute " + std::string(attribute.name) + " repeated");
        if (attributes_.size() >= kMaxAttributes) return Fail("more than 256 attributes in one element");
        attributes_.push_back(std::move(attribute));
    }
    name_ = name;
    open_.push_back(name);
    return kStart;
}

XmlScanner::Event XmlScanner::ReadEndTag() {
    Advance(2);
    std::string_view name;
    if (!ReadName(name)) return Fail("'</' not followed by an element name");
    SkipSpace();
    if (AtEnd() || text_in_[pos_] != '>') return Fail("end tag </" + std::string(name) + "> not closed by '>'");
    Advance(1);
    if (open_.empty()) return Fail("</" + std::string(name) + "> closes no element");
    if (open_.back() != name) {
        return Fail("</" + std::string(name) + "> closes <" + std::string(open_.back()) + ">");
    }
    name_ = name;
    open_.pop_back();
    rootClosed_ = open_.empty();
    return kEnd;
}

XmlScanner::Event XmlScanner::ReadText() {
    bool blank = true;
    while (!AtEnd() && text_in_[pos_] != '<') {
        const char c = text_in_[pos_];
        if (IsForbiddenControl(c)) return Fail("control character in the text");
        if (!IsSpace(c)) blank = false;
        if (c == '&') {
            if (!DecodeReference(text_)) return kError;
        } else {
            text_.push_back(c);
            Advance(1);
        }
    }
    if (open_.empty()) {
        if (!blank) return Fail("text outside the root element");
        text_.clear();
    }
    return kText;
}

bool XmlScanner::DecodeReference(std::string& out) {
    // At '&'. References are short: look for the ';' within a few bytes.
    const std::string_view rest = text_in_.substr(pos_ + 1, 12);
    const auto semicolon = rest.find(';');
    if (semicolon == std::string_view::npos || semicolon == 0) {
        Fail("'&' that starts no character reference");
        return false;
    }
    const std::string_view body = rest.substr(0, semicolon);
    if (body[0] == '#') {
        const bool hex = body.size() > 1 && body[1] == 'x';
        const std::string_view digits = body.substr(hex ? 2 : 1);
        unsigned long code = 0;
        const auto result =
            std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
        if (digits.empty() || result.ec != std::errc() ||
            result.ptr != digits.data() + digits.size() || !IsXmlChar(code)) {
            Fail("bad character reference &" + std::string(body) + ";");
            return false;
        }
        AppendUtf8(code, out);
    } else {
        const auto* entity = std::find_if(std::begin(kNamedEntities), std::end(kNamedEntities),
                                          [&](const NamedEntity& e) { return e.name == body; });
        if (entity == std::end(kNamedEntities)) {
            Fail("unknown entity &" + std::string(body) + ";");
            return false;
        }
        out.push_back(entity->text);
    }
    Advance(semicolon + 2);
    return true;
}

}  // namespace ionsift::chem
