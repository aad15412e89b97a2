#include "FormatHeader.h"

#include "EnvironmentRotation.h"
#include "FloatText.h"

namespace envlights {

std::vector<std::string> FormatHeader::lines(const std::vector<PhysicalReport>& reports,
                                             const FormatOptions& options, UpAxis up)
{
    std::vector<std::string> out{
        plain(options.generator) + ": directional lights of HDR environments (physical method)",
        std::string("axes: ") + (up == UpAxis::Y ? "Y" : "Z") + " up; irradiance scale " +
            doubleText(options.irradianceScale) + " per unit of image irradiance",
        "regions: picture pixels of the original image (x, y from the top-left, width, height); "
        "a region may run past the right edge and go on at the left"};
    for (const PhysicalReport& report : reports)
        out.push_back("image: " + plain(report.path) + ", " + std::to_string(report.width) + " x " +
                      std::to_string(report.height) + ", " + std::to_string(report.lights.size()) +
                      " lights, " + turn(options.rotateDeg, report.width));
    return out;
}

std::string FormatHeader::turn(double rotateDeg, int width)
{
    return "turned " + doubleText(rotateDeg) + " degrees about the up axis (" +
           std::to_string(EnvironmentRotation(rotateDeg).columnShift(width)) +
           " columns) before extraction";
}

std::string FormatHeader::plain(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (c < 0x20 || c > 0x7e)
            c = '?';
    return out;
}

std::string FormatHeader::quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : plain(text)) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string FormatHeader::region(const Morvek::PhysicalLight& light)
{
    const Morvek::PixelRect& r = light.region;
    return "solid angle " + doubleText(light.solidAngle) + " sr, region (" + std::to_string(r.x) +
           ", " + std::to_string(r.y) + ", " + std::to_string(r.width) + ", " +
           std::to_string(r.height) + ")";
}

} // namespace envlights
