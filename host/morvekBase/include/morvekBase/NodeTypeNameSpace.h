#pragma once

#include <morvekBase/BaseObject.h>
#include <morvekBase/NodeType.h>

#include <string>
#include <vector>

namespace Morvek {

// How a type name is compared.
enum SearchCaseType : int {
    SearchCaseSensitive = 0,   // exact spelling
    SearchCaseInsensitive = 1, // ASCII letters compared without case
};

// A registry of type records by name. Records register and unregister themselves (NodeType's
// constructor and destructor); the name space never owns them.
class NodeTypeNameSpace : public BaseObject {
public:
    explicit NodeTypeNameSpace(const char* name);
    ~NodeTypeNameSpace() override;
    NodeTypeNameSpace(const NodeTypeNameSpace&) = delete;
    NodeTypeNameSpace& operator=(const NodeTypeNameSpace&) = delete;

    const char* getName() const { return _name.c_str(); }

    // The record registered under `name` in `ns`, or null (also for a null name).
    static NodeType* findType(NodeTypeNameSpace& ns, const char* name, SearchCaseType searchCase);
    NodeType* find(const char* name, SearchCaseType searchCase = SearchCaseSensitive) const;

    // Registers `type` under its name. A record already registered under that name is
    // replaced (warning logged) and false is returned; true for a new name.
    bool registerType(NodeType& type);
    // Removes `type`, but only when it is the record registered under its name.
    bool unregisterType(NodeType& type);
    // Registered records in the order of their registration.
    std::vector<NodeType*> getTypes() const { return _types; }
    size_t size() const { return _types.size(); }

    // Convenience: find `typeName` and create a node of it (NodeType::createNode); null with a
    // log line for an unknown type name.
    Node* createNode(const char* typeName, BaseObject* context, const char* name,
                     NodeCreator creator = CreatorProgram);

private:
    std::string _name;
    std::vector<NodeType*> _types;
};

} // namespace Morvek
