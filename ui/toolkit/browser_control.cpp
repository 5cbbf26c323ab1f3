#include "ui/toolkit/browser_control.h"

#include <mshtml.h>

namespace {

// The control and the document interface, by the identifiers the system registers them under.
const CLSID kWebBrowserClass = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
const IID kWebBrowser2 = {
    0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
const IID kHtmlDocument2 = {
    0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};

std::wstring Widen(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

} // namespace

// The container side of in-place activation: client site, in-place site and frame in one
// object, all answering for the host window.
class BrowserSite : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
  public:
    explicit BrowserSite(HWND host) : host_(host) {}

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
            *out = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame))
            *out = static_cast<IOleInPlaceFrame*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* out) override {
        *out = host_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        *frame = this;
        AddRef();
        *document = nullptr;
        GetClientRect(host_, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(host_, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, tool space or status line.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  private:
    virtual ~BrowserSite() = default;
    HWND host_;
    ULONG references_ = 1;
};

BrowserControl::~BrowserControl() {
    Close();
}

bool BrowserControl::Create(HWND parent, int id, int left, int top, int width, int height) {
    if (!CreateChild("VantrellBrowserHost", parent, id, WS_CLIPCHILDREN, 0, left, top, width,
                     height))
        return false;
    const HRESULT started = OleInitialize(nullptr);
    oleStarted_ = SUCCEEDED(started);
    if (!oleStarted_)
        return false;
    site_ = new BrowserSite(Handle());
    RECT area;
    GetClientRect(Handle(), &area);
    if (FAILED(CoCreateInstance(kWebBrowserClass, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                object_.put_void())) ||
        FAILED(object_->SetClientSite(site_)) ||
        FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, Handle(), &area)) ||
        FAILED(object_->QueryInterface(kWebBrowser2, browser_.put_void()))) {
        Close();
        return false;
    }
    return true;
}

void BrowserControl::Close() {
    browser_.reset();
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.reset();
    }
    if (site_)
        site_->Release();
    site_ = nullptr;
    if (oleStarted_)
        OleUninitialize();
    oleStarted_ = false;
}

bool BrowserControl::Navigate(const std::string& address) {
    if (!browser_)
        return false;
    BSTR url = SysAllocString(Widen(address).c_str());
    if (!url)
        return false;
    VARIANT empty;
    VariantInit(&empty);
    const HRESULT result = browser_->Navigate(url, &empty, &empty, &empty, &empty);
    SysFreeString(url);
    return SUCCEEDED(result);
}

bool BrowserControl::HasDocument() const {
    ComRef<IDispatch> document;
    return browser_ && SUCCEEDED(browser_->get_Document(document.put())) && document;
}

bool BrowserControl::FocusDocument() {
    ComRef<IDispatch> document;
    ComRef<IHTMLDocument2> html;
    ComRef<IHTMLWindow2> window;
    return browser_ && SUCCEEDED(browser_->get_Document(document.put())) && document &&
           SUCCEEDED(document->QueryInterface(kHtmlDocument2, html.put_void())) &&
           SUCCEEDED(html->get_parentWindow(window.put())) && window && SUCCEEDED(window->focus());
}

bool BrowserControl::TranslateKey(MSG& message) {
    if (!object_ || message.message < WM_KEYFIRST || message.message > WM_KEYLAST ||
        !IsChild(Handle(), message.hwnd))
        return false;
    ComRef<IOleInPlaceActiveObject> active;
    return SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceActiveObject, active.put_void())) &&
           active->TranslateAccelerator(&message) == S_OK;
}

bool BrowserControl::Zoom(int percent) {
    if (!browser_ || !HasDocument())
        return false;
    VARIANT zoom;
    VariantInit(&zoom);
    zoom.vt = VT_I4;
    zoom.lVal = percent;
    return SUCCEEDED(
        browser_->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &zoom, nullptr));
}

LRESULT BrowserControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE && object_) {
        ComRef<IOleInPlaceObject> inPlace;
        RECT area;
        GetClientRect(Handle(), &area);
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, inPlace.put_void())))
            inPlace->SetObjectRects(&area, &area);
        return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}
