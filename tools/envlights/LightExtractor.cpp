#include "LightExtractor.h"

#include <morvekBase/MFNode.h>
#include <morvekBase/NodeProc.h>
#include <morvekBase/NodeType.h>
#include <morvekBase/NodeTypeNameSpace.h>
#include <morvekBase/Runtime.h>
#include <morvekBase/SFColor.h>
#include <morvekBase/SFInt32.h>
#include <morvekBase/SFNode.h>
#include <morvekBase/SFVec3f.h>
#include <morvekCoreNodePool/SceneNodeTypeFactory.h>
#include <morvekSampling/EnvironmentCut.h>
#include <morvekShapeNodePool/Texture.h>

#include <cstring>

namespace envlights {

namespace {

using namespace Morvek;

template <class FieldType> FieldType* field(Node& node, const char* name, std::string& error)
{
    auto* found = dynamic_cast<FieldType*>(node.findField(name, SearchDerivedFirst));
    if (!found)
        error =
            std::string("the ") + node.getTypeName() + " node has no usable '" + name + "' field";
    return found;
}

PictureRect pictureRect(const ImageRegion& region, int imageHeight)
{
    return {region.origin.x(), imageHeight - (region.origin.y() + region.height), region.width,
            region.height};
}

} // namespace

LightExtractor::~LightExtractor()
{
    // The scene goes before the pool; the pool itself stays loaded until the process ends
    // (the loader's rule: types may still be referenced by nodes being torn down).
    _scene.reset();
}

bool LightExtractor::loadPlugin(std::string& error)
{
    if (!_loader.isLoaded(poolName) && !_loader.load(poolName, error))
        return false;
    if (!_scene) {
        _scene = Scene::create("envlights");
        if (!_scene) {
            error = "the host could not create a scene";
            return false;
        }
    }
    return true;
}

bool LightExtractor::extract(osg::ImagePtr image, int numLights, EnvironmentReport& report,
                             PhaseTimer& timer, std::string& error)
{
    if (!_scene) {
        error = "the lighting node pool is not loaded";
        return false;
    }
    RefPtr<Node> light;
    RefPtr<Texture> texture;
    MFNode* lights = nullptr;
    {
        const PhaseTimer::Scope scope = timer.measure("node creation");
        texture = Texture::create();
        NodeType* type = NodeTypeNameSpace::findType(theSceneNodeTypeFactory(), "EnvironmentLight",
                                                     SearchCaseSensitive);
        if (!texture || !type) {
            error = texture ? "the lighting node pool registered no EnvironmentLight type"
                            : "the host could not create a Texture node";
            return false;
        }
        light = type->createNode(nullptr, nullptr, CreatorProgram);
        if (!light || !light->_proc || std::strcmp(light->getTypeName(), "EnvironmentLight") != 0) {
            error = "the host could not create an EnvironmentLight node with its processor";
            return false;
        }
        auto* envTexture = field<SFNode>(*light, "envTexture", error);
        auto* count = field<SFInt32>(*light, "numLights", error);
        lights = field<MFNode>(*light, "_lights", error);
        if (!envTexture || !count || !lights)
            return false;
        texture->setImage(image);
        _scene->children().addChild(light.get());
        count->setValue(numLights);
        envTexture->setNode(texture.get());
    }
    {
        const PhaseTimer::Scope scope = timer.measure("tables, cut and lights");
        Runtime::instance().update(_time);
        _time += 1.0;
    }

    // The leaves ranked by ascending density; the last k made the k lights, densest first.
    const auto* cut = dynamic_cast<const EnvironmentCut*>(light->_proc);
    if (!cut) {
        error = "the EnvironmentLight's processor shows no cut of its image";
        return false;
    }
    const std::vector<ImageRegion>& regions = cut->regions();
    const std::size_t made = lights->size();
    bool ok = made <= regions.size();
    if (!ok)
        error = "the EnvironmentLight made " + std::to_string(made) + " lights from only " +
                std::to_string(regions.size()) + " regions";
    for (const ImageRegion& region : regions)
        report.leaves.push_back(pictureRect(region, report.height));
    for (unsigned j = 0; ok && j < made; ++j) {
        Node* generated = lights->getNode(j);
        auto* direction = generated ? field<SFVec3f>(*generated, "direction", error) : nullptr;
        auto* color = generated ? field<SFColor>(*generated, "color", error) : nullptr;
        if (!direction || !color) {
            ok = false;
            break;
        }
        ReportedLight reported;
        const osg::Vec3f& d = direction->getValue();
        const osg::Color3f& c = color->getValue();
        reported.direction = {d[0], d[1], d[2]};
        reported.color = {c.red(), c.green(), c.blue()};
        reported.region = pictureRect(regions[regions.size() - 1 - j], report.height);
        report.lights.push_back(reported);
    }

    // Take the light out of the scene again; its generated lights go with it.
    const int index = _scene->children().findChild(light.get());
    if (index >= 0)
        _scene->children().removeChild(static_cast<unsigned>(index));
    return ok;
}

} // namespace envlights
