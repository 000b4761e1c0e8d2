#include "UkyPng.h"

#include <objbase.h>
#include <wincodec.h>

#include <memory>

namespace {

template <class T> struct TComReleaser {
    void operator()(T* Object) const noexcept { Object->Release(); }
};
template <class T> using TComPtr = std::unique_ptr<T, TComReleaser<T>>;

// COM for this thread while it lives, when the thread did not have it already.
class TComScope {
public:
    TComScope() : FInitialized(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;
    ~TComScope() {
        if (FInitialized) {
            CoUninitialize();
        }
    }

private:
    bool FInitialized;
};

} // namespace

HRESULT EncodePng(const BYTE* Bits, UINT Stride, UINT Width, UINT Height, std::string& Bytes) {
    const TComScope com;
    IWICImagingFactory* rawFactory = nullptr;
    HRESULT result =
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_IWICImagingFactory, reinterpret_cast<void**>(&rawFactory));
    if (FAILED(result)) {
        return result;
    }
    const TComPtr<IWICImagingFactory> factory(rawFactory);
    IWICBitmap* rawBitmap = nullptr;
    result = factory->CreateBitmapFromMemory(Width, Height, GUID_WICPixelFormat24bppBGR, Stride,
                                             Stride * Height, const_cast<BYTE*>(Bits), &rawBitmap);
    if (FAILED(result)) {
        return result;
    }
    const TComPtr<IWICBitmap> bitmap(rawBitmap);
    IStream* rawStream = nullptr;
    result = CreateStreamOnHGlobal(nullptr, TRUE, &rawStream);
    if (FAILED(result)) {
        return result;
    }
    const TComPtr<IStream> stream(rawStream);
    IWICBitmapEncoder* rawEncoder = nullptr;
    result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &rawEncoder);
    if (FAILED(result)) {
        return result;
    }
    const TComPtr<IWICBitmapEncoder> encoder(rawEncoder);
    IWICBitmapFrameEncode* rawFrame = nullptr;
    if (FAILED(result = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
        FAILED(result = encoder->CreateNewFrame(&rawFrame, nullptr))) {
        return result;
    }
    const TComPtr<IWICBitmapFrameEncode> frame(rawFrame);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(result = frame->Initialize(nullptr)) ||
        FAILED(result = frame->SetSize(Width, Height)) ||
        FAILED(result = frame->SetPixelFormat(&format))) {
        return result;
    }
    if (!IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
        return WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    }
    if (FAILED(result = frame->WriteSource(bitmap.get(), nullptr)) ||
        FAILED(result = frame->Commit()) || FAILED(result = encoder->Commit())) {
        return result;
    }
    HGLOBAL memory = nullptr;
    STATSTG status{};
    if (FAILED(result = GetHGlobalFromStream(stream.get(), &memory)) ||
        FAILED(result = stream->Stat(&status, STATFLAG_NONAME))) {
        return result;
    }
    const void* data = GlobalLock(memory);
    if (data == nullptr) {
        return E_OUTOFMEMORY;
    }
    Bytes.assign(static_cast<const char*>(data), static_cast<std::size_t>(status.cbSize.QuadPart));
    GlobalUnlock(memory);
    return S_OK;
}
