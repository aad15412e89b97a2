#pragma once

#include <morvekBase/BitVector.h>
#include <morvekCoreNodePool/VisualEffectorProc.h>

#include <OpenSG/OSGColor.h>
#include <OpenSG/OSGLight.h>
#include <OpenSG/OSGMatrix.h>
#include <OpenSG/OSGNode.h>
#include <OpenSG/OSGPolygonChunk.h>
#include <OpenSG/OSGQuaternion.h>
#include <OpenSG/OSGTransform.h>
#include <OpenSG/OSGVector.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace Morvek {

class Field;
class Light;
class SFBool;

// Processor base of every light node: mirrors one light node into the OpenSG graph.
//
// The processor's own core is an osg::Transform; the OpenSG node carrying it is the beacon
// node, the frame in which the light core's position and direction are read. Subclasses make
// the light core and hand it over (adoptLightCore), and hang their proxy geometry under the
// beacon node.
//
// Every update writes OpenSG in the same order, whatever the light type:
//   1. the light core, all its values in one edit (commitLightCore), and nowhere else;
//   2. updateOSGFieldValues: the proxy and the beacon, never the light core;
//   3. the registration mode, when the node's "global" field changed;
//   4. LightProc::nodeChanged: on, shadowIntensity, proxy visibility and size.
// A type's nodeChanged commits the core when the reported fields meet the ones its core shows,
// then runs finishNodeChanged (steps 2 to 4). attach runs step 2 with every field; it commits
// the core first only where the type asks for it (CoreAtAttach).
//
// Registration with the scene comes in two modes:
//   global: registered with the scene processor with the flag true; it lights the whole scene;
//   local:  registered with the flag false and carried as an extra core by the processor of
//           every non-prototype parent, so that it lights only that parent's subtree.
// The mode follows the node's "global" field (a node without one counts as global).
class LightProc : public VisualEffectorProc {
public:
    // Releases the light core; the light is not unregistered here.
    ~LightProc() override;

    Light* getLight() const;
    osg::LightPtr getLightPtr() const { return _lightPtr; }
    osg::TransformPtr getProxyTransPtr() const { return _proxyTransPtr; }

    // Assigns the VisualEffectorProc part, then copies the registration state and the handles.
    LightProc& operator=(const LightProc& other);

    // Registration state: -1 not registered, 0 registered locally, 1 registered globally.
    // Readable by anyone (tools and tests look at it); set only by the processor.
    bool isRegistered() const { return _prevGlobal >= 0; }
    bool wasGlobal() const { return _prevGlobal >= 1; }
    int32_t prevGlobal() const { return _prevGlobal; }

protected:
    friend class Light;

    // Stores the state only (1 for true, 0 for false); registers nothing.
    void setPrevGlobal(bool global) { _prevGlobal = global ? 1 : 0; }

    LightProc(NodeType& type, Node& node);
    // A fresh processor for the same node: the registration state and handles are not copied.
    LightProc(LightProc& other);

    // Makes the beacon node the light core's beacon and looks up the "global" field; the state
    // goes back to unregistered.
    void initialize(const double& time) override;
    // Registers the light in the mode of global() (re-registering when the mode changed),
    // then pushes every value into OpenSG: the light core's colours where the type asks for
    // them (CoreAtAttach), then updateOSGFieldValues with all bits.
    void attach(const double& time) override;
    // Unregisters the light in the mode of global(); the light then counts as unregistered,
    // so that a later attach registers it again.
    void detach(const double& time) override;
    // Forgets the "global" field and the registration state; unregisters nothing.
    void shutdown(const double& time) override;
    // The part common to every light: `on`, `shadowIntensity`, proxy visibility and size.
    // Subclasses reach it last, through finishNodeChanged.
    void nodeChanged(const double& time, const BitVector<unsigned long long>& mask) override;

    // Copies the subclass's fields named in `mask` into its proxy and its beacon. attach()
    // passes every bit.
    virtual void updateOSGFieldValues(const BitVector<unsigned long long>& mask) = 0;

    // What attach writes into the light core besides pushing the proxy and the beacon:
    //   Untouched: nothing; the core keeps OpenSG's defaults until a change is reported (point
    //              and spot lights);
    //   Colours:   its colours, which is all a directional light's core shows.
    enum class CoreAtAttach { Untouched, Colours };
    // Takes one reference on `core` (a null core is kept as none), released with the processor.
    void adoptLightCore(osg::LightPtr core, CoreAtAttach atAttach);

    // The node's colour times its intensity: the light core's diffuse and specular colour, and
    // the colour of the proxy.
    osg::Color3f directColour() const;
    // Whether there is a light core and `mask` meets `coreFields`, the fields it shows.
    bool coreFieldsChanged(const FieldMask& mask, const FieldMask& coreFields) const;
    // Writes the values every light core shows and commits the core with all fields: diffuse and
    // specular directColour(), ambient the colour times ambientIntensity, alpha 1; and, for a
    // type that has one, the attenuation (constant, linear, quadratic), unchanged. A type with
    // values of its own sets them on the core just before. Nothing without a light core.
    void commitLightCore();
    void commitLightCore(const osg::Vec3f& attenuation);

    // Steps 2 to 4 of an update (see above), with the type's "global" field and its mask.
    void finishNodeChanged(const double& time, const FieldMask& mask, const FieldMask& globalMask,
                           const SFBool& global);

    // The registration mode the node asks for: the value of its "global" field, or true when
    // there is none or it is not an SFBool.
    bool global() const;

    // Registers / unregisters the light core in the given mode (the time is not used).
    void regLight(const double& time, bool global);
    void unregLight(const double& time, bool global);
    // Moves the registration to mode `global` when it is not already there.
    void updateLightState(const double& time, bool global);

    // Hands a change reported by the node to the host unchanged.
    void fieldChanged(Light& light, Field& field, const double& time, Field* source);

    // The node carrying the processor's own core, or null while the core is on no node.
    osg::NodePtr getBeaconNode() const;
    // Sets the matrix of the processor's own Transform and commits it.
    void setBeaconMatrix(const osg::Matrix& matrix);
    // The rotation that turns -z, along which the light core shines in the beacon frame, onto
    // `direction`.
    static osg::Quaternion beaconRotation(const osg::Vec3f& direction);
    // Hangs `proxy` under the beacon node. Without beacon node the processor keeps the proxy
    // itself (one reference, released with the processor), so that _proxyTransPtr stays valid.
    void attachProxy(osg::NodePtr proxy);

    // Holds one reference on each OpenSG object made while a proxy is built, until the build
    // ends: a part that ends up without parent (because a creation further up failed) is then
    // freed instead of lost. Parts in the finished graph live on through their parents.
    class BuildRefs {
    public:
        BuildRefs() = default;
        BuildRefs(const BuildRefs&) = delete;
        BuildRefs& operator=(const BuildRefs&) = delete;
        ~BuildRefs();
        template <class Ptr> Ptr operator()(Ptr object)
        {
            if (object != osg::NullFC) {
                osg::addRefCP(object);
                if (_count < inlineSlots)
                    _first[_count++] = object;
                else
                    _more.push_back(object);
            }
            return object;
        }

    private:
        // The parts of one proxy (a dozen at most so far) fit here without allocating.
        static constexpr unsigned inlineSlots = 16;
        osg::FieldContainerPtr _first[inlineSlots];
        unsigned _count = 0;
        std::vector<osg::FieldContainerPtr> _more;
    };

    // Proxy building blocks shared by the light types.
    // A polygon chunk culling back faces (GL_BACK, 1029), for the materials of one proxy to
    // share.
    static osg::PolygonChunkPtr createProxyPolygonChunk();
    // Gives the geometry of `node` a SimpleMaterial of its own: `transparency` (0 opaque to 1
    // invisible), emission yellow (1, 1, 0), and `chunk` in OpenSG's replacing automatic slot
    // (-2). Skipped for a null node, a core that is no geometry or a failed material.
    static void addProxyMaterial(osg::NodePtr node, osg::PolygonChunkPtr chunk, float transparency);
    // Sets the diffuse colour of the SimpleMaterial on the geometry of `node`, if it has one.
    static void setProxyDiffuse(osg::NodePtr node, const osg::Color3f& diffuse);
    // A node whose Transform moves `child` by `offset` along y.
    static osg::NodePtr makeOffsetNode(BuildRefs& held, float offset, osg::NodePtr child);
    // The proxy's root: a node whose core, a new identity Transform, becomes _proxyTransPtr,
    // carrying `children` and hung under the beacon node.
    void addProxyRoot(BuildRefs& held, std::initializer_list<osg::NodePtr> children);

    int32_t _prevGlobal;
    osg::LightPtr _lightPtr;          // the light core, one reference; see adoptLightCore
    osg::TransformPtr _proxyTransPtr; // root Transform of the proxy geometry, or null
    Field* _globalField;              // the node's "global" field, not owned

private:
    osg::NodePtr _unattachedProxy; // a proxy root that found no beacon node; one reference
    CoreAtAttach _coreAtAttach;    // the same for every processor of a type

    // The steps regLight and unregLight share; `reg` chooses the direction.
    void changeRegistration(bool reg, bool global);
};

} // namespace Morvek
