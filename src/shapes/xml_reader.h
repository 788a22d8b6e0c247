// The XML reader of the shape files: two questions about one line of text, no document tree.
//
// The shape files are written one element per line, so the loader reads line by line and asks which
// element a line opens and what a named attribute holds. Only the subset the shape files use is
// understood; a line or attribute that cannot be answered ends the program, since it means a broken
// asset carried inside the executable.
#pragma once

#include <string>
#include <string_view>

// The element the line opens; empty for a closing tag or a "<!" line (comment, declaration).
std::string xmlElementName(std::string_view line);
// The raw value of the first name="value" whose name occurs anywhere in the line (plain substring match).
std::string xmlAttribute(std::string_view line, std::string_view name);
