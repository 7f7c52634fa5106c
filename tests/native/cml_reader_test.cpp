// The CML reader: real-shaped files, odd but valid XML, malformed text,
// bounds, and every structure file of the Debian package against the
// concise formula that the file itself states.
#include <gtest/gtest.h>

#include <cctype>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "host/chem/cml_limits.h"
#include "host/chem/cml_reader.h"

namespace {

using namespace ionsift::chem;

using Counts = std::map<std::string, long>;

CmlMolecule ReadOk(const std::string& text) {
    const CmlRead read = ReadCml(text);
    EXPECT_TRUE(read.ok) << read.error << "\n" << text;
    return read.molecule;
}

constexpr const char* kEthanol3d = R"(<?xml version="1.0" encoding="UTF-8"?>
<molecule xmlns="http://www.xml-cml.org/schema" id="CS_ethanol">
  <formula concise=" C 2 H 6 O 1 "/>
  <name convention="IUPAC">Ethanol</name>
  <atomArray>
    <atom id="a1" elementType="C" x3="-0.9" y3="0.1" z3="0.02"/>
    <atom id="a2" elementType="C" x3="0.5" y3="-0.4" z3="-1.5e-1"/>
    <atom id="a3" elementType="O" x3="1.4" y3="0.6" z3="0"/>
    <atom id="a4" elementType="H" x3="-1" y3="1" z3="0"/>
    <atom id="a5" elementType="H" x3="-1" y3="-1" z3="0"/>
    <atom id="a6" elementType="H" x3="-2" y3="0" z3="0"/>
    <atom id="a7" elementType="H" x3="0.6" y3="-1" z3="1"/>
    <atom id="a8" elementType="H" x3="0.6" y3="-1" z3="-1"/>
    <atom id="a9" elementType="H" x3="2.3" y3="0.2" z3="0"/>
  </atomArray>
  <bondArray>
    <bond atomRefs2="a1 a2" order="1"/>
    <bond atomRefs2="a2 a3" order="1"/>
    <bond atomRefs2="a1 a4" order="1"/>
    <bond atomRefs2="a1 a5" order="1"/>
    <bond atomRefs2="a1 a6" order="1"/>
    <bond atomRefs2="a2 a7" order="1"/>
    <bond atomRefs2="a2 a8" order="1"/>
    <bond atomRefs2="a3 a9" order="1"/>
  </bondArray>
  <propertyList><property><scalar units="units:celsius">&gt; 78</scalar></property></propertyList>
</molecule>
)";

TEST(CmlReader, ReadsExplicitAtomsWithThreeDimensionalCoordinates) {
    const CmlMolecule molecule = ReadOk(kEthanol3d);
    EXPECT_EQ(molecule.name, "Ethanol");
    ASSERT_EQ(molecule.atoms.size(), 9u);
    ASSERT_EQ(molecule.bonds.size(), 8u);
    const CmlAtom& second = molecule.atoms[1];
    EXPECT_EQ(second.id, "a2");
    EXPECT_EQ(second.element, "C");
    EXPECT_TRUE(second.hasCoordinates);
    EXPECT_DOUBLE_EQ(second.x, 0.5);
    EXPECT_DOUBLE_EQ(second.y, -0.4);
    EXPECT_DOUBLE_EQ(second.z, -0.15);
    EXPECT_EQ(molecule.bonds[1].first, 1);
    EXPECT_EQ(molecule.bonds[1].second, 2);
    EXPECT_EQ(FormulaOf(molecule).counts, (Counts{{"C", 2}, {"H", 6}, {"O", 1}}));
}

TEST(CmlReader, TwoDimensionalCoordinatesAndImplicitHydrogens) {
    // Acetic acid drawn with heavy atoms only; bond orders in letters.
    const CmlMolecule molecule = ReadOk(
        "<molecule id='m'><atomArray>"
        "<atom id='c1' elementType='C' hydrogenCount='3' x2='0' y2='0'/>"
        "<atom id='c2' elementType='C' hydrogenCount='0' x2='1.3' y2='0.75'/>"
        "<atom id='o1' elementType='O' x2='1.3' y2='2.25'/>"
        "<atom id='o2' elementType='O' hydrogenCount='1' x2='2.6' y2='0'/>"
        "</atomArray><bondArray>"
        "<bond atomRefs2='c1 c2' order='S'/><bond atomRefs2='c2 o1' order='D'/>"
        "<bond atomRefs2='c2 o2'/>"
        "</bondArray></molecule>");
    ASSERT_EQ(molecule.atoms.size(), 4u);
    EXPECT_EQ(molecule.atoms[0].hydrogenCount, 3);
    EXPECT_EQ(molecule.atoms[2].hydrogenCount, 0);
    EXPECT_TRUE(molecule.atoms[1].hasCoordinates);
    EXPECT_DOUBLE_EQ(molecule.atoms[1].x, 1.3);
    EXPECT_DOUBLE_EQ(molecule.atoms[1].y, 0.75);
    EXPECT_EQ(molecule.atoms[1].z, 0.0);
    ASSERT_EQ(molecule.bonds.size(), 3u);
    EXPECT_EQ(molecule.bonds[0].order, 1);
    EXPECT_EQ(molecule.bonds[1].order, 2);
    EXPECT_EQ(molecule.bonds[2].order, 1);  // no order given
    EXPECT_EQ(molecule.name, "m");          // no <name>: the id
    EXPECT_EQ(FormulaOf(molecule).counts, (Counts{{"C", 2}, {"H", 4}, {"O", 2}}));
}

TEST(CmlReader, HydrogenCountIncludesExplicitHydrogensBondedToTheAtom) {
    // Methanol: the carbon's count of 3 includes its one drawn hydrogen, the
    // oxygen's hydrogen is only drawn. Summing both would give CH5O.
    const CmlMolecule molecule = ReadOk(
        "<molecule><atomArray>"
        "<atom id='c' elementType='C' hydrogenCount='3'/>"
        "<atom id='h' elementType='H'/>"
        "<atom id='o' elementType='O' hydrogenCount='1'/>"
        "<atom id='h2' elementType='H'/>"
        "</atomArray><bondArray>"
        "<bond atomRefs2='c h' order='1'/><bond atomRefs2='c o' order='1'/>"
        "<bond atomRefs2='h2 o' order='1'/>"
        "</bondArray></molecule>");
    EXPECT_EQ(molecule.atoms[0].hydrogenCount, 2);
    EXPECT_EQ(molecule.atoms[2].hydrogenCount, 0);
    EXPECT_EQ(FormulaOf(molecule).counts, (Counts{{"C", 1}, {"H", 4}, {"O", 1}}));
}

TEST(CmlReader, OddButValidXml) {
    const CmlMolecule molecule = ReadOk(
        "\xEF\xBB\xBF<?xml version='1.0'?>\r\n"
        "<!DOCTYPE cml [ <!ENTITY x \"<no>\"> ]>\r\n"
        "<!-- a comment with <molecule> in it -->\r\n"
        "<cml:cml xmlns:cml='http://www.xml-cml.org/schema'>\r\n"
        " <cml:molecule title = \"fallback\" >\r\n"
        "  <cml:name>  Caf&#233;ine &amp;<!-- split --> <![CDATA[<co>]]>\r\n\t&#x3B1;-form </cml:name>\r\n"
        "  <cml:name>second name is not used</cml:name>\r\n"
        "  <cml:formula><cml:atomArray elementType='C H' count='9 9'/></cml:formula>\r\n"
        "  <cml:atomArray>\r\n"
        "   <cml:atom id=\"a&quot;1\" elementType='N' x2='+1.5' y2=' -2 ' x3='9' y3='9' z3='9'></cml:atom>\r\n"
        "   <?pi inside?><cml:atom id='a2' elementType=\"S\"><!-- child --><cml:label value='x'/></cml:atom>\r\n"
        "   <cml:atom id='a3' elementType='H' isotopeNumber='2'/>\r\n"
        "  </cml:atomArray>\r\n"
        "  <cml:bondArray><cml:bond atomRefs2=' a&quot;1\ta2 ' order='A'/><cml:bond atomRefs2='a2 a3' order='T'/></cml:bondArray>\r\n"
        " </cml:molecule>\r\n"
        "</cml:cml>\r\n<!-- trailing -->\r\n");
    EXPECT_EQ(molecule.name, "Caf\xC3\xA9ine & <co> \xCE\xB1-form");
    ASSERT_EQ(molecule.atoms.size(), 3u);
    EXPECT_EQ(molecule.atoms[0].id, "a\"1");
    EXPECT_DOUBLE_EQ(molecule.atoms[0].x, 1.5);  // x2/y2 win over x3/y3/z3
    EXPECT_DOUBLE_EQ(molecule.atoms[0].y, -2.0);
    EXPECT_EQ(molecule.atoms[0].z, 0.0);
    EXPECT_FALSE(molecule.atoms[1].hasCoordinates);
    EXPECT_EQ(molecule.atoms[2].element, "D");
    ASSERT_EQ(molecule.bonds.size(), 2u);
    EXPECT_EQ(molecule.bonds[0].order, 4);
    EXPECT_EQ(molecule.bonds[1].order, 3);
    EXPECT_EQ(FormulaOf(molecule).counts, (Counts{{"D", 1}, {"N", 1}, {"S", 1}}));
}

TEST(CmlReader, NestedMoleculesCountTowardsTheWholeAndNameFallsBackToTitle) {
    const CmlMolecule molecule = ReadOk(
        "<molecule id='salt' title='Sodium chloride'>"
        "<molecule><name>ion</name><atomArray><atom id='a1' elementType='Na'/></atomArray></molecule>"
        "<molecule><atomArray><atom id='a2' elementType='Cl'/></atomArray></molecule>"
        "</molecule>");
    EXPECT_EQ(molecule.name, "Sodium chloride");
    EXPECT_EQ(FormulaOf(molecule).counts, (Counts{{"Cl", 1}, {"Na", 1}}));
}

TEST(CmlReader, NumbersIgnoreTheCLocale) {
    const char* previous = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (!previous) GTEST_SKIP() << "de_DE.UTF-8 locale missing";
    const CmlRead read = ReadCml("<molecule><atomArray><atom elementType='C' x2='1.25' y2='-0.5'/></atomArray></molecule>");
    const CmlRead comma = ReadCml("<molecule><atomArray><atom elementType='C' x2='1,25' y2='0'/></atomArray></molecule>");
    std::setlocale(LC_ALL, "C");
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_DOUBLE_EQ(read.molecule.atoms[0].x, 1.25);
    EXPECT_DOUBLE_EQ(read.molecule.atoms[0].y, -0.5);
    EXPECT_FALSE(comma.ok);
}

struct Malformed {
    std::string text;
    const char* reason;  // part of the expected error text
};

std::string Atoms(const std::string& inside) {
    return "<molecule><atomArray>" + inside + "</atomArray></molecule>";
}

TEST(CmlReader, MalformedTextGivesAReason) {
    const std::string c1 = "<atom id='a1' elementType='C'/>";
    const Malformed cases[] = {
        {"", "no element"},
        {"   \n", "no element"},
        {"<molecule>", "ends inside <molecule>"},
        {"<molecule><atomArray><atom id='a1' elementType='C'/>", "ends inside <atomArray>"},
        {"<molecule><atomArray><atom id='a1' elementType='C' x3=", "value of attribute x3 is not quoted"},
        {"<molecule><atomArray><atom elementType='C'></atomArray></molecule>", "</atomArray> closes <atom>"},
        {"<molecule></molecule></molecule>", "closes no element"},
        {"<molecule><atomArray><atom elementType=C/></atomArray></molecule>", "not quoted"},
        {"<molecule><atomArray><atom elementType='C\"/></atomArray></molecule>", "'<' in the value"},
        {"<molecule><atomArray><atom elementType='C\"/>", "unterminated value of attribute elementType"},
        {"<molecule><atomArray><atom elementType='C' elementType='C'/></atomArray></molecule>", "repeated"},
        {"<molecule><atomArray><atom elementType='C'id='a'/></atomArray></molecule>", "no space before"},
        {"<molecule><name>A&nbsp;B</name></molecule>", "unknown entity &nbsp;"},
        {"<molecule><name>A & B</name></molecule>", "'&'"},
        {"<molecule><name>&#0;</name></molecule>", "bad character reference"},
        {"<molecule><name>&#xD800;</name></molecule>", "bad character reference"},
        {"<molecule><name>a\x01</name></molecule>", "control character"},
        {"<molecule><name><![CDATA[a\x01]]></name></molecule>", "control character in a CDATA"},
        {"<molecule><!-- open", "unterminated comment"},
        {"<molecule><![CDATA[x", "unterminated CDATA"},
        {"<molecule/>trailing", "text outside the root"},
        {"<molecule/><molecule/>", "after the root element"},
        {"<molecule><!ELEMENT x></molecule>", "unknown markup"},
        {"\xFF\xFE<\0m\0", "UTF-16"},
        {"<cml/>", "no <molecule>"},
        {"<cml><molecule/><molecule/></cml>", "more than one <molecule>"},
        {"<molecule><name>empty</name></molecule>", "no atoms"},
    };
    for (const Malformed& bad : cases) {
        const CmlRead read = ReadCml(bad.text);
        EXPECT_FALSE(read.ok) << bad.text;
        EXPECT_NE(read.error.find(bad.reason), std::string::npos) << bad.text << "\n -> " << read.error;
    }
    const Malformed structure[] = {
        {"<atom id='a1'/>", "atom a1 has no elementType"},
        {"<atom elementType=' '/>", "atom 1 has no elementType"},
        {"<atom id='a1' elementType='C' hydrogenCount='-1'/>", "hydrogenCount \"-1\""},
        {"<atom id='a1' elementType='C' hydrogenCount='two'/>", "hydrogenCount"},
        {"<atom id='a1' elementType='C' hydrogenCount='100'/>", "from 0 to 99"},
        {"<atom id='a1' elementType='C' x2='1,5' y2='0'/>", "x2 \"1,5\" is not a number"},
        {"<atom id='a1' elementType='C' x3='nan' y3='0' z3='0'/>", "x3 \"nan\""},
        {"<atom id='a1' elementType='C' x3='1e999' y3='0' z3='0'/>", "x3"},
        {"<atom id='a1' elementType='C' x2='1'/>", "x2 without all its companions"},
        {"<atom id='a1' elementType='C' x3='1' y3='1'/>", "x3 without all its companions"},
        {"<atom id='a1' elementType='C' isotopeNumber='13'/>", "isotope 13C"},
        {c1 + "<atom id='a1' elementType='O'/>", "atom id a1 given twice"},
        {"<atom id='a1' elementType='C' isotopeNumber='x'/>", "bad isotopeNumber"},
    };
    for (const Malformed& bad : structure) {
        const CmlRead read = ReadCml(Atoms(bad.text));
        EXPECT_FALSE(read.ok) << bad.text;
        EXPECT_NE(read.error.find(bad.reason), std::string::npos) << bad.text << "\n -> " << read.error;
    }
}

TEST(CmlReader, BondFaults) {
    const std::string atoms = "<atomArray><atom id='a1' elementType='C'/><atom id='a2' elementType='C'/></atomArray>";
    const Malformed cases[] = {
        {"<bond order='1'/>", "bond without atomRefs2"},
        {"<bond atomRefs2='a1' order='1'/>", "does not name two atoms"},
        {"<bond atomRefs2='a1 a2 a3'/>", "does not name two atoms"},
        {"<bond atomRefs2='a1 a9'/>", "bond to unknown atom a9"},
        {"<bond atomRefs2='a1 a1'/>", "to itself"},
        {"<bond atomRefs2='a1 a2'/><bond atomRefs2='a2 a1'/>", "given twice"},
        {"<bond atomRefs2='a1 a2' order='5'/>", "unknown bond order \"5\""},
    };
    for (const Malformed& bad : cases) {
        const CmlRead read =
            ReadCml("<molecule>" + atoms + "<bondArray>\n" + bad.text + "</bondArray></molecule>");
        EXPECT_FALSE(read.ok) << bad.text;
        EXPECT_NE(read.error.find(bad.reason), std::string::npos) << bad.text << "\n -> " << read.error;
        EXPECT_NE(read.error.find("line 2"), std::string::npos) << read.error;
    }
    const CmlRead arrayForm = ReadCml("<molecule><atomArray atomID='a1 a2' elementType='C O'/></molecule>");
    EXPECT_FALSE(arrayForm.ok);
    EXPECT_NE(arrayForm.error.find("array form"), std::string::npos) << arrayForm.error;
}

TEST(CmlReader, BoundsAreEnforced) {
    std::string deep;
    for (int i = 0; i < 300; ++i) deep += "<x>";
    EXPECT_NE(ReadCml(deep).error.find("nested deeper"), std::string::npos);

    std::string tooManyAtoms = "<molecule><atomArray>";
    for (std::size_t i = 0; i <= kMaxCmlAtoms; ++i) tooManyAtoms += "<atom elementType='C'/>";
    tooManyAtoms += "</atomArray></molecule>";
    const CmlRead many = ReadCml(tooManyAtoms);
    EXPECT_FALSE(many.ok);
    EXPECT_NE(many.error.find("more than 100000 atoms"), std::string::npos) << many.error;

    const std::string longName = "<molecule><name>" + std::string(kMaxCmlNameBytes + 1, 'n') +
                                 "</name><atomArray><atom elementType='C'/></atomArray></molecule>";
    EXPECT_NE(ReadCml(longName).error.find("name longer"), std::string::npos);

    std::string huge = Atoms("<atom elementType='C'/>");
    huge.insert(0, std::string(kMaxCmlBytes, ' '));
    EXPECT_NE(ReadCml(huge).error.find("larger than 16 MiB"), std::string::npos);
}

// " C 5 H 12 O 1 " or " C 5 H 10 O " as the package's files state it.
Counts ParseConcise(const std::string& concise) {
    std::istringstream words(concise);
    Counts counts;
    std::string symbol, next;
    words >> symbol;
    while (!symbol.empty()) {
        long count = 1;
        next.clear();
        if (words >> next && !next.empty() && std::isdigit(static_cast<unsigned char>(next[0]))) {
            count = std::stol(next);
            next.clear();
            words >> next;
        }
        counts[symbol] += count;
        symbol = next;
    }
    return counts;
}

TEST(CmlReader, EveryPackagedStructureMatchesItsStatedFormula) {
    const std::filesystem::path root = "/usr/share/chemical-structures";
    if (!std::filesystem::is_directory(root)) GTEST_SKIP() << "chemical-structures-data not installed";
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".cml") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const CmlRead read = ReadCml(text);
        ASSERT_TRUE(read.ok) << entry.path() << ": " << read.error;
        const auto start = text.find("concise=\"");
        ASSERT_NE(start, std::string::npos) << entry.path();
        const auto end = text.find('"', start + 9);
        EXPECT_EQ(FormulaOf(read.molecule).counts, ParseConcise(text.substr(start + 9, end - start - 9)))
            << entry.path();
        EXPECT_FALSE(read.molecule.name.empty()) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 500);
}

}  // namespace
