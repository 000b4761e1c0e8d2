#include "UkyClasses.h"

#include "UkyMath.h"

std::int32_t TkyInterfacedObject::QueryInterface(const TGUID& AIID, void** Obj) {
    if (Obj == nullptr) {
        return INTF_E_NOINTERFACE;
    }
    if (!GetInterface(AIID, Obj)) {
        *Obj = nullptr;
        return INTF_E_NOINTERFACE;
    }
    AddRef();
    return INTF_S_OK;
}

std::int32_t TkyInterfacedObject::AddRef() {
    return ++FRefCount;
}

std::int32_t TkyInterfacedObject::Release() {
    return --FRefCount;
}

bool TkyInterfacedObject::GetInterface(const TGUID& AIID, void** Obj) {
    if (AIID == IInterface::INTERFACE_ID) {
        *Obj = static_cast<IInterface*>(this);
        return true;
    }
    return false;
}

bool TkyCollection::IsValidIndex(std::int32_t Index) const {
    return IsBetween(Index, LowIndex(), HighIndex());
}
