#include "OsgTest.h"

#include <OpenSG/OSGChangeList.h>
#include <OpenSG/OSGFieldContainerType.h>
#include <OpenSG/OSGNode.h>
#include <OpenSG/OSGThread.h>
#include <OpenSG/OSGTransform.h>

#include <osgTestSupport/ScopedEditJournal.h>

#include <thread>

OSG_USING_NAMESPACE
using Morvek::osgTestSupport::EditJournal;
using Morvek::osgTestSupport::EditRecord;
using Morvek::osgTestSupport::ScopedEditJournal;

namespace {
// Each test leaves the thread's list as it found it: read-only and empty.
class ChangeListTest : public OsgTest {
protected:
    void TearDown() override
    {
        Thread::getCurrentChangeList()->setReadOnly(true);
        Thread::getCurrentChangeList()->clearAll();
        OsgTest::TearDown();
    }
};

// A destroyed container's storage goes back to the pool and may come back as another
// container at the same address; its entries must still name what was edited.
TEST_F(ChangeListTest, EntriesKeepTheIdAndTypeOfContainersSinceDestroyed)
{
    ChangeList& list = *Thread::getCurrentChangeList();
    list.setReadOnly(false);
    TransformPtr transform = TransformBase::create();
    addRefCP(transform);
    const UInt32 transformId = getContainerId(transform);
    endEditCP(transform, TransformBase::MatrixFieldMask);
    subRefCP(transform);
    NodePtr node = Node::create();
    addRefCP(node);
    endEditCP(node, Node::ChildrenFieldMask);

    ASSERT_EQ(list.sizeChanged(), 2u);
    const ChangeList::ChangeEntry& first = *list.beginChanged();
    const ChangeList::ChangeEntry& second = *(list.beginChanged() + 1);
    EXPECT_EQ(first.first, transformId);
    EXPECT_EQ(first.second, TransformBase::MatrixFieldMask);
    EXPECT_EQ(first.type->getName(), "Transform");
    EXPECT_EQ(second.first, getContainerId(node));
    EXPECT_EQ(second.type->getName(), "Node");
    list.clearAll();
    EXPECT_TRUE(list.empty());
    subRefCP(node);
}

// endEditCP and changedCP record; endEditNotChangedCP, null containers and the layer's own
// bookkeeping (a core's parents list) do not.
TEST_F(ChangeListTest, OnlyCommittedEditsAreRecorded)
{
    EditJournal::setEnabled(true);
    {
        ScopedEditJournal recording;
        TransformPtr t = TransformBase::create();
        NodePtr n = Node::create();
        addRefCP(n);
        n->setCore(t);
        beginEditCP(t, TransformBase::MatrixFieldMask);
        endEditCP(t, TransformBase::MatrixFieldMask);
        changedCP(n, Node::CoreFieldMask);
        endEditNotChangedCP(n);
        endEditCP(NullFC);
        endEditCP(n);

        const std::vector<EditRecord> records = EditJournal::records();
        ASSERT_EQ(records.size(), 3u);
        EXPECT_EQ(records[0].containerId, getContainerId(t));
        EXPECT_EQ(records[0].typeName, "Transform");
        EXPECT_EQ(records[1].containerId, getContainerId(n));
        EXPECT_EQ(records[1].mask, Node::CoreFieldMask);
        EXPECT_EQ(records[2].mask, FieldBits::AllFields);
        subRefCP(n);
    }
    EXPECT_TRUE(EditJournal::isEnabled()) << "the scope restores the state it found";
    EXPECT_TRUE(EditJournal::records().empty());
}

TEST_F(ChangeListTest, EachThreadRecordsIntoItsOwnListOnlyWhileItIsReadWrite)
{
    ChangeList* mine = Thread::getCurrentChangeList();
    ASSERT_TRUE(mine->isReadOnly()) << "a list starts read-only";
    ASSERT_FALSE(ChangeList::anyReadWrite());
    TransformPtr transform = TransformBase::create();
    addRefCP(transform);
    endEditCP(transform, TransformBase::MatrixFieldMask);
    EXPECT_TRUE(mine->empty()) << "a read-only list records nothing";

    mine->setReadOnly(false);
    EXPECT_TRUE(ChangeList::anyReadWrite());
    ChangeList* theirs = nullptr;
    bool startedReadOnly = false;
    size_t whileReadOnly = 99, whileReadWrite = 99;
    std::thread worker([&] {
        theirs = Thread::getCurrentChangeList();
        startedReadOnly = theirs->isReadOnly();
        endEditCP(transform, TransformBase::MatrixFieldMask);
        whileReadOnly = theirs->sizeChanged();
        theirs->setReadOnly(false);
        endEditCP(transform, TransformBase::MatrixFieldMask);
        whileReadWrite = theirs->sizeChanged();
        // The thread ends with its list still read-write.
    });
    worker.join();
    EXPECT_NE(theirs, mine);
    EXPECT_TRUE(startedReadOnly) << "another thread's read-write list makes no other so";
    EXPECT_EQ(whileReadOnly, 0u);
    EXPECT_EQ(whileReadWrite, 1u);
    EXPECT_TRUE(mine->empty()) << "another thread's edits stay out of this thread's list";

    mine->setReadOnly(true);
    EXPECT_FALSE(ChangeList::anyReadWrite())
        << "the ended thread's list still counts as read-write";
    subRefCP(transform);
}
} // namespace
