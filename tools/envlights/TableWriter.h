#pragma once

#include "EnvironmentReport.h"
#include "FormatOptions.h"
#include "PhysicalReport.h"

#include <string>
#include <vector>

namespace envlights {

/// Text for a terminal: per image a title line, then one aligned row per light with its rank
/// (1 = densest), direction, colour and region (picture coordinates, see PictureRect).
///
/// The physical method's results: per image a title line with the method and the total
/// irradiance, one row per light (most powerful first) with its direction, irradiance,
/// intensity (the irradiance's largest component), solid angle in steradians and region, and,
/// when measured, a line "irradiance error: E".
///
/// With options.rotateDeg not 0, every title line ends with ", turned D degrees".
class TableWriter {
public:
    static std::string write(const std::vector<EnvironmentReport>& reports,
                             const FormatOptions& options = {});
    static std::string write(const std::vector<PhysicalReport>& reports,
                             const FormatOptions& options = {});
};

} // namespace envlights
