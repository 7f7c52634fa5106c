#include "host/app/molecule_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace ionsift::host {
namespace {

using Vector3 = std::array<double, 3>;

Vector3 Position(const chem::CmlAtom& atom) { return {atom.x, atom.y, atom.z}; }

// The two axes on which the molecule spreads most, in x, y, z order.
std::array<int, 2> ViewAxes(const chem::CmlMolecule& molecule) {
    Vector3 low, high;
    low.fill(std::numeric_limits<double>::infinity());
    high.fill(-std::numeric_limits<double>::infinity());
    for (const chem::CmlAtom& atom : molecule.atoms) {
        const Vector3 p = Position(atom);
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], p[axis]);
            high[axis] = std::max(high[axis], p[axis]);
        }
    }
    int thinnest = 2;  // ties keep the usual x-y view
    for (int axis = 1; axis >= 0; --axis) {
        if (high[axis] - low[axis] < high[thinnest] - low[thinnest]) thinnest = axis;
    }
    if (thinnest == 0) return {1, 2};
    if (thinnest == 1) return {0, 2};
    return {0, 1};
}

std::string AtomLabel(const chem::CmlAtom& atom) {
    std::string label = atom.element;
    if (atom.hydrogenCount > 0) label += "H";
    if (atom.hydrogenCount > 1) label += std::to_string(atom.hydrogenCount);
    return label;
}

bool IsValidBond(const chem::CmlBond& bond, std::size_t atomCount) {
    return bond.first >= 0 && bond.second >= 0 && static_cast<std::size_t>(bond.first) < atomCount &&
           static_cast<std::size_t>(bond.second) < atomCount && bond.first != bond.second;
}

void AddBondLines(const DrawPoint& a, const DrawPoint& b, int order, std::vector<DrawSegment>& out) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length = std::hypot(dx, dy);
    const int lines = (order == 2 || order == 3) && length > 0 ? order : 1;
    // Unit normal times the gap; the lines sit symmetrically about the axis.
    const double nx = lines > 1 ? -dy / length * kBondLineGap : 0;
    const double ny = lines > 1 ? dx / length * kBondLineGap : 0;
    for (int i = 0; i < lines; ++i) {
        const double shift = i - (lines - 1) / 2.0;
        out.push_back({{a.x + nx * shift, a.y + ny * shift}, {b.x + nx * shift, b.y + ny * shift}});
    }
}

}  // namespace

bool CanDraw(const chem::CmlMolecule& molecule) {
    return !molecule.atoms.empty() &&
           std::all_of(molecule.atoms.begin(), molecule.atoms.end(),
                       [](const chem::CmlAtom& atom) { return atom.hasCoordinates; });
}

MoleculeDrawing LayOutMolecule(const chem::CmlMolecule& molecule, const DrawBox& box) {
    MoleculeDrawing drawing;
    if (!CanDraw(molecule) || box.width <= 0 || box.height <= 0) return drawing;

    const std::array<int, 2> axes = ViewAxes(molecule);
    std::vector<DrawPoint> flat;
    flat.reserve(molecule.atoms.size());
    double minX = std::numeric_limits<double>::infinity(), maxX = -minX, minY = minX, maxY = -minX;
    for (const chem::CmlAtom& atom : molecule.atoms) {
        const Vector3 p = Position(atom);
        flat.push_back({p[axes[0]], p[axes[1]]});
        minX = std::min(minX, flat.back().x);
        maxX = std::max(maxX, flat.back().x);
        minY = std::min(minY, flat.back().y);
        maxY = std::max(maxY, flat.back().y);
    }

    double scale = std::numeric_limits<double>::infinity();
    if (maxX > minX) scale = std::min(scale, box.width / (maxX - minX));
    if (maxY > minY) scale = std::min(scale, box.height / (maxY - minY));
    double bondSum = 0;
    int bondCount = 0;
    for (const chem::CmlBond& bond : molecule.bonds) {
        if (!IsValidBond(bond, flat.size())) continue;
        bondSum += std::hypot(flat[bond.first].x - flat[bond.second].x, flat[bond.first].y - flat[bond.second].y);
        ++bondCount;
    }
    if (bondCount > 0 && bondSum > 0) scale = std::min(scale, kMaxMeanBondPixels * bondCount / bondSum);
    if (!std::isfinite(scale)) scale = 1;  // a single point

    // Centre the drawing; screen y grows downwards.
    const double centreX = box.left + box.width / 2, centreY = box.top + box.height / 2;
    const double midX = (minX + maxX) / 2, midY = (minY + maxY) / 2;
    for (DrawPoint& p : flat) p = {centreX + (p.x - midX) * scale, centreY - (p.y - midY) * scale};

    for (const chem::CmlBond& bond : molecule.bonds) {
        if (IsValidBond(bond, flat.size())) AddBondLines(flat[bond.first], flat[bond.second], bond.order, drawing.bonds);
    }
    for (std::size_t i = 0; i < molecule.atoms.size(); ++i) {
        if (molecule.atoms[i].element != "C") drawing.labels.push_back({flat[i], AtomLabel(molecule.atoms[i])});
    }
    return drawing;
}

std::string AtomListText(const chem::CmlMolecule& molecule) {
    std::string text = std::to_string(molecule.atoms.size()) + (molecule.atoms.size() == 1 ? " atom:" : " atoms:");
    for (const chem::CmlAtom& atom : molecule.atoms) text += " " + AtomLabel(atom);
    return text;
}

}  // namespace ionsift::host
