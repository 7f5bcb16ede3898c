#include "formats/xml.h"

#include <gtest/gtest.h>

#include "formats/centre_document.h"
#include "formats/error.h"
#include "tests/support/files.h"

namespace formats {
namespace {

using testing_support::readBytes;
using testing_support::TempDir;
using testing_support::writeBytes;

std::vector<std::string> codes(const std::vector<XmlElement>& elements, std::string_view attribute) {
    std::vector<std::string> out;
    for (const auto& e : elements) out.push_back(e.attribute(attribute).toUtf8());
    return out;
}

TEST(Xml, SelectsAlongAbsolutePathsAcrossRepeatedSections) {
    const auto doc = XmlDocument::parse(R"(<?xml version="1.0" encoding="UTF-8"?>
<centro codigo="46000001">
  <aulas><aula codigo="A1"/><otro codigo="no"/><aula codigo="A2"/></aulas>
  <grupos><aula codigo="not here"/></grupos>
  <aulas><aula codigo="A3"><aula codigo="nested, not reached"/></aula></aulas>
</centro>)",
                                        "test.xml");
    EXPECT_EQ(codes(doc.select(centre::aula::path), "codigo"), (std::vector<std::string>{"A1", "A2", "A3"}));
    EXPECT_EQ(doc.select(centre::centro::path).size(), 1u);
    EXPECT_TRUE(doc.select(centre::grupo::path).empty());  // a missing section
    EXPECT_TRUE(doc.select("/otro/aulas/aula").empty());   // another root
}

TEST(Xml, AttributesAreTrimmedAndConverted) {
    const auto doc = XmlDocument::parse(
        "<centro><docentes><docente nombre=\" \t&#10;Jos\xC3\xA9 \r\n\" apellido1=\"\xE4\xB8\xAD\" "
        "apellido2=\"   \"/></docentes></centro>",
        "t.xml");
    const auto teachers = doc.select(centre::docente::path);
    ASSERT_EQ(teachers.size(), 1u);
    EXPECT_EQ(teachers[0].attribute(centre::docente::nombre).bytes(), "Jos\xE9");
    EXPECT_EQ(teachers[0].attribute(centre::docente::apellido1).bytes(), "?");
    EXPECT_EQ(teachers[0].attribute(centre::docente::apellido2).bytes(), "");
    EXPECT_EQ(teachers[0].attribute(centre::docente::documento).bytes(), "");  // lacking: empty
    EXPECT_FALSE(teachers[0].hasAttribute(centre::docente::documento));
}

TEST(Xml, ReadsTheDeclaredEncoding) {
    const auto doc = XmlDocument::parse(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><centro denominacion=\"IES Vall d'Alb\xE0\"/>",
        "t.xml");
    EXPECT_EQ(doc.root()->attribute("denominacion").toUtf8(), "IES Vall d'Albà");
}

TEST(Xml, RefusesADocumentThatIsNotWellFormed) {
    TempDir dir;
    writeBytes(dir / "mal.xml", "<centro>\n<aulas>\n<aula codigo=\"A1\">\n</centro>\n");
    try {
        XmlDocument::load(dir / "mal.xml");
        FAIL();
    } catch (const Error& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find((dir / "mal.xml").string()), std::string::npos) << message;
        EXPECT_NE(message.find("línea 4"), std::string::npos) << message;
        EXPECT_NE(message.find("mismatch"), std::string::npos) << message;  // the parser's own words
    }
    EXPECT_THROW(XmlDocument::load(dir / "missing.xml"), Error);
    EXPECT_THROW(XmlDocument::parse("", "empty.xml"), Error);
}

TEST(Xml, NeverExpandsEntityBombsNorFetchesExternalEntities) {
    std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE centro [<!ENTITY a0 \"xxxxxxxxxx\">";
    for (int i = 1; i < 12; ++i) {
        const std::string prev = "&a" + std::to_string(i - 1) + ";";
        std::string ten;
        for (int k = 0; k < 10; ++k) ten += prev;
        bomb += "<!ENTITY a" + std::to_string(i) + " \"" + ten + "\">";
    }
    bomb += "]><centro codigo=\"&a11;\"/>";
    try {
        XmlDocument::parse(bomb, "bomb.xml");
        FAIL() << "the bomb loaded";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("bomb.xml"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("entity reference loop"), std::string::npos);
    }

    TempDir dir;
    writeBytes(dir / "secret.txt", "SECRET-CONTENT");
    const std::string external = "<?xml version=\"1.0\"?><!DOCTYPE centro [<!ENTITY ext SYSTEM \"file://" +
                                 (dir / "secret.txt").string() + "\">]><centro><aulas>&ext;</aulas></centro>";
    writeBytes(dir / "ext.xml", external);
    const auto doc = XmlDocument::load(dir / "ext.xml");
    doc.save(dir / "out.xml");
    EXPECT_EQ(readBytes(dir / "out.xml").find("SECRET-CONTENT"), std::string::npos);
}

TEST(Xml, ReplacingTheRootKeepsEverythingOutsideIt) {
    TempDir dir;
    writeBytes(
        dir / "in.xml",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE centro [<!ATTLIST centro a CDATA "
        "#IMPLIED>]>\n<!-- antes -->\n<?proc uno?>\n<centro codigo=\"1\"><aulas/></centro>\n<!-- despues "
        "-->\n");
    auto doc = XmlDocument::load(dir / "in.xml");
    XmlElement root = doc.replaceRoot("centro");
    root.setAttribute("codigo", AnsiString::fromUtf8("46"));
    root.setAttribute("denominacion", AnsiString::fromUtf8("IES Núñez €"));
    root.setAttribute("codigo", AnsiString::fromUtf8("47"));  // replaced in place, order kept
    XmlElement section = root.appendElement("horarios_grupo");
    section.appendElement("horario_grupo").setAttribute("dia", AnsiString::fromUtf8("L"));
    doc.save(dir / "out.xml");

    const std::string out = readBytes(dir / "out.xml");
    EXPECT_EQ(
        out,
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE centro [\n<!ATTLIST centro a CDATA "
        "#IMPLIED>\n]>\n<!-- antes -->\n<?proc uno?>\n<centro codigo=\"47\" denominacion=\"IES N\xFA\xF1"
        "ez &#8364;\"><horarios_grupo><horario_grupo dia=\"L\"/></horarios_grupo></centro>\n<!-- despues "
        "-->\n");
    const auto again = XmlDocument::load(dir / "out.xml");
    EXPECT_EQ(again.root()->attribute("denominacion").toUtf8(), "IES Núñez €");
}

TEST(Xml, SavesUtf8WithoutADeclaredEncodingAndReplacesTheTargetWhole) {
    TempDir dir;
    writeBytes(dir / "out.xml", "old result");
    auto doc = XmlDocument::parse("<centro/>", "t.xml");
    doc.replaceRoot("centro").setAttribute("nombre", AnsiString::fromUtf8("Àngels"));
    doc.save(dir / "out.xml");
    EXPECT_EQ(readBytes(dir / "out.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<centro nombre=\"\xC3\x80ngels\"/>\n");
    EXPECT_EQ(testing_support::snapshot(dir.path()).size(), 1u);  // no temporary file left
    EXPECT_THROW(doc.save(dir / "no-such-folder" / "out.xml"), Error);
}

}  // namespace
}  // namespace formats
