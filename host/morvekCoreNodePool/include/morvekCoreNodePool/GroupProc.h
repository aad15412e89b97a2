#pragma once

#include <morvekCoreNodePool/SceneBaseNodeProc.h>

namespace Morvek {

// Processor of Group: its OpenSG node carries an osg::Group core.
class GroupProc : public SceneBaseNodeProc {
public:
    GroupProc(NodeType& type, Node& node);
    GroupProc(const GroupProc& other);
    GroupProc& operator=(const GroupProc& other);
    ~GroupProc() override;
};

} // namespace Morvek
