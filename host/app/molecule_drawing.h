// A molecule's 2-D drawing for the workspace pane, laid out in pane pixels.
// Portable: the pane only draws the lines and labels this computes.
//
// 3-D coordinates are projected along the axis on which the molecule is
// thinnest (so a planar molecule shows its face whichever axis it lies
// across), then scaled to fit the box with the y axis pointing up, as
// chemists draw.
#pragma once

#include <string>
#include <vector>

#include "host/chem/cml_reader.h"

namespace ionsift::host {

struct DrawPoint {
    double x = 0, y = 0;
};

struct DrawSegment {
    DrawPoint from, to;
};

struct DrawLabel {
    DrawPoint at;      // centre of the text
    std::string text;  // element symbol and its implicit hydrogens: "O", "NH2"
};

struct DrawBox {
    double left = 0, top = 0, width = 0, height = 0;
};

struct MoleculeDrawing {
    std::vector<DrawSegment> bonds;  // a double bond gives two parallel lines, a triple three
    std::vector<DrawLabel> labels;   // non-carbon atoms only
};

// Longest drawn bond on average, so that a small molecule is not blown up to
// fill a large pane.
constexpr double kMaxMeanBondPixels = 48;
// Gap between the lines of a multiple bond.
constexpr double kBondLineGap = 4;

// True when the molecule has atoms and every one has coordinates.
bool CanDraw(const chem::CmlMolecule& molecule);

// Lays the molecule out inside `box`; empty when !CanDraw.
MoleculeDrawing LayOutMolecule(const chem::CmlMolecule& molecule, const DrawBox& box);

// The atoms as text, for a molecule without coordinates: "5 atoms: C H3 ...".
std::string AtomListText(const chem::CmlMolecule& molecule);

}  // namespace ionsift::host
