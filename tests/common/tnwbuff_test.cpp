#include "CTnwbuff.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> texts(CTnwbuff& list)
{
    std::vector<std::string> out;
    list.Rewind();
    while (list.Next() == kTnwBuffOk) out.emplace_back(list.Text(), list.TextLength());
    return out;
}

struct Counted : TnwOwned {
    explicit Counted(int* deaths) : m_deaths(deaths) {}
    ~Counted() override { ++*m_deaths; }
    int* m_deaths;
};

}  // namespace

TEST(TnwBuff, EmptyListRewindThenNextIsAtEnd)
{
    CTnwbuff list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Rewind(), kTnwBuffOk);
    EXPECT_EQ(list.Next(), kTnwBuffAtEnd);
    EXPECT_EQ(list.Text(), nullptr);
    EXPECT_EQ(list.Seek(0), kTnwBuffAtEnd);
}

TEST(TnwBuff, BlocksComeBackInInsertionOrderAndSeekFindsThem)
{
    CTnwbuff list;
    ASSERT_EQ(list.AddString("one"), kTnwBuffOk);
    ASSERT_EQ(list.AddString(""), kTnwBuffOk);
    ASSERT_EQ(list.AddText("three!", 5), kTnwBuffOk);
    EXPECT_STREQ(list.Text(), "three");  // the block just added is current
    EXPECT_EQ(list.Size(), 5);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(texts(list), (std::vector<std::string>{"one", "", "three"}));
    EXPECT_EQ(list.Next(), kTnwBuffAtEnd);  // stays at the end

    ASSERT_EQ(list.Seek(1), kTnwBuffOk);
    EXPECT_EQ(list.Size(), 1);
    EXPECT_EQ(list.TextLength(), 0);
    ASSERT_EQ(list.Next(), kTnwBuffOk);  // the cursor continues from the sought block
    EXPECT_STREQ(list.Text(), "three");
    EXPECT_EQ(list.Seek(3), kTnwBuffAtEnd);
    EXPECT_EQ(list.Seek(-1), kTnwBuffAtEnd);
}

TEST(TnwBuff, AddZeroFillsWithoutSourceAndAlwaysTerminates)
{
    CTnwbuff list;
    const char bytes[3] = {'a', 'b', 'c'};  // no terminating zero in the source
    ASSERT_EQ(list.Add(3, bytes), kTnwBuffOk);
    EXPECT_STREQ(list.Data(), "abc");
    ASSERT_EQ(list.Add(8, nullptr), kTnwBuffOk);
    EXPECT_EQ(std::memcmp(list.Data(), "\0\0\0\0\0\0\0\0", 9), 0);
    // A length counts bytes, not characters: NUL bytes inside are kept, the text ends there.
    ASSERT_EQ(list.AddText("x\0y", 3), kTnwBuffOk);
    EXPECT_EQ(list.Size(), 3);
    EXPECT_EQ(list.TextLength(), 1);
    EXPECT_EQ(list.Data()[2], 'y');
}

TEST(TnwBuff, SizesOutsideTheRangeAreRefused)
{
    CTnwbuff list;
    EXPECT_EQ(list.Add(0, "x"), kTnwBuffBadSize);
    EXPECT_EQ(list.Add(-1, "x"), kTnwBuffBadSize);
    EXPECT_EQ(list.Add(kTnwBuffMaxBlock + 1, nullptr), kTnwBuffBadSize);
    EXPECT_EQ(list.Add(1LL << 32, nullptr), kTnwBuffBadSize);
    ASSERT_EQ(list.AddString("keep"), kTnwBuffOk);
    EXPECT_EQ(list.AddText("x", 0), kTnwBuffBadSize);
    EXPECT_EQ(list.Text(), nullptr);  // a failed AddText clears the current text
    EXPECT_EQ(list.Count(), 1);
}

TEST(TnwBuff, BlocksNeverMoveWhileTheListGrows)
{
    CTnwbuff list;
    ASSERT_EQ(list.AddString("first"), kTnwBuffOk);
    const char* first = list.Data();
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(list.AddString("more"), kTnwBuffOk);
    ASSERT_EQ(list.Seek(0), kTnwBuffOk);
    EXPECT_EQ(list.Data(), first);
    EXPECT_STREQ(first, "first");
}

TEST(TnwBuff, FreedListAnswersErrorsUntilInitialised)
{
    CTnwbuff list;
    ASSERT_EQ(list.AddString("a"), kTnwBuffOk);
    ASSERT_EQ(list.FreeAll(), kTnwBuffOk);
    EXPECT_EQ(list.Count(), kTnwBuffBadTag);
    EXPECT_EQ(list.AddString("b"), kTnwBuffBadTag);
    EXPECT_EQ(list.Rewind(), kTnwBuffBadTag);
    EXPECT_EQ(list.Next(), kTnwBuffBadTag);
    EXPECT_EQ(list.FreeAll(), kTnwBuffBadTag);
    ASSERT_EQ(list.Init(), kTnwBuffOk);
    EXPECT_EQ(list.Count(), 0);

    EXPECT_EQ(tnwBlValidate(nullptr), kTnwBuffNotInit);
    EXPECT_EQ(tnwBlInit(nullptr), kTnwBuffNotInit);
    TnwBlockList raw{};
    std::memcpy(raw.tag, "BUFC", 4);  // tagged but without its anchor
    EXPECT_EQ(tnwBlCount(&raw), kTnwBuffNotInit);
}

TEST(TnwBuff, RecordCopiedByteForByteIsRefused)
{
    TnwBlockList list;
    ASSERT_EQ(tnwBlInit(&list), kTnwBuffOk);
    ASSERT_EQ(tnwBlAdd(&list, 2, "a"), kTnwBuffOk);
    TnwBlockList copy;
    std::memcpy(&copy, &list, sizeof list);  // its ring still runs through the original
    EXPECT_EQ(tnwBlAdd(&copy, 2, "b"), kTnwBuffNotInit);
    EXPECT_EQ(tnwBlFreeAll(&list), kTnwBuffOk);
}

TEST(TnwBuff, CopyToUsesOwnOrGivenSizesWithoutReadingPastBlocks)
{
    CTnwbuff from, to;
    ASSERT_EQ(from.AddString("ab"), kTnwBuffOk);
    ASSERT_EQ(from.AddString("longer text"), kTnwBuffOk);
    ASSERT_EQ(to.AddString("old"), kTnwBuffOk);

    ASSERT_EQ(from.CopyTo(&to, 0), kTnwBuffOk);
    EXPECT_EQ(texts(to), (std::vector<std::string>{"ab", "longer text"}));
    ASSERT_EQ(to.Seek(1), kTnwBuffOk);
    EXPECT_EQ(to.Size(), 12);

    // A fixed size larger than a block: the block is copied whole and zero-filled.
    ASSERT_EQ(from.CopyTo(&to, 260), kTnwBuffOk);
    ASSERT_EQ(to.Seek(0), kTnwBuffOk);
    EXPECT_EQ(to.Size(), 260);
    EXPECT_STREQ(to.Text(), "ab");
    EXPECT_EQ(to.Data()[259], '\0');
    // A smaller one cuts the blocks (and still terminates them).
    ASSERT_EQ(from.CopyTo(&to, 4), kTnwBuffOk);
    EXPECT_EQ(texts(to), (std::vector<std::string>{"ab", "long"}));
    EXPECT_EQ(from.CopyTo(&from, 0), kTnwBuffOk);
    EXPECT_EQ(from.Count(), 2);
}

TEST(TnwBuff, ObjectListDeletesItsObjectsOnDestroyResetAndDestruction)
{
    int deaths = 0;
    {
        CTnwbuff list;
        ASSERT_EQ(list.AddObject(new Counted(&deaths)), kTnwBuffOk);
        ASSERT_EQ(list.AddObject(new Counted(&deaths)), kTnwBuffOk);
        EXPECT_EQ(list.Kind(), kTnwBuffObjects);
        ASSERT_EQ(list.Seek(1), kTnwBuffOk);
        EXPECT_NE(list.Object(), nullptr);
        ASSERT_EQ(list.Reset(), kTnwBuffOk);
        EXPECT_EQ(deaths, 2);
        EXPECT_EQ(list.Kind(), kTnwBuffBytes);  // a reset list holds bytes until objects come
        ASSERT_EQ(list.AddObject(new Counted(&deaths)), kTnwBuffOk);
        EXPECT_EQ(list.Kind(), kTnwBuffObjects);
    }
    EXPECT_EQ(deaths, 3);  // the destructor destroys

    CTnwbuff list;
    ASSERT_EQ(list.AddObject(new Counted(&deaths)), kTnwBuffOk);
    ASSERT_EQ(list.Destroy(), kTnwBuffOk);
    EXPECT_EQ(deaths, 4);
    EXPECT_EQ(list.Count(), kTnwBuffBadTag);  // destroyed like a freed list
}

TEST(TnwBuff, ObjectsAndBytesDoNotMix)
{
    int deaths = 0;
    CTnwbuff bytes;
    ASSERT_EQ(bytes.AddString("text"), kTnwBuffOk);
    Counted object(&deaths);
    EXPECT_EQ(bytes.AddObject(&object), kTnwBuffBadTag);
    EXPECT_EQ(bytes.SetKind(kTnwBuffObjects), kTnwBuffBadTag);

    // A copy of an object list holds the pointers but does not own them.
    CTnwbuff objects, copy;
    ASSERT_EQ(objects.AddObject(new Counted(&deaths)), kTnwBuffOk);
    ASSERT_EQ(objects.CopyTo(&copy, 0), kTnwBuffOk);
    EXPECT_EQ(copy.Kind(), kTnwBuffBytes);
    ASSERT_EQ(copy.Destroy(), kTnwBuffOk);
    EXPECT_EQ(deaths, 0);
    ASSERT_EQ(objects.Destroy(), kTnwBuffOk);
    EXPECT_EQ(deaths, 1);
}
