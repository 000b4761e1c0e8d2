#pragma once

#include "UkyClasses.h"
#include "UkyImageList.h"
#include "UkyListSuper.h"
#include "UkyWinControl.h"

#include <windows.h>

#include <cstdint>
#include <functional>

// A control whose items can be dragged away.
class IDragSource : public virtual IInterface {
public:
    virtual HWND Handle() const = 0;
    // The item under the mouse cursor, -1 for none.
    virtual std::int32_t ItemAtCursor() = 0;
    // Fills Items with the values of the selected items.
    virtual void GetSelectedItems(TkyIntList& Items) = 0;
    virtual void DeleteSelected() = 0;

protected:
    ~IDragSource() = default;
};

// A control that items can be dropped onto.
class IDropTarget : public virtual IInterface {
public:
    virtual HWND Handle() const = 0;
    // The item under the mouse cursor, -1 for none.
    virtual std::int32_t ItemAtCursor() = 0;
    // Marks or unmarks the item at Index as the place of the drop.
    virtual void SetDropHighlight(std::int32_t Index, bool On) = 0;
    // The item of Source was dropped at Index (-1: on empty space) as a copy or a move.
    virtual void Drop(IDragSource& Source, std::int32_t Index, bool Copy) = 0;

protected:
    ~IDropTarget() = default;
};

// Receives a drop: the source, the index dropped at (-1 for empty space) and whether it is a copy.
using TDropEvent = std::function<void(IDragSource& Source, std::int32_t Index, bool Copy)>;

// A control whose items can be dragged (AllowDrag) and dropped onto (AllowDrop). Derived classes
// supply the item operations of the two interfaces.
class TkyDragControl : public TkyControl, public IDragSource, public IDropTarget {
public:
    LRESULT WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) override;

    // In the unit: inline, each unit that uses it would make it with its own choice of its two
    // thunks, which whole-program optimisation takes for two definitions.
    HWND Handle() const override;
    // Fires OnDrop.
    void Drop(IDragSource& Source, std::int32_t Index, bool Copy) override;

    // Begins dragging the item under the cursor when AllowDrag is set.
    void StartDrag();
    void TrackMouseMove();
    void TrackButtonUp();

    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool Value) { FAllowDrag = Value; }
    bool AllowDrop() const { return FAllowDrop; }
    void SetAllowDrop(bool Value) { FAllowDrop = Value; }

    TDropEvent OnDrop;

protected:
    TkyDragControl() = default;

    // Ends a drag that involves this control before anything of it goes.
    void Destroy() override;

private:
    bool FAllowDrag = false;
    bool FAllowDrop = false;
};

// Runs one drag at a time: the drag image, the highlight of the item under the cursor and the
// drop. Points are in the client coordinates of the control the cursor is over.
class TDragHandler : public TObject {
public:
    // Image 0 of Images is shown for a move, image 1 for a copy (icon resources 30501, 30502).
    TDragHandler();

    void StartDragging(IDragSource& ASource, POINT Point);
    // Shows the copy image while the Control key is down, the move image otherwise.
    void RefreshDragImage(POINT Point);
    void MoveOver(IDropTarget& ATarget, POINT Point);
    void CancelDragging();
    void DropOnto(IDropTarget& ATarget);
    void MarkTarget(IDropTarget& ATarget, std::int32_t Index, bool On);
    // Called by a drag control that is going away: ends a drag it takes part in and lets go of
    // every reference to it.
    void Forget(TkyDragControl& Control);

    IDragSource* Source() const { return FSource.Get(); }
    IDropTarget* Target() const { return FTarget.Get(); }
    const TkyImageList& Images() const { return FImages; }
    bool Dragging() const { return FDragging; }
    bool CopyMode() const { return FCopyMode; }
    std::int32_t SourceIndex() const { return FSourceIndex; }
    std::int32_t TargetIndex() const { return FTargetIndex; }

private:
    TkyIntfRef<IDragSource> FSource;
    TkyIntfRef<IDropTarget> FTarget;
    TkyImageList FImages;
    bool FDragging = false;
    bool FCopyMode = false;
    std::int32_t FSourceIndex = -1;
    std::int32_t FTargetIndex = -1;
};

// The process's drag handler.
TDragHandler& DragHandler();
