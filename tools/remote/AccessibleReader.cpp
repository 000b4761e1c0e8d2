#include "AccessibleReader.h"

#include <oleacc.h>

#include <memory>
#include <stdexcept>

namespace {

struct TComReleaser {
    void operator()(IUnknown* Object) const noexcept { Object->Release(); }
};
template <class Interface> using TComPtr = std::unique_ptr<Interface, TComReleaser>;

class TComApartment {
public:
    TComApartment() : FInitialized(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    TComApartment(const TComApartment&) = delete;
    TComApartment& operator=(const TComApartment&) = delete;
    ~TComApartment() {
        if (FInitialized) {
            CoUninitialize();
        }
    }

private:
    bool FInitialized;
};

std::wstring TakeString(HRESULT Result, BSTR Text) {
    std::wstring taken = SUCCEEDED(Result) && Text != nullptr ? std::wstring(Text) : L"";
    SysFreeString(Text);
    return taken;
}

TAccessibleNode ReadNode(IAccessible& Object, long Child, int Depth) {
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = Child;
    TAccessibleNode node;
    BSTR text = nullptr;
    HRESULT result = Object.get_accName(id, &text);
    node.Name = TakeString(result, text);
    text = nullptr;
    result = Object.get_accValue(id, &text);
    node.Value = TakeString(result, text);
    text = nullptr;
    result = Object.get_accDescription(id, &text);
    node.Description = TakeString(result, text);
    VARIANT answer{};
    if (SUCCEEDED(Object.get_accRole(id, &answer)) && answer.vt == VT_I4) {
        node.Role = answer.lVal;
    }
    VariantClear(&answer);
    if (SUCCEEDED(Object.get_accState(id, &answer)) && answer.vt == VT_I4) {
        node.State = answer.lVal;
    }
    VariantClear(&answer);
    if (Child != CHILDID_SELF || Depth <= 0) {
        return node;
    }
    long count = 0;
    if (FAILED(Object.get_accChildCount(&count)) || count <= 0) {
        return node;
    }
    std::vector<VARIANT> children(static_cast<size_t>(count));
    long obtained = 0;
    if (FAILED(AccessibleChildren(&Object, 0, count, children.data(), &obtained))) {
        return node;
    }
    for (long i = 0; i < obtained; ++i) {
        VARIANT& each = children[static_cast<size_t>(i)];
        if (each.vt == VT_I4) {
            node.Children.push_back(ReadNode(Object, each.lVal, 0));
        } else if (each.vt == VT_DISPATCH && each.pdispVal != nullptr) {
            IAccessible* childObject = nullptr;
            if (SUCCEEDED(each.pdispVal->QueryInterface(IID_IAccessible,
                                                        reinterpret_cast<void**>(&childObject)))) {
                const TComPtr<IAccessible> owned(childObject);
                node.Children.push_back(ReadNode(*childObject, CHILDID_SELF, Depth - 1));
            }
        }
        VariantClear(&each);
    }
    return node;
}

} // namespace

TAccessibleNode ReadAccessible(HWND Window, int Depth) {
    const TComApartment apartment;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(Window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr) {
        throw std::runtime_error("the window has no accessible object");
    }
    const TComPtr<IAccessible> owned(object);
    return ReadNode(*object, CHILDID_SELF, Depth);
}
