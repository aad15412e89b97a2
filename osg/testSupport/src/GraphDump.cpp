#include <osgTestSupport/GraphDump.h>

#include <OpenSG/OSGDirectionalLight.h>
#include <OpenSG/OSGGeometry.h>
#include <OpenSG/OSGSimpleGeometry.h>
#include <OpenSG/OSGSpotLight.h>
#include <OpenSG/OSGTransform.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

namespace Morvek::osgTestSupport {

using namespace osg;

namespace {
// Magnitudes below this print as 0: float rounding noise, not content.
constexpr Real32 dumpNoiseFloor = 1e-6f;

// A float as the dump prints it: at most 4 significant digits, noise and -0 as 0.
std::string dumpNumber(Real32 value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    if (std::fabs(value) < dumpNoiseFloor)
        return "0";
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", double(value));
    return text;
}

struct DumpState {
    std::map<FieldContainer*, UInt32> beaconLabels;
    std::map<FieldContainer*, UInt32> materialLabels;
    std::ostringstream out;
};

void collectBeacons(const NodePtr& node, std::vector<NodePtr>& inDump,
                    std::vector<NodePtr>& beacons)
{
    inDump.push_back(node);
    LightPtr light = LightPtr::dcast(node->getCore());
    if (light != NullFC && light->getBeacon() != NullFC)
        beacons.push_back(light->getBeacon());
    for (UInt32 i = 0; i < node->getNChildren(); ++i)
        collectBeacons(node->getMFChildren()[i], inDump, beacons);
}

template <class T> std::string tuple(const T* values, UInt32 n)
{
    std::string text = "(";
    for (UInt32 i = 0; i < n; ++i)
        text += (i ? " " : "") + dumpNumber(values[i]);
    return text + ")";
}

std::string matrixText(const Matrix& m)
{
    const bool rotationIsIdentity = m[0][0] == 1 && m[1][1] == 1 && m[2][2] == 1 && m[0][1] == 0 &&
                                    m[0][2] == 0 && m[1][0] == 0 && m[1][2] == 0 && m[2][0] == 0 &&
                                    m[2][1] == 0;
    const bool bottomIsStandard = m[0][3] == 0 && m[1][3] == 0 && m[2][3] == 0 && m[3][3] == 1;
    if (rotationIsIdentity && bottomIsStandard) {
        if (m[3][0] == 0 && m[3][1] == 0 && m[3][2] == 0)
            return "";
        return " translate=(" + dumpNumber(m[3][0]) + " " + dumpNumber(m[3][1]) + " " +
               dumpNumber(m[3][2]) + ")";
    }
    std::string text = " matrix=[";
    const UInt32 rows = bottomIsStandard ? 3 : 4;
    for (UInt32 r = 0; r < rows; ++r) {
        if (r)
            text += "; ";
        for (UInt32 c = 0; c < 4; ++c)
            text += (c ? " " : "") + dumpNumber(m[c][r]);
    }
    return text + "]";
}

std::string beaconText(const NodePtr& beacon, DumpState& state)
{
    if (beacon == NullFC)
        return "none";
    auto found = state.beaconLabels.find(beacon.getCPtr());
    if (found == state.beaconLabels.end())
        return "outside";
    return "@" + std::to_string(found->second);
}

std::string materialText(const MaterialPtr& material, DumpState& state)
{
    if (material == NullFC)
        return "none";
    if (material == getDefaultMaterial())
        return "default";
    if (material == getDefaultUnlitMaterial())
        return "defaultUnlit";
    auto found = state.materialLabels.find(material.getCPtr());
    if (found != state.materialLabels.end())
        return "m" + std::to_string(found->second);
    UInt32 label = UInt32(state.materialLabels.size() + 1);
    state.materialLabels.emplace(material.getCPtr(), label);
    return "m" + std::to_string(label);
}

std::string coreText(const NodeCorePtr& core, DumpState& state)
{
    if (core == NullFC)
        return "<no core>";
    std::string text = core->getTypeName();
    if (TransformPtr transform = TransformPtr::dcast(core); transform != NullFC)
        return text + matrixText(transform->getMatrix());
    if (LightPtr light = LightPtr::dcast(core); light != NullFC) {
        text += light->getOn() ? " on" : " off";
        text += " diffuse=" + tuple(light->getDiffuse().getValuesRGBA(), 4);
        text += " beacon=" + beaconText(light->getBeacon(), state);
        if (DirectionalLightPtr dl = DirectionalLightPtr::dcast(core); dl != NullFC)
            text += " direction=" + tuple(dl->getDirection().getValues(), 3);
        if (PointLightPtr pl = PointLightPtr::dcast(core); pl != NullFC)
            text += " position=" + tuple(pl->getPosition().getValues(), 3);
        if (SpotLightPtr sl = SpotLightPtr::dcast(core); sl != NullFC)
            text += " direction=" + tuple(sl->getDirection().getValues(), 3) +
                    " cutoff=" + dumpNumber(sl->getSpotCutOff());
        return text;
    }
    if (GeometryPtr geo = GeometryPtr::dcast(core); geo != NullFC)
        return text + " vertices=" + std::to_string(geo->getPositions().size()) +
               " material=" + materialText(geo->getMaterial(), state);
    return text;
}

void dumpNode(const NodePtr& node, UInt32 depth, DumpState& state)
{
    state.out << std::string(std::size_t(depth) * 2, ' ');
    auto label = state.beaconLabels.find(node.getCPtr());
    if (label != state.beaconLabels.end())
        state.out << '@' << label->second << ' ';
    state.out << coreText(node->getCore(), state);
    if (node->getTravMask() == 0)
        state.out << " inactive";
    else if (node->getTravMask() != 0xFFFFFFFFu) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", unsigned(node->getTravMask()));
        state.out << " travMask=0x" << hex;
    }
    state.out << '\n';
    for (UInt32 i = 0; i < node->getNChildren(); ++i)
        dumpNode(node->getMFChildren()[i], depth + 1, state);
}
} // namespace

std::string dumpGraph(const NodePtr& root)
{
    if (root == NullFC)
        return "<null>\n";
    DumpState state;
    std::vector<NodePtr> inDump, beacons;
    collectBeacons(root, inDump, beacons);
    // Beacon labels follow the dump order of the beacon nodes.
    for (const NodePtr& node : inDump)
        for (const NodePtr& beacon : beacons)
            if (beacon == node &&
                state.beaconLabels.find(node.getCPtr()) == state.beaconLabels.end()) {
                UInt32 next = UInt32(state.beaconLabels.size() + 1);
                state.beaconLabels.emplace(node.getCPtr(), next);
            }
    dumpNode(root, 0, state);
    return state.out.str();
}

} // namespace Morvek::osgTestSupport
