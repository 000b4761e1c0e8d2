#include "UkyDragControl.h"

#include "UkyFunctions.h"

namespace {

constexpr int MOVE_IMAGE_ICON = 30501;
constexpr int COPY_IMAGE_ICON = 30502;
constexpr int DRAG_IMAGE_SIZE = 32;

} // namespace

// TkyDragControl

HWND TkyDragControl::Handle() const {
    return FHandle;
}

LRESULT TkyDragControl::WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    TDragHandler& handler = DragHandler();
    switch (AMessage) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (handler.Dragging() && WParam == VK_CONTROL) {
            handler.RefreshDragImage(CursorPos());
        } else if (handler.Dragging() && WParam == VK_ESCAPE) {
            handler.CancelDragging();
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        TrackMouseMove();
        break;
    case WM_LBUTTONUP:
        TrackButtonUp();
        break;
    case WM_RBUTTONDOWN:
        if (handler.Dragging()) {
            handler.CancelDragging();
        }
        break;
    default:
        break;
    }
    return TkyControl::WindowProc(AMessage, WParam, LParam);
}

void TkyDragControl::Drop(IDragSource& Source, std::int32_t Index, bool Copy) {
    if (OnDrop) {
        OnDrop(Source, Index, Copy);
    }
}

void TkyDragControl::StartDrag() {
    if (FAllowDrag) {
        DragHandler().StartDragging(*this, CursorPos());
    }
}

void TkyDragControl::TrackMouseMove() {
    if (DragHandler().Dragging() && FAllowDrop) {
        DragHandler().MoveOver(*this, CursorPos());
    }
}

void TkyDragControl::TrackButtonUp() {
    if (!DragHandler().Dragging()) {
        return;
    }
    if (FAllowDrop) {
        DragHandler().DropOnto(*this);
    } else {
        DragHandler().CancelDragging();
    }
}

void TkyDragControl::Destroy() {
    DragHandler().Forget(*this);
    TkyControl::Destroy();
}

// TDragHandler

TDragHandler::TDragHandler() : FImages(DRAG_IMAGE_SIZE, DRAG_IMAGE_SIZE, 0) {
    FImages.AddIconFromResource(MOVE_IMAGE_ICON);
    FImages.AddIconFromResource(COPY_IMAGE_ICON);
}

void TDragHandler::StartDragging(IDragSource& ASource, POINT Point) {
    const std::int32_t index = ASource.ItemAtCursor();
    if (index == -1) {
        return;
    }
    FSource = &ASource;
    FTarget = nullptr;
    RefreshDragImage(Point);
    FSourceIndex = index;
    FTargetIndex = -1;
    FDragging = true;
}

void TDragHandler::RefreshDragImage(POINT Point) {
    if (FCopyMode && IsKeyDown(VK_CONTROL)) {
        return;
    }
    FCopyMode = IsKeyDown(VK_CONTROL);
    ImageList_EndDrag();
    ImageList_BeginDrag(FImages.Handle(), FCopyMode ? 1 : 0, 0, 0);
    HWND window = FTarget ? FTarget->Handle() : FSource ? FSource->Handle() : nullptr;
    if (window != nullptr) {
        ImageList_DragEnter(window, Point.x, Point.y);
    }
}

void TDragHandler::MoveOver(IDropTarget& ATarget, POINT Point) {
    if (!FDragging) {
        return;
    }
    const std::int32_t index = ATarget.ItemAtCursor();
    if (FTarget && FTarget->Handle() == ATarget.Handle() && index == FTargetIndex) {
        ImageList_DragMove(Point.x, Point.y);
        return;
    }
    if (FTarget) {
        ImageList_DragLeave(FTarget->Handle());
        MarkTarget(*FTarget.Get(), FTargetIndex, false);
    }
    MarkTarget(ATarget, index, true);
    ImageList_DragEnter(ATarget.Handle(), Point.x, Point.y);
    FTarget = &ATarget;
    FTargetIndex = index;
}

void TDragHandler::CancelDragging() {
    if (!FDragging) {
        return;
    }
    if (FTarget) {
        ImageList_DragLeave(FTarget->Handle());
        MarkTarget(*FTarget.Get(), FTargetIndex, false);
    }
    ImageList_EndDrag();
    FDragging = false;
}

void TDragHandler::DropOnto(IDropTarget& ATarget) {
    if (!FDragging) {
        return;
    }
    CancelDragging();
    const std::int32_t index = ATarget.ItemAtCursor();
    if (FTarget && index != -1) {
        FTarget->SetDropHighlight(index, false);
    }
    if (ATarget.Handle() == FSource->Handle() && index == FSourceIndex) {
        return;
    }
    ATarget.Drop(*FSource.Get(), index, FCopyMode);
}

void TDragHandler::MarkTarget(IDropTarget& ATarget, std::int32_t Index, bool On) {
    ATarget.SetDropHighlight(Index, On);
    InvalidateRect(ATarget.Handle(), nullptr, TRUE);
    UpdateWindow(ATarget.Handle());
}

void TDragHandler::Forget(TkyDragControl& Control) {
    const bool isSource = FSource.Get() == static_cast<IDragSource*>(&Control);
    const bool isTarget = FTarget.Get() == static_cast<IDropTarget*>(&Control);
    if (isSource || isTarget) {
        CancelDragging();
    }
    if (isSource) {
        FSource = nullptr;
    }
    if (isTarget) {
        FTarget = nullptr;
    }
}

TDragHandler& DragHandler() {
    static TDragHandler handler;
    return handler;
}
