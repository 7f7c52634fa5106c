// DbGetRowId into the workspace (structures stored as CML text or packed),
// and the layout of the 2-D drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <tuple>

#include "host/app/command_table.h"
#include "host/app/molecule_drawing.h"
#include "host/chem/cml_blob.h"
#include "host/chem/cml_limits.h"
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

// An SQL literal of the bytes, for a BLOB in a script.
std::string BlobLiteral(const std::string& bytes) {
    std::string literal = "X'";
    char digits[3];
    for (const unsigned char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        literal += digits;
    }
    return literal + "'";
}

// Structures as `dbtool import` lays them out: 2-D, aromatic bonds, a
// charge, deuterium, negative and short coordinates, markup in the name.
const char* const kStoredStructures[] = {
    kWaterCml,
    "<molecule><name>pyridinium &amp; acetate</name><atomArray>"
    "<atom id=\"a1\" elementType=\"C\" hydrogenCount=\"1\" x2=\"1.5\" y2=\"0\"/>"
    "<atom id=\"a2\" elementType=\"C\" hydrogenCount=\"1\" x2=\"0.75\" y2=\"1.299\"/>"
    "<atom id=\"a3\" elementType=\"C\" hydrogenCount=\"1\" x2=\"-0.75\" y2=\"1.299\"/>"
    "<atom id=\"a4\" elementType=\"C\" hydrogenCount=\"1\" x2=\"-1.5\" y2=\"0\"/>"
    "<atom id=\"a5\" elementType=\"C\" hydrogenCount=\"1\" x2=\"-0.75\" y2=\"-1.299\"/>"
    "<atom id=\"a6\" elementType=\"N\" formalCharge=\"1\" hydrogenCount=\"1\" x2=\"0.75\" y2=\"-1.299\"/>"
    "<atom id=\"a7\" elementType=\"C\" hydrogenCount=\"3\" x2=\"4.5\" y2=\"0.0001\"/>"
    "<atom id=\"a8\" elementType=\"C\" hydrogenCount=\"0\" x2=\"6\" y2=\"0\"/>"
    "<atom id=\"a9\" elementType=\"O\" formalCharge=\"-1\" hydrogenCount=\"0\" x2=\"6.75\" y2=\"1.299\"/>"
    "<atom id=\"a10\" elementType=\"O\" hydrogenCount=\"0\" x2=\"6.75\" y2=\"-1.299\"/>"
    "<atom id=\"a11\" elementType=\"H\" hydrogenCount=\"0\" isotopeNumber=\"2\" x2=\"-12.3456\" y2=\"-7.0009\"/>"
    "</atomArray><bondArray>"
    "<bond atomRefs2=\"a1 a2\" order=\"A\"/><bond atomRefs2=\"a2 a3\" order=\"A\"/>"
    "<bond atomRefs2=\"a3 a4\" order=\"A\"/><bond atomRefs2=\"a4 a5\" order=\"A\"/>"
    "<bond atomRefs2=\"a5 a6\" order=\"A\"/><bond atomRefs2=\"a6 a1\" order=\"A\"/>"
    "<bond atomRefs2=\"a7 a8\" order=\"1\"/><bond atomRefs2=\"a8 a9\" order=\"1\"/>"
    "<bond atomRefs2=\"a8 a10\" order=\"2\"/><bond atomRefs2=\"a4 a11\" order=\"1\"/>"
    "</bondArray></molecule>",
};

// A database written before compact structures (TEXT) and one written after
// (packed BLOB): the host shows the same molecule from both, atom for atom.
TEST_F(WorkspaceCommandTest, PackedAndTextStructuresLoadTheSameMolecule) {
    chem::CmlPacker packer;
    for (const char* cml : kStoredStructures) {
        const std::string text = cml;
        ScratchFolder scratch;
        for (const bool packed : {false, true}) {
            const std::string file = scratch.File(packed ? "after.db" : "before.db");
            const std::string value = packed ? BlobLiteral(packer.Pack(text)) : "'" + text + "'";
            CreateDatabase(file, "CREATE TABLE Molecules (ID INTEGER PRIMARY KEY, MassMI REAL NOT NULL,"
                                 " Formula TEXT, Name TEXT, Structure TEXT);"
                                 "INSERT INTO Molecules VALUES (1, 1, 'X', 'row', " + value + ");");
            const std::string handle = interpreter.Execute("DbOpen \"" + file + "\"").answer;
            EXPECT_EQ(interpreter.Execute("DbGetRowId " + handle + " 1 Replace").error, kCommandOk);
        }
        ASSERT_EQ(host.shown.size(), 2u);
        const chem::CmlRead expected = chem::ReadCml(text);
        ASSERT_TRUE(expected.ok) << expected.error;
        for (const WorkspaceMolecule& shown : host.shown) {
            const chem::CmlMolecule& m = shown.structure;
            EXPECT_EQ(shown.structureNote, "");
            EXPECT_EQ(m.name, expected.molecule.name);
            ASSERT_EQ(m.atoms.size(), expected.molecule.atoms.size()) << text;
            for (std::size_t i = 0; i < m.atoms.size(); ++i) {
                const chem::CmlAtom& a = m.atoms[i];
                const chem::CmlAtom& e = expected.molecule.atoms[i];
                EXPECT_EQ(std::tie(a.id, a.element, a.hydrogenCount, a.hasCoordinates, a.x, a.y, a.z),
                          std::tie(e.id, e.element, e.hydrogenCount, e.hasCoordinates, e.x, e.y, e.z))
                    << e.id;
            }
            ASSERT_EQ(m.bonds.size(), expected.molecule.bonds.size());
            for (std::size_t i = 0; i < m.bonds.size(); ++i) {
                EXPECT_EQ(std::tie(m.bonds[i].first, m.bonds[i].second, m.bonds[i].order),
                          std::tie(expected.molecule.bonds[i].first, expected.molecule.bonds[i].second,
                                   expected.molecule.bonds[i].order));
            }
            EXPECT_TRUE(CanDraw(m));
        }
        host.shown.clear();
    }
}

// A packed structure damaged on disk loads the row's name, formula and mass
// with the reason in place of the drawing: never a crash, never a guess.
TEST_F(WorkspaceCommandTest, DamagedPackedStructuresAreRefusedWithAReason) {
    const std::string packed = chem::CmlPacker().Pack(kWaterCml);
    const std::size_t stream = 9;  // header: magic, version, length
    auto withLength = [&](std::uint32_t length) {
        std::string bytes = packed;
        for (int i = 0; i < 4; ++i) bytes[5 + i] = static_cast<char>(length >> (8 * i));
        return bytes;
    };
    const std::uint32_t length = static_cast<std::uint32_t>(std::string(kWaterCml).size());
    std::string flipped = packed;
    flipped[stream + (packed.size() - stream) / 2] ^= 0x55;
    std::string version2 = packed;
    version2[4] = 2;
    const struct {
        std::string bytes;
        std::string reason;
    } cases[] = {
        {"plain bytes", "no header"},
        {packed.substr(0, 6), "header cut short"},
        {version2, "version 2 is not known"},
        {withLength(0xFFFFFFFF), "states 4294967295 bytes, more than a structure may have"},
        {withLength(static_cast<std::uint32_t>(chem::kMaxCmlBytes) + 1), "states 16777217 bytes, more than a structure may have"},
        {withLength(static_cast<std::uint32_t>(chem::kMaxCmlBytes)),
         "states 16777216 bytes, more than its " + std::to_string(packed.size() - stream) + "-byte stream can hold"},
        {withLength(length - 1), "expands beyond the " + std::to_string(length - 1) + " bytes stated"},
        {withLength(length + 1), "expands to " + std::to_string(length) + " bytes, not the " + std::to_string(length + 1) + " stated"},
        {packed.substr(0, packed.size() - 4), "the stream is cut short"},
        {packed.substr(0, stream + 3), "the stream is cut short"},
        {packed + "xy", "2 bytes after the end of the stream"},
        {flipped, ""},  // zlib's own words for what it found
    };
    std::string script = "CREATE TABLE Molecules (ID INTEGER PRIMARY KEY, MassMI REAL NOT NULL,"
                         " Formula TEXT, Name TEXT, Structure TEXT);";
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        script += "INSERT INTO Molecules VALUES (" + std::to_string(i + 1) + ", 18.010565, 'H2O', 'water " +
                  std::to_string(i + 1) + "', " + BlobLiteral(cases[i].bytes) + ");";
    }
    CreateDatabase(folder.File("damaged.db"), script);
    ASSERT_EQ(interpreter.Execute("DbOpen \"" + folder.File("damaged.db") + "\"").answer, "db2");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const CommandResult r = interpreter.Execute("DbGetRowId db2 " + std::to_string(i + 1) + " Replace");
        EXPECT_EQ(r.error, kCommandOk);
        EXPECT_EQ(r.answer, "water " + std::to_string(i + 1));
        ASSERT_EQ(host.shown.size(), i + 1);
        const WorkspaceMolecule& m = host.shown[i];
        EXPECT_EQ(m.formula, "H2O");
        EXPECT_TRUE(m.structure.atoms.empty()) << i;
        const std::string prefix = "structure not readable: damaged compact structure: ";
        ASSERT_EQ(m.structureNote.rfind(prefix, 0), 0u) << m.structureNote;
        if (cases[i].reason.empty()) {
            EXPECT_GT(m.structureNote.size(), prefix.size());
        } else {
            EXPECT_EQ(m.structureNote.substr(prefix.size()), cases[i].reason) << i;
        }
    }
}

// Every structure Debian ships comes back byte for byte, and smaller.
TEST(PackedStructures, EveryPackagedStructureComesBackWhole) {
    const std::filesystem::path root = "/usr/share/chemical-structures";
    if (!std::filesystem::is_directory(root)) GTEST_SKIP() << "chemical-structures-data not installed";
    chem::CmlPacker packer;
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".cml") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string packed = packer.Pack(text);
        EXPECT_LT(packed.size(), text.size() / 2) << entry.path();
        const chem::CmlUnpack back = chem::UnpackCml(packed);
        ASSERT_TRUE(back.ok) << entry.path() << ": " << back.error;
        EXPECT_EQ(back.cml, text) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 500);
    const chem::CmlUnpack empty = chem::UnpackCml(packer.Pack(""));
    EXPECT_TRUE(empty.ok) << empty.error;
    EXPECT_EQ(empty.cml, "");
    EXPECT_THROW(packer.Pack(std::string(chem::kMaxCmlBytes + 1, ' ')), std::length_error);
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
