#pragma once

// The real path from an environment image to lights: the lighting node pool is loaded as a
// plug-in through the host's loader, and for each image an EnvironmentLight node (created by
// type name) is given a Texture node holding the image and its numLights; after the host's
// update the generated DirectionalLight nodes are read from its `_lights` field and the leaves
// of the cut from its processor. Nothing the pool computes is computed here.

#include "EnvironmentReport.h"
#include "PhaseTimer.h"

#include <morvekBase/NodePoolLoader.h>
#include <morvekBase/RefPtr.h>
#include <morvekCoreNodePool/Scene.h>

#include <OpenSG/OSGImage.h>

#include <string>

namespace envlights {

class LightExtractor {
public:
    /// The pool's name for the host's loader (file libmorvekLightingNodePool.so).
    static constexpr const char* poolName = "LightingNodePool";

    LightExtractor() = default;
    ~LightExtractor();
    LightExtractor(const LightExtractor&) = delete;
    LightExtractor& operator=(const LightExtractor&) = delete;

    /// Loads the pool and makes the scene the lights live in. False with `error` on failure.
    bool loadPlugin(std::string& error);

    /// Runs an EnvironmentLight with `numLights` on `image` (at least 2 x 2, at most 65535 on a
    /// side) and fills `report.lights` and `report.leaves`; `report.height` must be the image's
    /// height. Phases go to `timer` as "node creation" and "tables, cut and lights".
    bool extract(osg::ImagePtr image, int numLights, EnvironmentReport& report, PhaseTimer& timer,
                 std::string& error);

private:
    Morvek::NodePoolLoader _loader;
    Morvek::RefPtr<Morvek::Scene> _scene;
    double _time = 0.0; ///< host time of the next update: one second per image
};

} // namespace envlights
