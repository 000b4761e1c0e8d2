#include "UkyAccessible.h"

#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>

#include <memory>
#include <optional>
#include <utility>

void PlaceLabelBefore(HWND Label, HWND Field) {
    const HWND before = GetWindow(Field, GW_HWNDPREV);
    if (before == Label) {
        return;
    }
    SetWindowPos(Label, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void SetAccessibleName(HWND Control, const std::wstring& Name) {
    SetWindowTextW(Control, Name.c_str());
}

namespace {

// The answer of one window, shared by the window and every object handed out for it; the window
// empties it when it is destroyed.
struct TAnswerHolder {
    TAccessibleAnswer Answer;
};

HRESULT GiveText(const std::wstring& Text, BSTR* Result) {
    if (Result == nullptr) {
        return E_POINTER;
    }
    *Result = SysAllocString(Text.c_str());
    return *Result != nullptr ? S_OK : E_OUTOFMEMORY;
}

VARIANT ChildVariant(long Child) {
    VARIANT variant{};
    variant.vt = VT_I4;
    variant.lVal = Child;
    return variant;
}

bool IsSelf(const VARIANT& Child) {
    return Child.vt == VT_I4 && Child.lVal == CHILDID_SELF;
}

// The standard object of a window's class with the parts of its answer put over it.
class TAccessibleObject final : public IAccessible {
public:
    TAccessibleObject(HWND Window, IAccessible* Standard, std::weak_ptr<TAnswerHolder> Holder)
        : FWindow(Window), FStandard(Standard), FHolder(std::move(Holder)) {}
    TAccessibleObject(const TAccessibleObject&) = delete;
    TAccessibleObject& operator=(const TAccessibleObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Interface, void** Object) override {
        if (Object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(Interface, IID_IUnknown) || IsEqualIID(Interface, IID_IDispatch) ||
            IsEqualIID(Interface, IID_IAccessible)) {
            *Object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *Object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FReferences; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --FReferences;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override {
        if (Count == nullptr) {
            return E_POINTER;
        }
        *Count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** Parent) override {
        return FStandard->get_accParent(Parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* Count) override {
        const TAccessibleAnswer* answer = Answer();
        if (answer == nullptr || !answer->Elements) {
            return FStandard->get_accChildCount(Count);
        }
        if (Count == nullptr) {
            return E_POINTER;
        }
        *Count = static_cast<long>(answer->Elements().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT Child, IDispatch** Object) override {
        std::vector<TAccessibleElement> elements;
        if (!OwnElements(elements)) {
            return FStandard->get_accChild(Child, Object);
        }
        if (Object == nullptr) {
            return E_POINTER;
        }
        *Object = nullptr;
        return Element(elements, Child) != nullptr ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT Child, BSTR* Name) override {
        const TAccessibleAnswer* answer = Answer();
        if (answer != nullptr && IsSelf(Child) && answer->Name) {
            return GiveText(answer->Name(), Name);
        }
        std::vector<TAccessibleElement> elements;
        if (!IsSelf(Child) && OwnElements(elements)) {
            const TAccessibleElement* element = Element(elements, Child);
            return element != nullptr ? GiveText(element->Name, Name) : E_INVALIDARG;
        }
        return FStandard->get_accName(Child, Name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT Child, BSTR* Value) override {
        const TAccessibleAnswer* answer = Answer();
        if (answer != nullptr && IsSelf(Child) && answer->Value) {
            return GiveText(answer->Value(), Value);
        }
        std::vector<TAccessibleElement> elements;
        if (!IsSelf(Child) && OwnElements(elements)) {
            const TAccessibleElement* element = Element(elements, Child);
            return element != nullptr ? GiveText(element->Value, Value) : E_INVALIDARG;
        }
        return FStandard->get_accValue(Child, Value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT Child, BSTR* Description) override {
        const TAccessibleAnswer* answer = Answer();
        if (answer != nullptr && IsSelf(Child) && answer->Description) {
            return GiveText(answer->Description(), Description);
        }
        std::vector<TAccessibleElement> elements;
        if (!IsSelf(Child) && OwnElements(elements)) {
            return Element(elements, Child) != nullptr ? GiveText(L"", Description) : E_INVALIDARG;
        }
        return FStandard->get_accDescription(Child, Description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT Child, VARIANT* Role) override {
        std::vector<TAccessibleElement> elements;
        if (IsSelf(Child) || !OwnElements(elements)) {
            return FStandard->get_accRole(Child, Role);
        }
        const TAccessibleElement* element = Element(elements, Child);
        if (element == nullptr || Role == nullptr) {
            return E_INVALIDARG;
        }
        *Role = ChildVariant(element->Role);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT Child, VARIANT* State) override {
        std::vector<TAccessibleElement> elements;
        if (IsSelf(Child) || !OwnElements(elements)) {
            return FStandard->get_accState(Child, State);
        }
        const TAccessibleElement* element = Element(elements, Child);
        if (element == nullptr || State == nullptr) {
            return E_INVALIDARG;
        }
        *State = ChildVariant(element->State);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT Child, BSTR* Help) override {
        return FStandard->get_accHelp(Child, Help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* File, VARIANT Child, long* Topic) override {
        return FStandard->get_accHelpTopic(File, Child, Topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT Child, BSTR* Shortcut) override {
        return FStandard->get_accKeyboardShortcut(Child, Shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* Focus) override {
        std::vector<TAccessibleElement> elements;
        if (!OwnElements(elements) || GetFocus() != FWindow || Focus == nullptr) {
            return FStandard->get_accFocus(Focus);
        }
        for (std::size_t i = 0; i < elements.size(); ++i) {
            if ((elements[i].State & STATE_SYSTEM_FOCUSED) != 0) {
                *Focus = ChildVariant(static_cast<long>(i + 1));
                return S_OK;
            }
        }
        *Focus = ChildVariant(CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* Selection) override {
        return FStandard->get_accSelection(Selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT Child, BSTR* Action) override {
        return FStandard->get_accDefaultAction(Child, Action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long Flags, VARIANT Child) override {
        return FStandard->accSelect(Flags, Child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* Left, long* Top, long* Width, long* Height,
                                          VARIANT Child) override {
        std::vector<TAccessibleElement> elements;
        if (IsSelf(Child) || !OwnElements(elements)) {
            return FStandard->accLocation(Left, Top, Width, Height, Child);
        }
        const TAccessibleElement* element = Element(elements, Child);
        if (element == nullptr || Left == nullptr || Top == nullptr || Width == nullptr ||
            Height == nullptr) {
            return E_INVALIDARG;
        }
        POINT origin{element->Bounds.left, element->Bounds.top};
        ClientToScreen(FWindow, &origin);
        *Left = origin.x;
        *Top = origin.y;
        *Width = element->Bounds.right - element->Bounds.left;
        *Height = element->Bounds.bottom - element->Bounds.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long Direction, VARIANT Start, VARIANT* End) override {
        std::vector<TAccessibleElement> elements;
        if (!OwnElements(elements) || End == nullptr) {
            return FStandard->accNavigate(Direction, Start, End);
        }
        const long count = static_cast<long>(elements.size());
        long target = 0;
        if (IsSelf(Start)) {
            if (Direction == NAVDIR_FIRSTCHILD) {
                target = 1;
            } else if (Direction == NAVDIR_LASTCHILD) {
                target = count;
            } else {
                return FStandard->accNavigate(Direction, Start, End);
            }
        } else if (Element(elements, Start) != nullptr) {
            if (Direction == NAVDIR_NEXT || Direction == NAVDIR_DOWN) {
                target = Start.lVal + 1;
            } else if (Direction == NAVDIR_PREVIOUS || Direction == NAVDIR_UP) {
                target = Start.lVal - 1;
            }
        } else {
            return E_INVALIDARG;
        }
        if (target < 1 || target > count) {
            End->vt = VT_EMPTY;
            return S_FALSE;
        }
        *End = ChildVariant(target);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long Left, long Top, VARIANT* Child) override {
        std::vector<TAccessibleElement> elements;
        if (OwnElements(elements) && Child != nullptr) {
            POINT point{Left, Top};
            ScreenToClient(FWindow, &point);
            for (std::size_t i = 0; i < elements.size(); ++i) {
                if (PtInRect(&elements[i].Bounds, point)) {
                    *Child = ChildVariant(static_cast<long>(i + 1));
                    return S_OK;
                }
            }
        }
        return FStandard->accHitTest(Left, Top, Child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT Child) override {
        return FStandard->accDoDefaultAction(Child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT Child, BSTR Name) override {
        return FStandard->put_accName(Child, Name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT Child, BSTR Value) override {
        return FStandard->put_accValue(Child, Value);
    }

private:
    ~TAccessibleObject() { FStandard->Release(); }

    // The window's answer, or null once the window is gone.
    const TAccessibleAnswer* Answer() const {
        const std::shared_ptr<TAnswerHolder> holder = FHolder.lock();
        return holder != nullptr ? &holder->Answer : nullptr;
    }
    // The answer's children into Elements; false when the standard object's are the children.
    bool OwnElements(std::vector<TAccessibleElement>& Elements) const {
        const TAccessibleAnswer* answer = Answer();
        if (answer == nullptr || !answer->Elements) {
            return false;
        }
        Elements = answer->Elements();
        return true;
    }
    static const TAccessibleElement* Element(const std::vector<TAccessibleElement>& Elements,
                                             const VARIANT& Child) {
        if (Child.vt != VT_I4 || Child.lVal < 1 ||
            static_cast<std::size_t>(Child.lVal) > Elements.size()) {
            return nullptr;
        }
        return &Elements[static_cast<std::size_t>(Child.lVal - 1)];
    }

    ULONG FReferences = 1;
    HWND FWindow;
    IAccessible* FStandard;
    std::weak_ptr<TAnswerHolder> FHolder;
};

constexpr UINT_PTR ANSWER_SUBCLASS = 0x41636300;

// What the window keeps: its answer, and the COM apartment that a reader in another process needs,
// taken when the first one asks (COM would otherwise be loaded at every start).
struct TSubclassData {
    std::shared_ptr<TAnswerHolder> Holder;
    std::unique_ptr<TkyComApartment> Apartment;
};

// The standard object of Window's class, changed by the answer Data holds, for WM_GETOBJECT's
// client object; none for any other message, or where the system gives no standard object.
std::optional<LRESULT> AnswerMessage(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam,
                                     TSubclassData& Data) {
    if (AMessage != WM_GETOBJECT ||
        static_cast<DWORD>(LParam) != static_cast<DWORD>(OBJID_CLIENT)) {
        return std::nullopt;
    }
    if (Data.Apartment == nullptr) {
        Data.Apartment = std::make_unique<TkyComApartment>();
    }
    IAccessible* standard = nullptr;
    if (SUCCEEDED(CreateStdAccessibleObject(Window, OBJID_CLIENT, IID_IAccessible,
                                            reinterpret_cast<void**>(&standard))) &&
        standard != nullptr) {
        auto* object = new TAccessibleObject(Window, standard, Data.Holder);
        const LRESULT result = LresultFromObject(IID_IAccessible, WParam, object);
        object->Release();
        if (result > 0) {
            return result;
        }
    }
    return std::nullopt;
}

LRESULT CALLBACK AnswerProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam, UINT_PTR,
                            DWORD_PTR Data) {
    auto* data = reinterpret_cast<TSubclassData*>(Data);
    if (const std::optional<LRESULT> answer =
            AnswerMessage(Window, AMessage, WParam, LParam, *data)) {
        return *answer;
    }
    if (AMessage == WM_NCDESTROY) {
        RemoveWindowSubclass(Window, &AnswerProc, ANSWER_SUBCLASS);
        const std::unique_ptr<TSubclassData> owned(data);
    }
    return DefSubclassProc(Window, AMessage, WParam, LParam);
}

// Handler before Control's own OnMessage, in the object itself: a subclass of the window would
// cost Wine a request to its server for the subclass's data at every message, which makes filling
// a list view several times slower.
void HandleBefore(TkyWinControl& Control,
                  std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> Handler) {
    Control.OnMessage = [previous = std::move(Control.OnMessage), handler = std::move(Handler),
                         window = Control.Handle()](UINT AMessage, WPARAM WParam, LPARAM LParam,
                                                    bool& Handled) -> LRESULT {
        if (const std::optional<LRESULT> result = handler(window, AMessage, WParam, LParam)) {
            Handled = true;
            return *result;
        }
        return previous ? previous(AMessage, WParam, LParam, Handled) : 0;
    };
}

std::wstring ItemText(HWND ListView, int Row, int Column) {
    std::wstring text(1024, L'\0');
    LVITEMW item{};
    item.iSubItem = Column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const auto length = SendMessageW(ListView, LVM_GETITEMTEXTW, static_cast<WPARAM>(Row),
                                     reinterpret_cast<LPARAM>(&item));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::vector<std::wstring> Captions(HWND ListView) {
    std::vector<std::wstring> captions;
    const HWND header = reinterpret_cast<HWND>(SendMessageW(ListView, LVM_GETHEADER, 0, 0));
    const auto count = header != nullptr ? SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    for (int i = 0; i < count; ++i) {
        std::wstring caption(128, L'\0');
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = caption.data();
        column.cchTextMax = static_cast<int>(caption.size());
        SendMessageW(ListView, LVM_GETCOLUMNW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&column));
        caption.resize(caption.find(L'\0'));
        captions.push_back(caption);
    }
    return captions;
}

std::vector<TAccessibleElement> ListViewRows(HWND ListView) {
    const std::vector<std::wstring> captions = Captions(ListView);
    const int count = static_cast<int>(SendMessageW(ListView, LVM_GETITEMCOUNT, 0, 0));
    const bool focused = GetFocus() == ListView;
    std::vector<TAccessibleElement> rows;
    for (int row = 0; row < count; ++row) {
        TAccessibleElement element;
        for (std::size_t column = 0; column < captions.size(); ++column) {
            const std::wstring cell = ItemText(ListView, row, static_cast<int>(column));
            if (cell.empty()) {
                continue;
            }
            element.Name += (element.Name.empty() ? L"" : L"，") + captions[column] +
                            (captions[column].empty() ? L"" : L"：") + cell;
        }
        element.Role = ROLE_SYSTEM_LISTITEM;
        const auto state = static_cast<UINT>(SendMessageW(
            ListView, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED | LVIS_FOCUSED));
        element.State = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE |
                        ((state & LVIS_SELECTED) != 0 ? STATE_SYSTEM_SELECTED : 0) |
                        (focused && (state & LVIS_FOCUSED) != 0 ? STATE_SYSTEM_FOCUSED : 0);
        element.Bounds.left = LVIR_BOUNDS;
        SendMessageW(ListView, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&element.Bounds));
        rows.push_back(std::move(element));
    }
    return rows;
}

// A list view that takes the focus with rows but no focused row gives its first row the focus.
void FocusFirstRow(HWND ListView) {
    if (SendMessageW(ListView, LVM_GETITEMCOUNT, 0, 0) > 0 &&
        SendMessageW(ListView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) == -1) {
        LVITEMW item{};
        item.stateMask = LVIS_FOCUSED;
        item.state = LVIS_FOCUSED;
        SendMessageW(ListView, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    }
}

} // namespace

void KeepFocusVisible(HWND Dialog, std::initializer_list<TkyWinControl*> ListViews) {
    SendMessageW(Dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL),
                 0);
    for (TkyWinControl* view : ListViews) {
        HandleBefore(*view, [](HWND Window, UINT AMessage, WPARAM, LPARAM) {
            if (AMessage == WM_SETFOCUS) {
                FocusFirstRow(Window);
            }
            return std::optional<LRESULT>();
        });
    }
}

void AnswerAccessible(HWND Window, TAccessibleAnswer Answer) {
    auto data = std::make_unique<TSubclassData>(
        TSubclassData{std::make_shared<TAnswerHolder>(TAnswerHolder{std::move(Answer)}), nullptr});
    if (SetWindowSubclass(Window, &AnswerProc, ANSWER_SUBCLASS,
                          reinterpret_cast<DWORD_PTR>(data.get()))) {
        static_cast<void>(data.release());
    }
}

void AnswerAccessible(TkyWinControl& Control, TAccessibleAnswer Answer) {
    const auto data = std::make_shared<TSubclassData>(
        TSubclassData{std::make_shared<TAnswerHolder>(TAnswerHolder{std::move(Answer)}), nullptr});
    HandleBefore(Control, [data](HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam) {
        // A reader still holding the object hears no more of the answer once the window goes.
        if (AMessage == WM_DESTROY) {
            data->Holder.reset();
            data->Apartment.reset();
            return std::optional<LRESULT>();
        }
        return data->Holder ? AnswerMessage(Window, AMessage, WParam, LParam, *data)
                            : std::optional<LRESULT>();
    });
}

TAccessibleAnswer ListViewRowsAnswer(HWND ListView, std::wstring Name) {
    TAccessibleAnswer answer;
    answer.Name = [name = std::move(Name)] { return name; };
    answer.Elements = [ListView] { return ListViewRows(ListView); };
    return answer;
}

TkyComApartment::TkyComApartment()
    : FInitialized(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

TkyComApartment::~TkyComApartment() {
    if (FInitialized) {
        CoUninitialize();
    }
}
