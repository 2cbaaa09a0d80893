// The skinned-form list's bookkeeping: registration order, removal of every
// entry of a form, and which forms a redraw lock must give back.
#include <gtest/gtest.h>

#include <vector>

#include "sFormList.h"

namespace {
struct Form {
    int Id;
};
using List = TsFormList<Form>;
std::vector<Form*> All(const List& L) { return L.Snapshot(); }
}  // namespace

TEST(FormList, RegistrationOrderAndRemoval) {
    Form a{1}, b{2}, c{3}, d{4};
    List l;
    l.Register(&a);
    l.Register(&b);
    l.Register(nullptr);  // nothing to list
    l.Register(&c);
    l.Register(&d);
    EXPECT_EQ(All(l), (std::vector<Form*>{&a, &b, &c, &d}));
    EXPECT_EQ(l[0], &a);
    EXPECT_EQ(l[3], &d);
    EXPECT_EQ(l[4], nullptr);
    EXPECT_EQ(l[-1], nullptr);

    // An unlisted form changes nothing.
    Form stranger{9};
    l.Unregister(&stranger);
    EXPECT_EQ(All(l), (std::vector<Form*>{&a, &b, &c, &d}));

    // Removal from the middle keeps the others in their order.
    l.Unregister(&b);
    EXPECT_EQ(All(l), (std::vector<Form*>{&a, &c, &d}));
    EXPECT_FALSE(l.Contains(&b));
    l.Unregister(&d);  // the last
    l.Unregister(&a);  // the first
    EXPECT_EQ(All(l), (std::vector<Form*>{&c}));
    // The only form: the list is empty, not a list of one empty slot.
    l.Unregister(&c);
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l[0], nullptr);
}

TEST(FormList, TwiceRegisteredFormLeavesNoStaleEntry) {
    Form a{1}, b{2};
    List l;
    l.Register(&a);
    l.Register(&a);
    EXPECT_EQ(l.Count(), 2);  // listed twice: no check for duplicates
    l.Unregister(&a);
    EXPECT_EQ(l.Count(), 0);
    EXPECT_FALSE(l.Contains(&a));

    // Duplicates around another form: all of them go, the other stays.
    l.Register(&a);
    l.Register(&b);
    l.Register(&a);
    l.Register(&a);
    l.Unregister(&a);
    EXPECT_EQ(All(l), (std::vector<Form*>{&b}));
}

TEST(FormList, LocksPairWithOneUnlockPerOwner) {
    Form a{1}, b{2}, c{3};
    int m1 = 0, m2 = 0;  // two managers
    List l;
    l.Register(&a);
    l.Register(&b);
    l.Register(&c);
    l.NoteLocked(&a, &m1);
    l.NoteLocked(&b, &m2);
    l.NoteLocked(&c, &m1);
    l.NoteLocked(&a, &m1);  // locked again before the unlock: noted once
    l.NoteLocked(nullptr, &m1);
    EXPECT_EQ(l.LockedCount(), 3);
    EXPECT_TRUE(l.IsLocked(&a));

    // One unlock gives back exactly the forms of its own owner, once.
    EXPECT_EQ(l.TakeLocked(&m1), (std::vector<Form*>{&a, &c}));
    EXPECT_FALSE(l.IsLocked(&a));
    EXPECT_TRUE(l.IsLocked(&b));
    EXPECT_TRUE(l.TakeLocked(&m1).empty());
    EXPECT_EQ(l.TakeLocked(&m2), (std::vector<Form*>{&b}));
    EXPECT_EQ(l.LockedCount(), 0);
}

TEST(FormList, UnregisteredFormIsForgottenByTheLock) {
    Form a{1}, b{2};
    int m = 0;
    List l;
    l.Register(&a);
    l.Register(&b);
    l.NoteLocked(&a, &m);
    l.NoteLocked(&b, &m);
    // A form that leaves the list while locked is not handed back to an unlock
    // (it may be gone by then).
    l.Unregister(&a);
    EXPECT_FALSE(l.IsLocked(&a));
    EXPECT_EQ(l.TakeLocked(&m), (std::vector<Form*>{&b}));

    l.NoteLocked(&b, &m);
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.LockedCount(), 0);
}
