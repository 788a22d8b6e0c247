#include <gtest/gtest.h>

#include "shapes/fatal_exit.h"
#include "shapes/xml_reader.h"

namespace {

TEST(XmlElementName, NamesTheElementALineOpens) {
    EXPECT_EQ(xmlElementName("\t<line x1=\"0\" y1=\"12\" x2=\"12\" y2=\"4\" width=\"1\" />"), "line");
    EXPECT_EQ(xmlElementName("  <object ID=\"\" >\r"), "object");
    EXPECT_EQ(xmlElementName("<marker/>"), "marker");
    EXPECT_EQ(xmlElementName("<marker>"), "marker");
}

TEST(XmlElementName, ClosingTagsCommentsAndDeclarationsHaveNoName) {
    EXPECT_EQ(xmlElementName("\t</object>  "), "");
    EXPECT_EQ(xmlElementName("  <!-- the claw -->"), "");
    EXPECT_EQ(xmlElementName("<!DOCTYPE shape>"), "");
}

TEST(XmlElementNameDeathTest, LineWithoutAnElementIsFatal) {
    EXPECT_EXIT(xmlElementName(" \t  \t"), endedWithFailure, "(^|\n) does not contain an Element!");
    EXPECT_EXIT(xmlElementName("  bare text "), endedWithFailure, "bare text does not contain an Element!");
    EXPECT_EXIT(xmlElementName("<line"), endedWithFailure, "<line does not contain an Element!");
}

TEST(XmlAttribute, ReturnsTheRawValue) {
    const char* line = "\t<line x1=\"0\" y1=\"12\" x2=\"12\" y2=\"4\" />";
    EXPECT_EQ(xmlAttribute(line, "x1"), "0");
    EXPECT_EQ(xmlAttribute(line, "y1"), "12");
    EXPECT_EQ(xmlAttribute("<object ID=\"\" >", "ID"), "");
}

TEST(XmlAttributeDeathTest, MissingOrUnterminatedAttributeIsFatal) {
    EXPECT_EXIT(xmlAttribute("<line x1=\"0\" />", "y1"), endedWithFailure,
                "Attribute 'y1' not found in '<line x1=\"0\" />' !");
    EXPECT_EXIT(xmlAttribute("<line x1=\"5", "x1"), endedWithFailure,
                "Attribute 'x1' not found in '<line x1=\"5' !");
    // The value would start past the end of the line.
    EXPECT_EXIT(xmlAttribute("<line x1", "x1"), endedWithFailure, "Attribute 'x1' not found");
}

} // namespace
