#pragma once

#include <morvekBase/BitVector.h>
#include <morvekBase/NodePart.h>

#include <string>
#include <vector>

namespace Morvek {

class Node;
class NodeLink;
class NodePartDesc;

// Who announces a value change. The host dispatches every caller the same way; the value is
// kept for processors that want to know (Field::getLastCaller()).
enum CallerType : int {
    CallerHost = 0,  // the node, its processor or the host itself
    CallerUser = 1,  // an application or tool (setFromString)
    CallerRoute = 2, // an event route
};

// A field object: one value slot of a node, a member of the node it belongs to.
//
// A field is bound to its node at construction and, once the node calls Node::regField, to a
// descriptor row, which gives it its name, index, mask and initial value. Value changes are
// announced through processValueChange(), which calls the node's virtual fieldChanged().
class Field : public NodePart {
public:
    explicit Field(Node& owner);
    ~Field() override;
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    // The row's field name, or "" while the field is bound to no row.
    virtual const char* getName() const;
    // The bound descriptor row, or null.
    const NodePartDesc* getDesc() const { return _desc; }
    // The row's mask, or NodePart::_nullMask while unbound.
    FieldMask getMask() const;
    // The owning node (SFNode hides getNode() with its linked node; getOwner() is the same).
    Node& getNode() const { return *_owner; }
    Node& getOwner() const { return *_owner; }

    // Announces a new value: records the caller and calls the owning node's
    // fieldChanged(*this, time, nullptr).
    void processValueChange(const double& time, CallerType caller);
    CallerType getLastCaller() const { return _lastCaller; }

    // Parses `text` as X3D classic encoding for this field class and, when it parses (and lies
    // within the row's "[lo,hi]" range, if any), stores it and announces the change with the
    // host's current time and CallerUser. Otherwise logs one warning line naming the node, the
    // field, the text and the field class, and keeps the value. Returns whether it was stored.
    virtual bool setFromString(const char* text);
    // Parses and stores without announcing; false (value untouched, nothing logged) when the
    // text does not parse for this field class. Node fields (SFNode, MFNode) accept only "NULL"
    // and "[]" respectively, meaning empty.
    virtual bool storeFromString(const char* text) = 0;
    // Stores the default of `row` (whose default text is not null) like storeFromString
    // would. Classes of plain numbers take the values the row read once; the others parse
    // the text. A class that overrides storeFromString overrides this as well.
    virtual bool storeDefault(const NodePartDesc& row);
    // The value in X3D classic encoding (each float in its shortest form that reads back to
    // the same bits).
    virtual std::string getValueString() const = 0;
    virtual NodePartDataType getDataType() const = 0;
    // The field class name, "SFFloat" and so on.
    virtual const char* getClassName() const = 0;
    // The links to nodes held by this field (node fields only; others add nothing). Empty
    // links may be left out.
    virtual void collectLinks(std::vector<NodeLink*>& out);

    // "Type/name.field" for log lines (the node's identifier when it has no name).
    std::string getDisplayName() const;

private:
    friend class Node;
    friend class NodeProc; // binds its dynamic fields to their rows

    Node* _owner;
    const NodePartDesc* _desc = nullptr;
    CallerType _lastCaller = CallerHost;
};

} // namespace Morvek
