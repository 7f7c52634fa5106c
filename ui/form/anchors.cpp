#include "ui/form/anchors.h"

namespace ionsift {
namespace {

// Halving toward minus infinity, as an arithmetic shift would.
int HalfDown(int value) { return value >= 0 ? value / 2 : -((-value + 1) / 2); }

// One axis: start and extent of the control after the parent grew by delta.
void AnchorAxis(int& start, int& extent, int delta, bool nearEdge, bool farEdge) {
    if (nearEdge && farEdge) {
        extent += delta;
    } else if (farEdge) {
        start += delta;
    } else if (!nearEdge) {
        start += HalfDown(delta);
    }
}

}  // namespace

FormRect AnchoredRect(const FormRect& reference, FormSize referenceParent, FormSize parent,
                      std::uint32_t anchors) {
    FormRect rect = reference;
    AnchorAxis(rect.left, rect.width, parent.width - referenceParent.width,
               (anchors & kAnchorLeft) != 0, (anchors & kAnchorRight) != 0);
    AnchorAxis(rect.top, rect.height, parent.height - referenceParent.height,
               (anchors & kAnchorTop) != 0, (anchors & kAnchorBottom) != 0);
    if (rect.width < 0) rect.width = 0;
    if (rect.height < 0) rect.height = 0;
    return rect;
}

}  // namespace ionsift
