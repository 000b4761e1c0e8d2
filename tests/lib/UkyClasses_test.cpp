#include "UkyClasses.h"

#include <gtest/gtest.h>

namespace {

class IGreeter : public virtual IInterface {
public:
    static constexpr TGUID InterfaceID{
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
        if (AIID == IGreeter::InterfaceID) {
            *Obj = static_cast<IGreeter*>(this);
            return true;
        }
        return TkyInterfacedObject::GetInterface(AIID, Obj);
    }
};

constexpr TGUID UnknownID{0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};

TEST(TkyInterfacedObject, CountingNeverFreesTheObject) {
    TGreeter Object;
    EXPECT_EQ(Object.RefCount(), 0);
    {
        TkyIntfRef<IGreeter> Greeter(&Object);
        TkyIntfRef<ICounter> Counter(&Object);
        TkyIntfRef<IGreeter> Copy = Greeter;
        EXPECT_EQ(Counter->Counted(), 3);
    }
    EXPECT_EQ(Object.RefCount(), 0);
    EXPECT_EQ(Object.Release(), -1);
    EXPECT_EQ(Object.AddRef(), 0);
    EXPECT_EQ(Object.Greet(), 42);
}

TEST(TkyInterfacedObject, QueryInterfaceAnswersTheInterfacesOfTheClass) {
    TGreeter Object;
    IInterface& Root = static_cast<IGreeter&>(Object);

    void* Found = nullptr;
    ASSERT_EQ(Root.QueryInterface(IGreeter::InterfaceID, &Found), INTF_S_OK);
    EXPECT_EQ(static_cast<IGreeter*>(Found)->Greet(), 42);
    EXPECT_EQ(Object.RefCount(), 1);

    ASSERT_EQ(Root.QueryInterface(IInterface::InterfaceID, &Found), INTF_S_OK);
    EXPECT_EQ(Found, static_cast<IInterface*>(&Object));
    EXPECT_EQ(Object.RefCount(), 2);

    EXPECT_EQ(Root.QueryInterface(UnknownID, &Found), static_cast<std::int32_t>(0x80004002u));
    EXPECT_EQ(Found, nullptr);
    EXPECT_EQ(Root.QueryInterface(IGreeter::InterfaceID, nullptr), INTF_E_NOINTERFACE);
    EXPECT_EQ(Object.RefCount(), 2);
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
    TThree Three;
    EXPECT_EQ(Three.LowIndex(), 0);
    EXPECT_EQ(Three.HighIndex(), 2);
    EXPECT_TRUE(Three.IsValidIndex(0));
    EXPECT_TRUE(Three.IsValidIndex(2));
    EXPECT_FALSE(Three.IsValidIndex(3));
    EXPECT_FALSE(Three.IsValidIndex(-1));

    TNone None;
    EXPECT_EQ(None.HighIndex(), -1);
    EXPECT_FALSE(None.IsValidIndex(0));
    EXPECT_FALSE(None.IsValidIndex(-1));
}

} // namespace
