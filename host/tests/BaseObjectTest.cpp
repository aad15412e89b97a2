// Reference counting, RefPtr, attachments and remembered casts.

#include <morvekBase/AttachmentBag.h>
#include <morvekBase/RefPtr.h>
#include <morvekBase/TypeCast.h>

#include <osgTestSupport/LogCapture.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

using namespace Morvek;
using ::testing::ElementsAre;

namespace {

// Records its shutdown and destruction in a shared trace.
class Traced : public AttachmentBag {
public:
    Traced(std::vector<std::string>& trace, std::string name) : _trace(trace), _name(name) {}
    ~Traced() override { _trace.push_back(_name + " deleted"); }
    void shutdown() override
    {
        _trace.push_back(_name + " shutdown (count " + std::to_string(getRefCount()) + ")");
    }

private:
    std::vector<std::string>& _trace;
    std::string _name;
};

TEST(RefCountObject, LastSubRefShutsDownThenDeletesAndASurplusOneIsIgnored)
{
    std::vector<std::string> trace;
    auto* object = new Traced(trace, "a");
    EXPECT_EQ(object->getRefCount(), 0);
    object->addRef();
    object->addRef();
    object->subRef();
    EXPECT_TRUE(trace.empty());
    object->subRef();
    EXPECT_THAT(trace, ElementsAre("a shutdown (count 0)", "a deleted"));

    Traced onStack(trace, "stack");
    osgTestSupport::LogCapture capture;
    onStack.subRef();
    EXPECT_EQ(trace.size(), 2u);
    EXPECT_THAT(capture.text(),
                ::testing::HasSubstr("subRef on an object that holds no reference"));
}

TEST(RefPtr, HoldsOneReferenceThroughCopiesMovesAndResets)
{
    std::vector<std::string> trace;
    auto* object = new Traced(trace, "p");
    {
        RefPtr<Traced> a(object);
        RefPtr<Traced> b = a;
        EXPECT_EQ(object->getRefCount(), 2);
        RefPtr<Traced> c = std::move(b);
        EXPECT_EQ(object->getRefCount(), 2);
        EXPECT_FALSE(b);
        a.reset();
        EXPECT_EQ(object->getRefCount(), 1);
        EXPECT_TRUE(trace.empty());
    }
    EXPECT_THAT(trace, ElementsAre("p shutdown (count 0)", "p deleted"));
}

TEST(AttachmentBag, HoldsAttachmentsUntilReplacedRemovedOrDestroyed)
{
    std::vector<std::string> trace;
    auto* first = new Traced(trace, "first");
    auto* second = new Traced(trace, "second");
    {
        RefPtr<Traced> bag(new Traced(trace, "bag"));
        bag->setAttachment("key", first);
        EXPECT_EQ(first->getRefCount(), 1);
        bag->setAttachment("key", second); // releases first
        EXPECT_EQ(bag->findAttachment("key"), second);
        EXPECT_EQ(trace.size(), 2u);
        {
            Traced copy(*bag); // holds references of its own
            EXPECT_EQ(second->getRefCount(), 2);
        }
        trace.pop_back(); // the copy's "bag deleted"
        EXPECT_EQ(second->getRefCount(), 1);
        bag->setAttachment("other", nullptr); // removing an absent key changes nothing
        EXPECT_EQ(bag->getAttachmentCount(), 1u);
    }
    EXPECT_THAT(trace,
                ElementsAre("first shutdown (count 0)", "first deleted", "bag shutdown (count 0)",
                            "bag deleted", "second shutdown (count 0)", "second deleted"));
}

struct CastBase {
    virtual ~CastBase() = default;
};
struct CastMiddle : CastBase {
    int middle = 0;
};
template <int N> struct CastLeaf : std::conditional_t<N % 2 == 0, CastMiddle, CastBase> {
    int leaf = N;
};
// A class whose second base sits at an offset: cross casts must move the pointer.
struct CastOther {
    virtual ~CastOther() = default;
    double other = 0.0;
};
struct CastBoth : CastBase, CastOther {};

template <int... N>
std::vector<std::unique_ptr<CastBase>> castObjects(std::integer_sequence<int, N...>)
{
    std::vector<std::unique_ptr<CastBase>> objects;
    (objects.emplace_back(new CastLeaf<N>), ...);
    objects.emplace_back(new CastMiddle);
    objects.emplace_back(new CastBoth);
    objects.emplace_back(new CastBase);
    return objects;
}

TEST(TypeCast, AgreesWithDynamicCastAcrossMoreTypesThanItRemembers)
{
    const auto objects = castObjects(std::make_integer_sequence<int, 10>());
    // The first round fills the memory, the second reads it back; before the third, code is
    // said to have been unloaded.
    for (int round = 0; round < 3; ++round) {
        if (round == 2)
            ++typeCastGeneration;
        for (const auto& object : objects) {
            CastBase* p = object.get();
            EXPECT_EQ(typeCast<CastMiddle>(p), dynamic_cast<CastMiddle*>(p)) << round;
            EXPECT_EQ(typeCast<CastOther>(p), dynamic_cast<CastOther*>(p)) << round;
        }
    }
    CastBoth both;
    CastBase* asBase = &both;
    ASSERT_NE(static_cast<void*>(static_cast<CastOther*>(&both)), static_cast<void*>(asBase));
    EXPECT_EQ(typeCast<CastOther>(asBase), static_cast<CastOther*>(&both));
    EXPECT_EQ(typeCast<CastMiddle>(static_cast<CastBase*>(nullptr)), nullptr);
}

} // namespace
