#include <morvekBase/NodeTypeNameSpace.h>

#include <morvekBase/HostLog.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace Morvek {

namespace {
const char* const source = "morvekBase/NodeTypeNameSpace";

bool sameName(const char* a, const char* b, SearchCaseType searchCase)
{
    if (searchCase != SearchCaseInsensitive)
        return std::strcmp(a, b) == 0;
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}
} // namespace

NodeTypeNameSpace::NodeTypeNameSpace(const char* name) : _name(name ? name : "") {}

NodeTypeNameSpace::~NodeTypeNameSpace() = default;

NodeType* NodeTypeNameSpace::findType(NodeTypeNameSpace& ns, const char* name,
                                      SearchCaseType searchCase)
{
    return ns.find(name, searchCase);
}

NodeType* NodeTypeNameSpace::find(const char* name, SearchCaseType searchCase) const
{
    if (!name)
        return nullptr;
    // Exact matches first, so that a case-insensitive search still prefers the exact spelling.
    for (NodeType* type : _types)
        if (sameName(type->getName(), name, SearchCaseSensitive))
            return type;
    if (searchCase == SearchCaseInsensitive)
        for (NodeType* type : _types)
            if (sameName(type->getName(), name, SearchCaseInsensitive))
                return type;
    return nullptr;
}

bool NodeTypeNameSpace::registerType(NodeType& type)
{
    auto old = std::find_if(_types.begin(), _types.end(), [&](NodeType* t) {
        return sameName(t->getName(), type.getName(), SearchCaseSensitive);
    });
    if (old != _types.end()) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "Type %s (pool %s) replaces the type of that name from pool %s in %s\n",
                        type.getName(), type.getPool() ? type.getPool() : "-",
                        (*old)->getPool() ? (*old)->getPool() : "-", getName());
        _types.erase(old);
        _types.push_back(&type);
        return false;
    }
    _types.push_back(&type);
    return true;
}

bool NodeTypeNameSpace::unregisterType(NodeType& type)
{
    auto it = std::find(_types.begin(), _types.end(), &type);
    if (it == _types.end())
        return false;
    _types.erase(it);
    return true;
}

Node* NodeTypeNameSpace::createNode(const char* typeName, BaseObject* context, const char* name,
                                    NodeCreator creator)
{
    NodeType* type = find(typeName);
    if (!type) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source, "Unknown node type %s in %s; no node created\n",
                        typeName ? typeName : "(null)", getName());
        return nullptr;
    }
    return type->createNode(context, name, creator);
}

} // namespace Morvek
