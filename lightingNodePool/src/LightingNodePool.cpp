#include <morvekLightingNodePool/LightingNodePool.h>

#include <morvekLightingNodePool/DirectionalLight.h>
#include <morvekLightingNodePool/EnvironmentLight.h>
#include <morvekLightingNodePool/Light.h>
#include <morvekLightingNodePool/PointLight.h>
#include <morvekLightingNodePool/SpotLight.h>

namespace Morvek {

void initLightingNodePool()
{
    // A failed check has been logged; there is nothing else to do about it here.
    DirectionalLight::init();
    EnvironmentLight::init();
    Light::init();
    PointLight::init();
    SpotLight::init();
}

} // namespace Morvek
