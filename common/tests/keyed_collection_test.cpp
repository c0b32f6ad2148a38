#include "kelvarn/common/keyed_collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvarn::common {
namespace {

struct Rec {
    std::string name;
    int value = 0;
};

template <typename C>
std::vector<std::string> Names(const C& c) {
    std::vector<std::string> out;
    for (const Rec& r : c) {
        out.push_back(r.name);
    }
    return out;
}

TEST(KeyedCollection, KeepsInsertionOrderAndFindsByKeyOrPosition) {
    KeyedCollection<Rec> c;
    c.Add("b").name = "b";
    c.Add().name = "unkeyed";
    c.Add("a").name = "a";
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(Names(c), (std::vector<std::string>{"b", "unkeyed", "a"}));
    EXPECT_EQ(c.Item("a").name, "a");
    EXPECT_EQ(c(2).name, "unkeyed");
    EXPECT_EQ(c.PositionOf("a"), 3);
    EXPECT_EQ(c.KeyAt(2), "");
}

TEST(KeyedCollection, FailedLookupsThrowAndChangeNothing) {
    KeyedCollection<Rec> c;
    c.Add("J1").value = 1;
    EXPECT_THROW(c.Item("J2"), KeyNotFound);
    EXPECT_THROW(c.Item("j1"), KeyNotFound);  // exact keys
    EXPECT_THROW(c.Item(""), KeyNotFound);
    EXPECT_THROW(c.Item(0), KeyNotFound);
    EXPECT_THROW(c.Item(2), KeyNotFound);
    EXPECT_THROW(c.Remove("J2"), KeyNotFound);
    EXPECT_THROW(c.Remove(-1), KeyNotFound);
    EXPECT_THROW(c.Add("J1"), DuplicateKey);
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(c.Item("J1").value, 1);
}

TEST(KeyedCollection, RemoveKeepsTheOthersInOrderAndFreesTheKey) {
    KeyedCollection<Rec> c;
    for (std::string k : {"a", "b", "c", "d"}) {
        c.Add(k).name = k;
    }
    Rec& d = c.Item("d");
    c.Remove("b");
    c.Remove(1);
    EXPECT_EQ(Names(c), (std::vector<std::string>{"c", "d"}));
    EXPECT_EQ(&c.Item("d"), &d);  // members do not move
    EXPECT_EQ(c.PositionOf("d"), 2);
    EXPECT_THROW(c.Item("a"), KeyNotFound);
    c.Add("b").name = "b2";
    EXPECT_EQ(c.Item(3).name, "b2");
}

TEST(KeyedCollection, CaseInsensitiveKeys) {
    KeyedCollection<Rec, CaseInsensitiveKeyLess> c;
    c.Add("DO1").value = 1;
    EXPECT_EQ(c.Item("do1").value, 1);
    EXPECT_TRUE(c.Contains("Do1"));
    EXPECT_THROW(c.Add("dO1"), DuplicateKey);
    EXPECT_EQ(c.Count(), 1);
    c.Remove("do1");
    EXPECT_EQ(c.Count(), 0);
}

TEST(KeyedCollection, CopiesAreIndependent) {
    KeyedCollection<Rec> a;
    a.Add("x").value = 1;
    a.Add().value = 2;
    KeyedCollection<Rec> b = a;
    b.Item("x").value = 10;
    b.Remove(2);
    EXPECT_EQ(a.Item("x").value, 1);
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(b.Count(), 1);
    EXPECT_EQ(b.KeyAt(1), "x");
}

}  // namespace
}  // namespace kelvarn::common
