#pragma once

// Image in, lights out: one prepared environment (see EnvironmentPreparation) through either
// method, with the results and the one-line errors envlights reports. The physical method is a
// pure function of the pixels; the node method runs the lighting node pool, loaded as a plug-in
// on its first use, in the host runtime, which serves one caller at a time.

#include "EnvironmentReport.h"
#include "LightExtractor.h"
#include "PhysicalReport.h"

#include <morvekSampling/RadianceImage.h>

#include <OpenSG/OSGImage.h>

#include <string>

namespace envlights {

class LightsFromImage {
public:
    /// `lights` physical lights of `image`, reported as `name`: fills path, width, height,
    /// lights and totalIrradiance. False with a line starting with `name` when the image cannot
    /// be cut into that many lights. Up to `threads` threads read the pixels.
    static bool physical(const Morvek::RadianceImage& image, int lights, const std::string& name,
                         PhysicalReport& report, std::string& error, int threads = 1);

    /// The lighting node pool's EnvironmentLight with `numLights` on `image` (RGB, float or
    /// 8-bit, rows bottom first), reported as `name`. Loads the pool on the first call. Not to
    /// be called from two threads at once. Its phases go to `timer` when given.
    bool node(osg::ImagePtr image, int numLights, const std::string& name,
              EnvironmentReport& report, std::string& error, PhaseTimer* timer = nullptr);

private:
    LightExtractor _extractor;
    bool _loaded = false;
};

} // namespace envlights
