// The host's workspace pane: the molecule DbGetRowId loaded, with its name,
// formula, monoisotopic mass and a 2-D drawing (molecule_drawing.h lays it
// out; this file only paints).
#pragma once

#include <windows.h>

#include <memory>

#include "host/app/workspace_molecule.h"

namespace ionsift::host {

class WorkspacePane {
public:
    WorkspacePane() = default;
    WorkspacePane(const WorkspacePane&) = delete;
    WorkspacePane& operator=(const WorkspacePane&) = delete;

    bool Create(HWND parent, HINSTANCE instance);
    HWND handle() const { return window_; }
    void Show(const WorkspaceMolecule& molecule);  // replaces what the pane showed

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc, const RECT& client) const;

    HWND window_ = nullptr;
    std::unique_ptr<WorkspaceMolecule> molecule_;
};

}  // namespace ionsift::host
