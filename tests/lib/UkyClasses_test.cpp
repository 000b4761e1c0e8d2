#include "UkyClasses.h"

#include <gtest/gtest.h>

namespace {

class IGreeter : public virtual IInterface {
public:
    static constexpr TGUID INTERFACE_ID{
        0x6B1E2F10, 0x1A2B, 0x4C3D, {0x8E, 0x9F, 0x10, 0x21, 0x32, 0x43, 0x54, 0x65}};
    virtual int Greet() = 0;
};

class ICounter : public virtual IInterface {
public:
    virtual int Counted() = 0;
};

// An object handed out as two interfaces; only IGreeter can be queried.
class TGreeter : public TkyInterfacedObject, public IGreeter, public ICounter {
public:
    int Greet() override { return 42; }
    int Counted() override { return RefCount(); }

protected:
    bool GetInterface(const TGUID& AIID, void** Obj) override {
        if (AIID == IGreeter::INTERFACE_ID) {
            *Obj = static_cast<IGreeter*>(this);
            return true;
        }
        return TkyInterfacedObject::GetInterface(AIID, Obj);
    }
};

constexpr TGUID UNKNOWN_ID{0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};

TEST(TkyInterfacedObject, CountingNeverFreesTheObject) {
    TGreeter object;
    EXPECT_EQ(object.RefCount(), 0);
    {
        TkyIntfRef<IGreeter> greeter(&object);
        TkyIntfRef<ICounter> counter(&object);
        TkyIntfRef<IGreeter> copy = greeter;
        EXPECT_EQ(counter->Counted(), 3);
    }
    EXPECT_EQ(object.RefCount(), 0);
    EXPECT_EQ(object.Release(), -1);
    EXPECT_EQ(object.AddRef(), 0);
    EXPECT_EQ(object.Greet(), 42);
}

TEST(TkyInterfacedObject, QueryInterfaceAnswersTheInterfacesOfTheClass) {
    TGreeter object;
    IInterface& root = static_cast<IGreeter&>(object);

    void* found = nullptr;
    ASSERT_EQ(root.QueryInterface(IGreeter::INTERFACE_ID, &found), INTF_S_OK);
    EXPECT_EQ(static_cast<IGreeter*>(found)->Greet(), 42);
    EXPECT_EQ(object.RefCount(), 1);

    ASSERT_EQ(root.QueryInterface(IInterface::INTERFACE_ID, &found), INTF_S_OK);
    EXPECT_EQ(found, static_cast<IInterface*>(&object));
    EXPECT_EQ(object.RefCount(), 2);

    EXPECT_EQ(root.QueryInterface(UNKNOWN_ID, &found), static_cast<std::int32_t>(0x80004002u));
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(root.QueryInterface(IGreeter::INTERFACE_ID, nullptr), INTF_E_NOINTERFACE);
    EXPECT_EQ(object.RefCount(), 2);
}

class TThree : public TkyCollection {
public:
    std::int32_t Count() const override { return 3; }
};

class TNone : public TkyCollection {
public:
    std::int32_t Count() const override { return 0; }
};

TEST(TkyCollection, IndicesRunFromZeroToCountLessOne) {
    TThree three;
    EXPECT_EQ(three.LowIndex(), 0);
    EXPECT_EQ(three.HighIndex(), 2);
    EXPECT_TRUE(three.IsValidIndex(0));
    EXPECT_TRUE(three.IsValidIndex(2));
    EXPECT_FALSE(three.IsValidIndex(3));
    EXPECT_FALSE(three.IsValidIndex(-1));

    TNone none;
    EXPECT_EQ(none.HighIndex(), -1);
    EXPECT_FALSE(none.IsValidIndex(0));
    EXPECT_FALSE(none.IsValidIndex(-1));
}

} // namespace
