#include "xml/shared_ptr.h"

#include <gtest/gtest.h>

namespace {

// Records its own destruction in a counter the test owns.
struct Tracked {
  explicit Tracked(int* destroyed) : destroyed(destroyed) {}
  ~Tracked() { ++*destroyed; }
  int* destroyed;
};

struct Base {
  virtual ~Base() = default;
};

struct Derived : Base {
  explicit Derived(int* destroyed) : destroyed(destroyed) {}
  ~Derived() override { ++*destroyed; }
  int* destroyed;
};

TEST(SharedPtrTest, CopiesShareOneCountAndTheLastReleaseDestroys) {
  int destroyed = 0;
  {
    SharedPtr<Tracked> first(new Tracked(&destroyed));
    EXPECT_EQ(first.useCount(), 1);
    {
      SharedPtr<Tracked> second(first);
      SharedPtr<Tracked> third = second;
      EXPECT_EQ(first.useCount(), 3);
      EXPECT_EQ(third.get(), first.get());
    }
    EXPECT_EQ(first.useCount(), 1);
    EXPECT_EQ(destroyed, 0);
  }
  EXPECT_EQ(destroyed, 1);
}

TEST(SharedPtrTest, AssignmentReleasesTheOldObjectAndSharesTheNewOne) {
  int destroyedA = 0;
  int destroyedB = 0;
  SharedPtr<Tracked> a(new Tracked(&destroyedA));
  SharedPtr<Tracked> b(new Tracked(&destroyedB));
  SharedPtr<Tracked> alsoB = b;

  a = b;
  EXPECT_EQ(destroyedA, 1);
  EXPECT_EQ(destroyedB, 0);
  EXPECT_EQ(b.useCount(), 3);
  EXPECT_TRUE(a == b);

  // Assigning handles that already share a count changes nothing.
  a = alsoB;
  a = a;
  EXPECT_EQ(b.useCount(), 3);
  EXPECT_EQ(destroyedB, 0);
}

// Stepping a handle along a chain (`node = node->next`) releases the node
// that owns the source handle; the assignment must not read the source after
// that (the sanitizer build catches it).
TEST(SharedPtrTest, AssignmentFromAHandleOwnedByTheReleasedObject) {
  struct Link {
    explicit Link(int* destroyed) : destroyed(destroyed) {}
    ~Link() { ++*destroyed; }
    int* destroyed;
    SharedPtr<Link> next;
  };
  int destroyed = 0;
  SharedPtr<Link> node(new Link(&destroyed));
  node->next = SharedPtr<Link>(new Link(&destroyed));
  Link* second = node->next.get();

  node = node->next;
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(node.get(), second);
  EXPECT_EQ(node.useCount(), 1);
}

TEST(SharedPtrTest, NullHandlesOwnACountAndCanBeCopiedAndAssigned) {
  SharedPtr<Tracked> empty;
  EXPECT_TRUE(empty.isNull());
  EXPECT_EQ(empty.useCount(), 1);

  SharedPtr<Tracked> copy = empty;
  EXPECT_EQ(empty.useCount(), 2);
  SharedPtr<Tracked> other(nullptr);
  EXPECT_EQ(other.useCount(), 1);
  EXPECT_TRUE(other == empty);  // both point at nothing

  other = copy;
  EXPECT_EQ(empty.useCount(), 3);

  int destroyed = 0;
  SharedPtr<Tracked> live(new Tracked(&destroyed));
  live = empty;
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(live.isNull());
}

TEST(SharedPtrTest, ComparesByObjectPointerOnly) {
  int destroyed = 0;
  SharedPtr<Tracked> a(new Tracked(&destroyed));
  SharedPtr<Tracked> b(new Tracked(&destroyed));
  SharedPtr<Tracked> a2 = a;
  EXPECT_TRUE(a == a2);
  EXPECT_FALSE(a != a2);
  EXPECT_TRUE(a != b);
}

TEST(SharedPtrTest, DestroysThroughTheVirtualDestructor) {
  int destroyed = 0;
  {
    SharedPtr<Base> handle(new Derived(&destroyed));
    SharedPtr<Base> copy = handle;
  }
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
