#include <OpenSG/OSGMField.h>
#include <OpenSG/OSGSmallObjectPool.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

OSG_USING_NAMESPACE

namespace {

TEST(SmallObjectPoolTest, AFreedBlockServesTheNextRequestOfItsSizeClassOnly)
{
    if (!SmallObjectPool::isPooling())
        GTEST_SKIP() << "this build hands blocks straight to new and delete";
    // 17 and 32 bytes share the 32-byte class; 40 bytes is the next one.
    void* a = SmallObjectPool::allocate(17);
    std::memset(a, 0xAB, 32); // the whole class size is usable
    SmallObjectPool::deallocate(a, 17);
    void* other = SmallObjectPool::allocate(40);
    EXPECT_NE(other, a);
    void* b = SmallObjectPool::allocate(32);
    EXPECT_EQ(b, a);
    SmallObjectPool::deallocate(b, 32);
    SmallObjectPool::deallocate(other, 40);
}

TEST(SmallObjectPoolTest, EachThreadKeepsItsOwnBlocks)
{
    if (!SmallObjectPool::isPooling())
        GTEST_SKIP() << "this build hands blocks straight to new and delete";
    void* mine = SmallObjectPool::allocate(48);
    SmallObjectPool::deallocate(mine, 48);
    void* theirs = nullptr;
    std::thread other([&] {
        theirs = SmallObjectPool::allocate(48);
        // Freed there and kept there until the thread ends and gives it back.
        SmallObjectPool::deallocate(theirs, 48);
    });
    other.join();
    EXPECT_NE(theirs, mine);
    void* again = SmallObjectPool::allocate(48);
    EXPECT_EQ(again, mine);
    SmallObjectPool::deallocate(again, 48);
}

TEST(SmallObjectPoolTest, FieldValuesSurviveGrowingPastThePooledSizes)
{
    // A list starts in pool blocks and moves to global storage once it outgrows them; copies
    // and swaps keep every value whichever kind of block holds it.
    MField<UInt32> field;
    for (UInt32 i = 0; i < 1000; ++i)
        field.push_back(i * 7u);
    MField<UInt32> small;
    small.push_back(42u);
    field.getValues().swap(small.getValues());
    ASSERT_EQ(small.size(), 1000u);
    ASSERT_EQ(field.size(), 1u);
    EXPECT_EQ(field[0], 42u);
    MField<UInt32> copy;
    copy.setValues(small.getValues());
    for (UInt32 i = 0; i < 1000; ++i)
        ASSERT_EQ(copy[i], i * 7u) << i;
    copy.setValues(std::vector<UInt32>{1u, 2u, 3u});
    EXPECT_EQ(copy.size(), 3u);
    EXPECT_EQ(copy[2], 3u);
}

} // namespace
