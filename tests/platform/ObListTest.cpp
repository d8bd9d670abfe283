// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "platform/ObList.h"

namespace {

struct Item : CObject {
    explicit Item(int v) : value(v) {}
    int value;
};

std::vector<int> Forward(const CObList& list) {
    std::vector<int> out;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        out.push_back(static_cast<Item*>(list.GetNext(pos))->value);
    }
    return out;
}

std::vector<int> Backward(const CObList& list) {
    std::vector<int> out;
    for (POSITION pos = list.GetTailPosition(); pos != nullptr;) {
        out.push_back(static_cast<Item*>(list.GetPrev(pos))->value);
    }
    return out;
}

TEST(ObListTest, InsertBeforeAndAfterKeepBothDirectionsLinked) {
    Item a(1), b(2), c(3), d(4), e(5);
    CObList list(2);
    list.AddTail(&b);
    list.InsertBefore(list.Find(&b), &a);  // becomes the head
    list.AddTail(&d);
    list.InsertBefore(list.Find(&d), &c);
    list.InsertAfter(list.Find(&d), &e);  // becomes the tail
    EXPECT_EQ(Forward(list), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Backward(list), (std::vector<int>{5, 4, 3, 2, 1}));
    EXPECT_EQ(list.GetCount(), 5u);
    EXPECT_EQ(list.GetHead(), &a);
    EXPECT_EQ(list.GetTail(), &e);
}

TEST(ObListTest, RemoveAtHeadMiddleAndTail) {
    Item a(1), b(2), c(3), d(4);
    CObList list(3);
    for (Item* item : {&a, &b, &c, &d}) list.AddTail(item);
    list.RemoveAt(list.Find(&a));
    list.RemoveAt(list.Find(&c));
    list.RemoveAt(list.Find(&d));
    EXPECT_EQ(Forward(list), (std::vector<int>{2}));
    EXPECT_EQ(Backward(list), (std::vector<int>{2}));
    list.RemoveAt(list.Find(&b));
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    EXPECT_EQ(list.GetTailPosition(), nullptr);
    // The emptied list is usable again.
    list.AddTail(&c);
    EXPECT_EQ(Forward(list), (std::vector<int>{3}));
}

TEST(ObListTest, FindSearchesByPointerFromAGivenNode) {
    Item a(1), b(2);
    CObList list;
    list.AddTail(&a);
    list.AddTail(&b);
    list.AddTail(&a);
    const POSITION first = list.Find(&a);
    ASSERT_NE(first, nullptr);
    const POSITION second = list.Find(&a, first);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(list.Find(&a, second), nullptr);
    Item absent(9);
    EXPECT_EQ(list.Find(&absent), nullptr);
}

TEST(ObListTest, ManyNodesAcrossBlocksAndReuseAfterRemoval) {
    std::vector<Item> items;
    for (int i = 0; i < 95; ++i) items.emplace_back(i);
    CObList list(10);
    for (auto& item : items) list.AddTail(&item);
    for (int i = 0; i < 95; i += 2) list.RemoveAt(list.Find(&items[i]));
    for (int i = 0; i < 95; i += 2) list.AddHead(&items[i]);
    EXPECT_EQ(list.GetCount(), 95u);
    std::vector<int> values = Forward(list);
    EXPECT_EQ(values.front(), 94);
    EXPECT_EQ(values.back(), 93);
}

}  // namespace
