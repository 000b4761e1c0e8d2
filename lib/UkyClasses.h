#pragma once

#include <atomic>
#include <cstdint>

// Root of the library's classes: an object is created and freed by its owner, through a pointer to
// any of its bases, and is never copied.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// Interface identifier.
struct TGUID {
    std::uint32_t D1;
    std::uint16_t D2;
    std::uint16_t D3;
    std::uint8_t D4[8];

    friend bool operator==(const TGUID&, const TGUID&) = default;
};

// Answers of QueryInterface.
constexpr std::int32_t INTF_S_OK = 0;
constexpr std::int32_t INTF_E_NOINTERFACE = static_cast<std::int32_t>(0x80004002u);

// The root interface: query, add a reference, release. Interfaces derive from it virtually, so
// that an object implementing several of them has one count and one QueryInterface.
class IInterface {
public:
    static constexpr TGUID INTERFACE_ID{
        0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

    virtual std::int32_t QueryInterface(const TGUID& AIID, void** Obj) = 0;
    virtual std::int32_t AddRef() = 0;
    virtual std::int32_t Release() = 0;

protected:
    ~IInterface() = default;
};

// A counted interface reference: holds one reference for as long as it points at an interface.
template <class I> class TkyIntfRef {
public:
    TkyIntfRef() = default;
    TkyIntfRef(I* Intf) : FIntf(Intf) { Acquire(); }
    TkyIntfRef(const TkyIntfRef& Other) : FIntf(Other.FIntf) { Acquire(); }
    TkyIntfRef(TkyIntfRef&& Other) noexcept : FIntf(Other.FIntf) { Other.FIntf = nullptr; }
    ~TkyIntfRef() { Drop(); }

    TkyIntfRef& operator=(TkyIntfRef Other) noexcept {
        I* old = FIntf;
        FIntf = Other.FIntf;
        Other.FIntf = old;
        return *this;
    }

    I* Get() const { return FIntf; }
    I* operator->() const { return FIntf; }
    explicit operator bool() const { return FIntf != nullptr; }

private:
    void Acquire() {
        if (FIntf != nullptr) {
            FIntf->AddRef();
        }
    }
    void Drop() {
        if (FIntf != nullptr) {
            FIntf->Release();
        }
    }

    I* FIntf = nullptr;
};

// Reference-counted base that lets objects be handed out as interfaces. The count only counts:
// the object is freed by its owner, never by Release, also when the count reaches 0.
class TkyInterfacedObject : public TObject, public virtual IInterface {
public:
    std::int32_t QueryInterface(const TGUID& AIID, void** Obj) override;
    std::int32_t AddRef() override;
    std::int32_t Release() override;

    std::int32_t RefCount() const { return FRefCount.load(); }

protected:
    // Stores this object as the interface AIID in Obj and answers true when the class implements
    // it. A class that implements more interfaces overrides this and calls the inherited one for
    // the others.
    virtual bool GetInterface(const TGUID& AIID, void** Obj);

private:
    std::atomic<std::int32_t> FRefCount{0};
};

// An indexed collection: indices run from LowIndex 0 to HighIndex = Count - 1 (-1 when empty).
class TkyCollection : public TObject {
public:
    virtual std::int32_t Count() const = 0;

    std::int32_t LowIndex() const { return 0; }
    std::int32_t HighIndex() const { return Count() - 1; }
    bool IsValidIndex(std::int32_t Index) const;
};
