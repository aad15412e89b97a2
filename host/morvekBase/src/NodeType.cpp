#include <morvekBase/NodeType.h>

#include <morvekBase/HostLog.h>
#include <morvekBase/Node.h>
#include <morvekBase/NodeNameSpace.h>
#include <morvekBase/NodePartDesc.h>
#include <morvekBase/NodeProc.h>
#include <morvekBase/NodeTypeNameSpace.h>
#include <morvekBase/Runtime.h>

#include <cstring>

namespace Morvek {

namespace {
const char* const source = "morvekBase/NodeType";
// Guards isDerivedFrom against a cycle of parent names.
constexpr int maxTypeDepth = 64;
} // namespace

NodeType::NodeType(NodeTypeNameSpace& ns, const char* name, const char* pool,
                   const char* parentName, const char* containerField, const char* profile,
                   const char* component, const char* componentLevel, const char* status,
                   const char* description, const char* standard, bool internal, bool deprecated,
                   IsTypeFunc isType, CreateNodeFunc createNode, CreateProcFunc createProc,
                   NodePartDesc* desc, unsigned int numDesc)
    : _nameSpace(&ns), _name(name ? name : ""), _pool(pool), _parentName(parentName),
      _containerField(containerField), _profile(profile), _component(component),
      _componentLevel(componentLevel), _status(status), _description(description),
      _standard(standard), _internal(internal), _deprecated(deprecated), _isType(isType),
      _createNode(createNode), _createProc(createProc), _desc(desc), _numDesc(desc ? numDesc : 0)
{
    ns.registerType(*this);
}

NodeType::~NodeType() { _nameSpace->unregisterType(*this); }

const char* NodeType::getPool() const { return _pool.get(); }
const char* NodeType::getParentName() const { return _parentName.get(); }
const char* NodeType::getContainerField() const { return _containerField.get(); }
const char* NodeType::getProfile() const { return _profile.get(); }
const char* NodeType::getComponent() const { return _component.get(); }
const char* NodeType::getComponentLevel() const { return _componentLevel.get(); }
const char* NodeType::getStatus() const { return _status.get(); }
const char* NodeType::getDescription() const { return _description.get(); }
const char* NodeType::getStandard() const { return _standard.get(); }

const NodePartDesc* NodeType::findDesc(unsigned int index) const
{
    if (_descByPosition < 0) {
        bool consecutive = true;
        for (unsigned int i = 1; i < _numDesc; ++i)
            consecutive = consecutive && _desc[i].getIndex() == _desc[0].getIndex() + i;
        _descByPosition = consecutive ? 1 : 0;
    }
    if (_descByPosition > 0 && _numDesc > 0) {
        const unsigned int position = index - _desc[0].getIndex();
        return index >= _desc[0].getIndex() && position < _numDesc ? &_desc[position] : nullptr;
    }
    for (unsigned int i = 0; i < _numDesc; ++i)
        if (_desc[i].getIndex() == index)
            return &_desc[i];
    return nullptr;
}

NodeType* NodeType::getParentType() const
{
    if (!_parentName.present)
        return nullptr;
    return _nameSpace->find(_parentName.get());
}

bool NodeType::isDerivedFrom(const char* typeName) const
{
    if (!typeName)
        return false;
    const NodeType* type = this;
    for (int depth = 0; type && depth < maxTypeDepth; ++depth) {
        if (type->_name == typeName)
            return true;
        type = type->getParentType();
    }
    return false;
}

bool NodeType::isType(Node* node)
{
    if (!node)
        return false;
    if (_isType)
        return _isType(node);
    return node->_type && node->_type->isDerivedFrom(getName());
}

Node* NodeType::createNode(BaseObject* context, const char* name, NodeCreator creator)
{
    // Touching the runtime first also makes sure OpenSG is initialised before any processor
    // creates OpenSG objects.
    Runtime& runtime = Runtime::instance();
    if (!_createNode) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "Type %s has no node factory (abstract type); no node created\n",
                        getName());
        return nullptr;
    }
    NodeNameSpace* nameSpace = dynamic_cast<NodeNameSpace*>(context);
    if (!nameSpace)
        nameSpace = &NodeNameSpace::defaultNameSpace();

    Node* node = _createNode(*this, *nameSpace, name);
    if (!node) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source, "Node factory of type %s created no node\n",
                        getName());
        return nullptr;
    }
    node->_context = context;
    node->_creator = creator;
    if (creator == CreatorProto)
        node->_isProto = true;

    if (_createProc) {
        NodeProc* proc = _createProc(*this, *node);
        if (proc) {
            node->setProc(proc);
            proc->setup();
            proc->initialize(runtime.getTime());
        } else {
            MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                            "Processor factory of type %s created no processor for %s\n", getName(),
                            node->getDisplayName().c_str());
        }
    }

    // Host choice: a new node's first nodeChanged carries the bits of all its registered
    // fields (status bit statusFirstUpdate set), so that its initial values reach OpenSG at
    // the next update even though nobody changed them.
    node->_status |= Node::statusFirstUpdate;
    runtime.queueChange(*node, node->getRegisteredMask());
    return node;
}

} // namespace Morvek
