#include <OpenSG/OSGThread.h>

#include <OpenSG/OSGChangeList.h>

OSG_BEGIN_NAMESPACE

ChangeList* Thread::getCurrentChangeList()
{
    thread_local ChangeList changeList;
    return &changeList;
}

OSG_END_NAMESPACE
