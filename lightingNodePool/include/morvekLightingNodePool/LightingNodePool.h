#pragma once

namespace Morvek {

// Entry point of the lighting node pool, called by the host after loading the library.
//
// The five light types (DirectionalLight, EnvironmentLight, Light, PointLight, SpotLight)
// register themselves in theSceneNodeTypeFactory() while the library loads; this only checks
// each registration, in that order, and logs "Init <type>: OK" or "FAILED" at level 4 per type.
// It keeps no state and may be called any number of times.
void initLightingNodePool();

} // namespace Morvek
