#include "shapes/xml_reader.h"

#include <string>

#include "platform/program.h"

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view trimmed(std::string_view line) {
    while (!line.empty() && isBlank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && isBlank(line.back()))
        line.remove_suffix(1);
    return line;
}

} // namespace

std::string xmlElementName(std::string_view line) {
    const std::string_view text = trimmed(line);
    if (text.starts_with("<!") || text.starts_with("</")) return {};

    const size_t open = text.find('<');
    if (open != std::string_view::npos) {
        const size_t nameStart = open + 1;
        const size_t nameEnd = text.find_first_of(" />", nameStart);
        if (nameEnd != std::string_view::npos)
            return std::string(text.substr(nameStart, nameEnd - nameStart));
    }
    raiseFatalError(std::string(text) + " does not contain an Element!");
}

std::string xmlAttribute(std::string_view line, std::string_view name) {
    const size_t found = line.find(name);
    if (found != std::string_view::npos) {
        // The two characters after the name are taken to be '=' and the opening quote, unchecked.
        const size_t valueStart = found + name.size() + 2;
        if (valueStart <= line.size()) {
            const size_t valueEnd = line.find('"', valueStart);
            if (valueEnd != std::string_view::npos)
                return std::string(line.substr(valueStart, valueEnd - valueStart));
        }
    }
    raiseFatalError("Attribute '" + std::string(name) + "' not found in '" + std::string(line) + "' !");
}
