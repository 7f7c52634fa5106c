// A small pull scanner for the XML that structure files use: elements with
// attributes, text, CDATA, comments, processing instructions and a skipped
// DOCTYPE. It checks that tags nest and decodes the predefined and numeric
// character references; it knows no DTD, namespaces or encodings other than
// UTF-8. Portable, with no XML library behind it.
//
//   XmlScanner scan("<a x='1'>t<b/></a>");
//   scan.Next() -> kStart "a" {x=1}; kText "t"; kStart "b"; kEnd "b"; kEnd "a"
//   scan.Next() -> kDone
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ionsift::chem {

struct XmlAttribute {
    std::string_view name;
    std::string value;  // character references decoded
};

class XmlScanner {
public:
    enum Event { kStart, kEnd, kText, kDone, kError };

    static constexpr std::size_t kMaxDepth = 256;
    static constexpr std::size_t kMaxAttributes = 256;

    explicit XmlScanner(std::string_view text);

    // The next event. An empty element gives kStart then kEnd. After kDone or
    // kError every call gives the same event again.
    Event Next();

    // kStart, kEnd: the element's name as written (prefix included).
    std::string_view Name() const { return name_; }
    // The name without a namespace prefix: "cml:atom" -> "atom".
    std::string_view LocalName() const;
    // kStart: the element's attributes in file order.
    const std::vector<XmlAttribute>& Attributes() const { return attributes_; }
    const std::string* Attribute(std::string_view name) const;
    // kText: decoded character data (CDATA sections included as they are).
    const std::string& Text() const { return text_; }
    // Elements open around the current position, the root being 1.
    std::size_t Depth() const { return open_.size(); }
    // Line (from 1) where the current event ends, and the reason after kError.
    int Line() const { return line_; }
    const std::string& Error() const { return error_; }

private:
    Event Fail(std::string reason);
    Event ReadMarkup();
    Event ReadStartTag();
    Event ReadEndTag();
    Event ReadText();
    bool SkipPast(std::size_t openerLength, std::string_view terminator, const char* what);
    bool SkipDoctype();
    bool ReadName(std::string_view& name);
    bool DecodeReference(std::string& out);
    bool AtEnd() const { return pos_ >= text_in_.size(); }
    void Advance(std::size_t count);
    void SkipSpace();

    std::string_view text_in_;
    std::size_t pos_ = 0;
    int line_ = 1;
    Event state_ = kText;  // kDone or kError once finished
    bool pendingEnd_ = false;  // an empty element's kEnd is still due
    bool rootClosed_ = false;
    bool doctypeSeen_ = false;
    std::vector<std::string_view> open_;
    std::string_view name_;
    std::vector<XmlAttribute> attributes_;
    std::string text_;
    std::string error_;
};

}  // namespace ionsift::chem
