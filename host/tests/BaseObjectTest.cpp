// Reference counting, RefPtr, attachments and bit vectors.

#include <morvekBase/AttachmentBag.h>
#include <morvekBase/BitVector.h>
#include <morvekBase/RefPtr.h>
#include <morvekBase/TypeCast.h>

#include <osgTestSupport/LogCapture.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

using namespace Morvek;

namespace {

// Records its shutdown and destruction in a shared trace.
class Traced : public AttachmentBag {
public:
    Traced(std::vector<std::string>& trace, std::string name)
        : _trace(trace), _name(std::move(name))
    {
    }
    ~Traced() override { _trace.push_back(_name + " deleted"); }
    void shutdown() override
    {
        _trace.push_back(_name + " shutdown (count " + std::to_string(getRefCount()) + ")");
    }

private:
    std::vector<std::string>& _trace;
    std::string _name;
};

TEST(RefCountObject, LastSubRefShutsDownThenDeletes)
{
    std::vector<std::string> trace;
    auto* object = new Traced(trace, "a");
    EXPECT_EQ(object->getRefCount(), 0);
    object->addRef();
    object->addRef();
    object->subRef();
    EXPECT_TRUE(trace.empty());
    object->subRef();
    EXPECT_THAT(trace, ::testing::ElementsAre("a shutdown (count 0)", "a deleted"));
}

TEST(RefCountObject, SubRefWithoutReferenceIsLoggedAndIgnored)
{
    std::vector<std::string> trace;
    Traced object(trace, "stack");
    osgTestSupport::LogCapture capture;
    object.subRef();
    EXPECT_TRUE(trace.empty());
    EXPECT_THAT(capture.text(), ::testing::HasSubstr("subRef on an object that holds no reference"));
}

TEST(RefPtr, HoldsOneReferenceThroughCopiesMovesAndResets)
{
    std::vector<std::string> trace;
    auto* object = new Traced(trace, "p");
    {
        RefPtr<Traced> a(object);
        EXPECT_EQ(object->getRefCount(), 1);
        RefPtr<Traced> b = a;
        EXPECT_EQ(object->getRefCount(), 2);
        RefPtr<Traced> c = std::move(b);
        EXPECT_EQ(object->getRefCount(), 2);
        EXPECT_FALSE(b);
        a.reset();
        EXPECT_EQ(object->getRefCount(), 1);
        EXPECT_TRUE(trace.empty());
    }
    EXPECT_THAT(trace, ::testing::ElementsAre("p shutdown (count 0)", "p deleted"));
}

TEST(AttachmentBag, HoldsAttachmentsUntilReplacedRemovedOrDestroyed)
{
    std::vector<std::string> trace;
    auto* first = new Traced(trace, "first");
    auto* second = new Traced(trace, "second");
    {
        RefPtr<Traced> bag(new Traced(trace, "bag"));
        bag->setAttachment("key", first);
        EXPECT_EQ(bag->findAttachment("key"), first);
        EXPECT_EQ(first->getRefCount(), 1);

        bag->setAttachment("key", second); // replaces: releases first
        EXPECT_EQ(bag->findAttachment("key"), second);
        EXPECT_THAT(trace, ::testing::ElementsAre("first shutdown (count 0)", "first deleted"));

        {
            Traced copy(*bag); // the copy holds its own reference and shares the trace name
            EXPECT_EQ(second->getRefCount(), 2);
        }
        EXPECT_EQ(trace.back(), "bag deleted");
        trace.pop_back();
        EXPECT_EQ(second->getRefCount(), 1);
        bag->setAttachment("other", nullptr); // removing an absent key changes nothing
        EXPECT_EQ(bag->getAttachmentCount(), 1u);
    }
    EXPECT_THAT(trace, ::testing::ElementsAre("first shutdown (count 0)", "first deleted",
                                              "bag shutdown (count 0)", "bag deleted",
                                              "second shutdown (count 0)", "second deleted"));
}

TEST(BitVector, OperationsAndConstantInitialisation)
{
    using Mask = BitVector<unsigned long long>;
    static constexpr Mask colour = Mask::bit(4);
    static constexpr Mask direction = Mask::bit(10);
    static_assert(colour.value() == 0x10, "bit 4");
    static_assert(Mask::bit(64).value() == 0, "outside the word");
    static_assert(Mask::all().value() == ~0ull, "all bits");

    struct Row {
        const char* name;
        Mask got;
        unsigned long long expected;
    };
    Mask accumulated;
    accumulated |= colour;
    accumulated |= direction;
    Mask cleared = accumulated;
    cleared &= ~colour;
    const Row rows[] = {
        {"or", colour | direction, 0x410},
        {"and", accumulated & direction, 0x400},
        {"and disjoint", colour & direction, 0},
        {"not", ~colour, ~0x10ull},
        {"xor", accumulated ^ colour, 0x400},
        {"or-assign", accumulated, 0x410},
        {"and-assign with complement", cleared, 0x400},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.got.value(), row.expected) << row.name;
    EXPECT_TRUE(accumulated.test(10));
    EXPECT_FALSE(accumulated.test(5));
    EXPECT_FALSE((colour & direction).any());
    EXPECT_NE(colour, direction);
}

} // namespace

namespace {

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
struct CastBoth : CastBase, CastOther {
};

} // namespace

TEST(TypeCast, AgreesWithDynamicCastAcrossMoreTypesThanItRemembers)
{
    std::vector<std::unique_ptr<CastBase>> objects;
    objects.emplace_back(new CastLeaf<0>);
    objects.emplace_back(new CastLeaf<1>);
    objects.emplace_back(new CastLeaf<2>);
    objects.emplace_back(new CastLeaf<3>);
    objects.emplace_back(new CastLeaf<4>);
    objects.emplace_back(new CastLeaf<5>);
    objects.emplace_back(new CastLeaf<6>);
    objects.emplace_back(new CastLeaf<7>);
    objects.emplace_back(new CastLeaf<8>);
    objects.emplace_back(new CastLeaf<9>);
    objects.emplace_back(new CastMiddle);
    objects.emplace_back(new CastBoth);
    objects.emplace_back(new CastBase);
    // Three rounds: the first fills the memory, the later ones read it back or refill it;
    // in between, code is said to have been unloaded once.
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
