#include "ui/form/form_check.h"

#include <set>

namespace ionsift {
namespace {

// Ids 1 and 2 are what dialog navigation sends for Enter and Escape.
constexpr int kFirstFreeId = 3;

bool IsContainer(ControlKind kind) {
    return kind == ControlKind::Panel || kind == ControlKind::GroupBox;
}

const ControlRow* FindControl(const FormDescription& form, int id, int before) {
    for (int i = 0; i < before; ++i) {
        if (form.controls[i].id == id) return &form.controls[i];
    }
    return nullptr;
}

std::string ControlProblem(const FormDescription& form, int index, std::set<int>& ids) {
    const ControlRow& control = form.controls[index];
    const std::string name = control.name ? control.name : "?";
    if (control.id < kFirstFreeId || !ids.insert(control.id).second) {
        return name + ": duplicate or reserved id " + std::to_string(control.id);
    }
    if (control.parent != kFormParent) {
        const ControlRow* parent = FindControl(form, control.parent, index);
        if (!parent || !IsContainer(parent->kind)) {
            return name + ": parent is not a container listed before it";
        }
    }
    if (control.kind == ControlKind::Custom && !control.className) {
        return name + ": custom control without a window class";
    }
    if (control.kind == ControlKind::Image && control.imageResource == 0) {
        return name + ": image without an icon resource";
    }
    return "";
}

}  // namespace

std::string FormDescriptionProblem(const FormDescription& form) {
    std::set<int> ids;
    for (int i = 0; i < form.controlCount; ++i) {
        std::string problem = ControlProblem(form, i, ids);
        if (!problem.empty()) return problem;
    }
    for (int i = 0; i < form.columnCount; ++i) {
        const ControlRow* owner = FindControl(form, form.columns[i].control, form.controlCount);
        if (!owner ||
            (owner->kind != ControlKind::ReportList && owner->kind != ControlKind::StatusBar)) {
            return "column " + std::to_string(i) + " belongs to no report list or status bar";
        }
    }
    std::set<int> menus;
    for (int i = 0; i < form.menuCount; ++i) {
        const MenuRow& item = form.menus[i];
        const std::string name = item.name ? item.name : "?";
        if (item.id < kFirstFreeId || ids.count(item.id) || !menus.insert(item.id).second) {
            return name + ": duplicate or reserved id " + std::to_string(item.id);
        }
        if (item.parent != 0 && !menus.count(item.parent)) {
            return name + ": parent is not a menu row listed before it";
        }
    }
    for (int i = 0; i < form.controlCount; ++i) {
        const ControlRow& control = form.controls[i];
        if (control.popupMenu != 0 && !menus.count(control.popupMenu)) {
            return std::string(control.name) + ": popup menu not in the menu rows";
        }
    }
    return "";
}

}  // namespace ionsift
