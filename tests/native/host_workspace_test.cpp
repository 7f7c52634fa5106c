// DbGetRowId into the workspace, and the layout of the 2-D drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "host/app/command_table.h"
#include "host/app/molecule_drawing.h"
#include "tests/native/fake_host.h"

namespace ionsift::host {
namespace {

using test_support::CreateDatabase;
using test_support::FakeHost;
using test_support::ScratchFolder;

// Water as the CML files give it: 3-D coordinates, explicit hydrogens.
constexpr const char* kWaterCml =
    "<molecule id=\"water\"><atomArray>"
    "<atom id=\"a1\" elementType=\"O\" x3=\"0\" y3=\"0\" z3=\"0.1\"/>"
    "<atom id=\"a2\" elementType=\"H\" x3=\"0.76\" y3=\"0.59\" z3=\"0.1\"/>"
    "<atom id=\"a3\" elementType=\"H\" x3=\"-0.76\" y3=\"0.59\" z3=\"0.1\"/>"
    "</atomArray><bondArray><bond atomRefs2=\"a1 a2\" order=\"1\"/><bond atomRefs2=\"a1 a3\" order=\"1\"/>"
    "</bondArray></molecule>";

class WorkspaceCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDatabase(folder.File("m.db"),
                       "CREATE TABLE Molecules (ID INTEGER PRIMARY KEY, MassMI REAL NOT NULL, Formula TEXT,"
                       " Name TEXT, Structure TEXT);"
                       "INSERT INTO Molecules VALUES (1, 18.010565, 'H2O', 'water', '" +
                           std::string(kWaterCml) +
                           "');"
                           "INSERT INTO Molecules VALUES (2, 180.063388, 'C6H12O6', 'glucose', NULL);"
                           "INSERT INTO Molecules VALUES (3, 46.041865, 'C2H6O', 'ethanol', '<molecule><atom');");
        ASSERT_EQ(interpreter.Execute("DbOpen \"" + folder.File("m.db") + "\"").answer, "db1");
    }

    ScratchFolder folder;
    FakeHost host;
    CommandInterpreter interpreter{host};
};

TEST_F(WorkspaceCommandTest, LoadsNameFormulaMassAndStructure) {
    const CommandResult r = interpreter.Execute("DbGetRowId db1 1 Replace");
    EXPECT_EQ(r.error, kCommandOk);
    EXPECT_EQ(r.answer, "water");
    ASSERT_EQ(host.shown.size(), 1u);
    const WorkspaceMolecule& m = host.shown[0];
    EXPECT_EQ(m.formula, "H2O");
    EXPECT_EQ(m.mass, "18.010565");
    EXPECT_EQ(m.structure.atoms.size(), 3u);
    EXPECT_EQ(m.structure.bonds.size(), 2u);
    EXPECT_TRUE(CanDraw(m.structure));
}

TEST_F(WorkspaceCommandTest, RowsWithoutAUsableStructureStillLoad) {
    EXPECT_EQ(interpreter.Execute("DbGetRowId db1 2 Replace").error, kCommandOk);
    EXPECT_EQ(interpreter.Execute("DbGetRowId db1 3 Replace").error, kCommandOk);
    ASSERT_EQ(host.shown.size(), 2u);
    EXPECT_EQ(host.shown[0].mass, "180.063388");
    EXPECT_EQ(host.shown[0].structureNote, "no structure stored");
    EXPECT_TRUE(host.shown[1].structure.atoms.empty());
    EXPECT_EQ(host.shown[1].structureNote.rfind("structure not readable: ", 0), 0u) << host.shown[1].structureNote;
}

TEST_F(WorkspaceCommandTest, DatabasesWithoutAStructureColumnLoadToo) {
    CreateDatabase(folder.File("plain.db"), "CREATE TABLE Molecules (ID INTEGER PRIMARY KEY, MassMI REAL, Formula TEXT,"
                                            " Name TEXT); INSERT INTO Molecules VALUES (5, NULL, 'CO2', 'carbon dioxide');");
    ASSERT_EQ(interpreter.Execute("DbOpen \"" + folder.File("plain.db") + "\"").answer, "db2");
    EXPECT_EQ(interpreter.Execute("DbGetRowId db2 5 Replace").answer, "carbon dioxide");
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].mass, "");  // NULL mass: none shown
}

TEST_F(WorkspaceCommandTest, BadRequestsShowNothing) {
    const CommandResult missing = interpreter.Execute("DbGetRowId db1 99 Replace");
    EXPECT_EQ(missing.error, kCommandDatabaseError);
    EXPECT_EQ(missing.answer, "0 no molecule with ID 99");
    for (const char* line : {"DbGetRowId db1 1", "DbGetRowId db1 1 Append", "DbGetRowId db1 1x Replace",
                             "DbGetRowId db1 Replace", "DbGetRowId db9 1 Replace", "DbGetRowId db1 1 Replace x"}) {
        const CommandResult r = interpreter.Execute(line);
        EXPECT_EQ(r.error, kCommandBadArguments) << line;
        EXPECT_EQ(r.answer.substr(0, 2), "0 ") << line;
    }
    EXPECT_TRUE(host.shown.empty());
}

chem::CmlAtom Atom(const char* element, double x, double y, double z = 0, int hydrogens = 0) {
    chem::CmlAtom atom;
    atom.element = element;
    atom.hasCoordinates = true;
    atom.x = x;
    atom.y = y;
    atom.z = z;
    atom.hydrogenCount = hydrogens;
    return atom;
}

struct Extent {
    double left, top, right, bottom;
};

Extent ExtentOf(const MoleculeDrawing& drawing) {
    Extent e{1e300, 1e300, -1e300, -1e300};
    for (const DrawSegment& s : drawing.bonds) {
        for (const DrawPoint& p : {s.from, s.to}) {
            e = {std::min(e.left, p.x), std::min(e.top, p.y), std::max(e.right, p.x), std::max(e.bottom, p.y)};
        }
    }
    return e;
}

TEST(MoleculeDrawing, FitsTheBoxWithYUpAndLabelsOnlyHeteroatoms) {
    chem::CmlMolecule ethanol;
    ethanol.atoms = {Atom("C", 0, 0, 0, 3), Atom("C", 10, 0, 0, 2), Atom("O", 20, 5, 0, 1)};
    ethanol.bonds = {{0, 1, 1}, {1, 2, 1}};
    const DrawBox box{100, 50, 40, 20};
    const MoleculeDrawing d = LayOutMolecule(ethanol, box);
    ASSERT_EQ(d.bonds.size(), 2u);
    ASSERT_EQ(d.labels.size(), 1u);
    EXPECT_EQ(d.labels[0].text, "OH");
    // 20 x 5 units in 40 x 20 pixels: the width decides, 2 pixels a unit,
    // and the drawing is centred.
    const Extent e = ExtentOf(d);
    EXPECT_NEAR(e.left, 100, 1e-9);
    EXPECT_NEAR(e.right, 140, 1e-9);
    EXPECT_NEAR(e.bottom - e.top, 10, 1e-9);
    EXPECT_NEAR((e.top + e.bottom) / 2, 60, 1e-9);
    // The oxygen has the larger y, so it sits higher on screen.
    EXPECT_LT(d.labels[0].at.y, d.bonds[0].from.y);
}

TEST(MoleculeDrawing, ProjectsAlongTheThinnestAxis) {
    chem::CmlMolecule flatInXz;  // all y equal: looking down z would show a line
    flatInXz.atoms = {Atom("C", 0, 1, 0), Atom("N", 1, 1, 0), Atom("C", 0.5, 1, 1)};
    flatInXz.bonds = {{0, 1, 1}, {1, 2, 1}, {2, 0, 1}};
    const Extent e = ExtentOf(LayOutMolecule(flatInXz, DrawBox{0, 0, 100, 100}));
    // Bonds of about one unit are drawn at most kMaxMeanBondPixels long.
    EXPECT_GT(e.bottom - e.top, 30);
    EXPECT_GT(e.right - e.left, 30);
}

TEST(MoleculeDrawing, SmallMoleculesAreNotBlownUp) {
    chem::CmlMolecule co;
    co.atoms = {Atom("C", 0, 0), Atom("O", 1.13, 0)};
    co.bonds = {{0, 1, 3}};
    const MoleculeDrawing d = LayOutMolecule(co, DrawBox{0, 0, 1000, 1000});
    ASSERT_EQ(d.bonds.size(), 3u);  // a triple bond, three lines
    const DrawSegment& middle = d.bonds[1];
    EXPECT_NEAR(std::hypot(middle.to.x - middle.from.x, middle.to.y - middle.from.y), kMaxMeanBondPixels, 1e-9);
    EXPECT_NEAR(std::fabs(d.bonds[0].from.y - d.bonds[2].from.y), 2 * kBondLineGap, 1e-9);
}

TEST(MoleculeDrawing, WithoutCoordinatesTheAtomsAreListed) {
    chem::CmlMolecule m;
    m.atoms = {Atom("C", 0, 0, 0, 4), Atom("N", 1, 0, 0, 2)};
    m.atoms[1].hasCoordinates = false;
    m.bonds = {{0, 1, 1}, {0, 7, 1}, {-1, 0, 2}};  // out-of-range references are skipped
    EXPECT_FALSE(CanDraw(m));
    EXPECT_TRUE(LayOutMolecule(m, DrawBox{0, 0, 100, 100}).bonds.empty());
    EXPECT_EQ(AtomListText(m), "2 atoms: CH4 NH2");
    m.atoms[1].hasCoordinates = true;
    EXPECT_EQ(LayOutMolecule(m, DrawBox{0, 0, 100, 100}).bonds.size(), 1u);
}

}  // namespace
}  // namespace ionsift::host
