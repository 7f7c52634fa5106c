// Anchored layout: where a control goes when its parent's size changes.
#pragma once

#include <cstdint>

namespace ionsift {

struct FormRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    bool operator==(const FormRect& other) const {
        return left == other.left && top == other.top && width == other.width &&
               height == other.height;
    }
};

struct FormSize {
    int width = 0;
    int height = 0;
};

// The parent edges a control keeps its distance to.
enum Anchor : std::uint32_t {
    kAnchorLeft = 1u << 0,
    kAnchorTop = 1u << 1,
    kAnchorRight = 1u << 2,
    kAnchorBottom = 1u << 3,
    kAnchorTopLeft = kAnchorLeft | kAnchorTop,
    kAnchorAll = kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom,
};

// The control's rectangle when its parent's client area changed from
// `referenceParent` (the size when `reference` was set) to `parent`.
// Both edges anchored: the control stretches by the change. One edge: it
// keeps its distance to that edge. Neither: it keeps its centre's share,
// moving by half the change (rounded toward minus infinity).
// Example: {10, 5, 80, 20} anchored top-right, parent 300 -> 350 wide:
// {60, 5, 80, 20}.
FormRect AnchoredRect(const FormRect& reference, FormSize referenceParent, FormSize parent,
                      std::uint32_t anchors);

}  // namespace ionsift
