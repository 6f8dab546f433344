#include "ItemIdList.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo
{
namespace
{

    std::string Bytes(std::initializer_list<int> values)
    {
        std::string bytes;
        for (int value : values)
            bytes.push_back(static_cast<char>(value));
        return bytes;
    }

    TItemIdList Folder(std::string_view name) { return TItemIdList::Record(ItemKind::ikFolder, name); }

    TItemIdList ComputerRootUsr()
    {
        return TItemIdList::Record(ItemKind::ikComputer)
            .Combined(TItemIdList::Record(ItemKind::ikVolume, "/"))
            .Combined(Folder("usr"));
    }

    TEST(ItemIdListRecords, EachKindIsWrittenByteForByte)
    {
        struct Row {
            ItemKind kind;
            std::string payload;
            std::string bytes;
        };
        const Row rows[] = {
            { ItemKind::ikHome, "", Bytes({ 3, 0, 0x01, 0, 0 }) },
            { ItemKind::ikComputer, "", Bytes({ 3, 0, 0x02, 0, 0 }) },
            { ItemKind::ikVolume, "C:\\", Bytes({ 6, 0, 0x10, 'C', ':', '\\', 0, 0 }) },
            { ItemKind::ikFolder, "usr", Bytes({ 6, 0, 0x20, 'u', 's', 'r', 0, 0 }) },
            { ItemKind::ikNonFolder, "a", Bytes({ 4, 0, 0x21, 'a', 0, 0 }) },
        };
        for (const Row& row : rows) {
            const TItemIdList list = TItemIdList::Record(row.kind, row.payload);
            EXPECT_EQ(list.Bytes(), row.bytes) << static_cast<int>(row.kind);
            EXPECT_EQ(list.Last().payload, row.payload);
        }
        EXPECT_EQ(PIDLToString(ComputerRootUsr()), "#3#0#2#4#0#16#47#6#0#32#117#115#114#0#0");
        EXPECT_THROW((void)TItemIdList::Record(ItemKind::ikHome, "x"), std::invalid_argument);
        EXPECT_THROW((void)Folder(""), std::invalid_argument);
        EXPECT_THROW((void)Folder(std::string(70000, 'a')), std::length_error);
    }

    TEST(ItemIdListRecords, StructuralOperations)
    {
        const TItemIdList usr = ComputerRootUsr();
        EXPECT_EQ(usr.Count(), 3u);
        EXPECT_EQ(usr.WithoutLast(),
            TItemIdList::Record(ItemKind::ikComputer).Combined(TItemIdList::Record(ItemKind::ikVolume, "/")));
        EXPECT_EQ(usr.First(), TItemIdList::Record(ItemKind::ikComputer));
        EXPECT_EQ(usr.LastAsList(), Folder("usr"));
        EXPECT_EQ(usr.WithoutLast().WithoutLast().WithoutLast(), TItemIdList());
        EXPECT_TRUE(TItemIdList().WithoutLast().IsEmpty());
        EXPECT_EQ(TItemIdList().Combined(usr), usr);
    }

    TEST(ItemIdListRecords, IsParentHoldsForItselfAndEveryAncestorOnly)
    {
        const TItemIdList a = Folder("a");
        const TItemIdList grandchild = a.Combined(Folder("b")).Combined(Folder("c"));
        EXPECT_TRUE(a.IsParentOf(a));
        EXPECT_TRUE(a.IsParentOf(grandchild));
        EXPECT_TRUE(TItemIdList().IsParentOf(grandchild));
        EXPECT_FALSE(grandchild.IsParentOf(a));
        EXPECT_FALSE(a.IsParentOf(Folder("ab"))) << "a sibling whose name starts alike";
        EXPECT_FALSE(a.IsParentOf(Folder("ab").Combined(Folder("c"))));
        EXPECT_FALSE(Folder("b").IsParentOf(grandchild));
    }

    TEST(ItemIdListText, RoundTrips)
    {
        const TItemIdList twenty = Folder(std::string(17, 'x')); // 3 + 17 = a 20-byte record
        const std::string text = PIDLToString(twenty);
        EXPECT_EQ(std::count(text.begin(), text.end(), '#'), 22);
        EXPECT_EQ(StringToPIDL(text), twenty);

        EXPECT_EQ(PIDLToString(TItemIdList()), "");
        EXPECT_EQ(StringToPIDL(""), TItemIdList());

        std::string name;
        for (int i = 0; i < 255; ++i)
            name.push_back(static_cast<char>(0x80 + i % 0x7F)); // bytes that are no UTF-8
        const TItemIdList odd = ComputerRootUsr().Combined(Folder(name));
        EXPECT_EQ(StringToPIDL(PIDLToString(odd)), odd);
        EXPECT_EQ(odd.Last().payload, name);
    }

    TEST(ItemIdListText, ReadsLowBytesIgnoresLeadingTextAndRejectsNonNumbers)
    {
        EXPECT_EQ(StringToPIDL("#3#0#258#0#0"), TItemIdList::Record(ItemKind::ikComputer));
        EXPECT_EQ(StringToPIDL("kept:#3#0#2#0#0"), TItemIdList::Record(ItemKind::ikComputer));
        EXPECT_THROW((void)StringToPIDL("#1#x"), EConvertError);
        EXPECT_THROW((void)StringToPIDL("#3##0"), EConvertError);
    }

    TEST(ItemIdListText, MalformedBytesGiveNoList)
    {
        const char* const shapes[] = {
            "#0", // a terminator cut short
            "#2#0#0#0", // a record shorter than its header
            "#9#0#32#97#0#0", // a record running past the end
            "#4#0#32#97", // no terminator
            "#4#0#32#97#0#0#0", // bytes after the terminator
            "#4#0#99#97#0#0", // an unknown kind
            "#4#0#1#97#0#0", // Home with a payload
            "#3#0#32#0#0", // a folder without a name
            "abc", // no bytes at all
        };
        for (const char* shape : shapes)
            EXPECT_EQ(StringToPIDL(shape), std::nullopt) << shape;
    }

} // namespace
} // namespace tarvo
