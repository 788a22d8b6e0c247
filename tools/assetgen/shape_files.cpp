// The shape files: one object element, one line element per segment, CR LF line ends. The game's loader
// reads them line by line with a very small XML reader, so the layout is kept exactly this plain.
#include "generated_assets.h"
#include "output_file.h"
#include "shape_tables.h"

#include <string>

namespace {

std::string shapeFileText(const TShapeTable& table) {
    std::string text = "<object ID=\"\" >\r\n";
    const std::string colour = " width=\"1\" red=\"" + std::to_string(table.red) + "\" green=\"" +
                               std::to_string(table.green) + "\" blue=\"" + std::to_string(table.blue) + "\"";
    for (const TShapeSegment& segment : table.segments) {
        text += "\t<line x1=\"" + std::to_string(segment.x1) + "\" y1=\"" + std::to_string(segment.y1) +
                "\" x2=\"" + std::to_string(segment.x2) + "\" y2=\"" + std::to_string(segment.y2) + "\"" +
                colour + " />\r\n";
    }
    text += "</object>\r\n";
    return text;
}

} // namespace

void writeShapeAssets(const std::string& outDir) {
    for (const TShapeTable& table : shapeTables())
        writeOutputFile(outDir, table.fileName, shapeFileText(table));
}
