#pragma once

#include "UkyEdit.h"
#include "UkyWinControl.h"

#include <windows.h>

#include <cstdint>
#include <functional>

// A spin control that keeps an integer position inside a range and shows it in a buddy edit. The
// position is the object's; the window's own position only mirrors it.
class TkyUpDown : public TkyControl {
public:
    using TChangeEvent = std::function<void(std::int32_t Position)>;

    // Stores the range; the position stays where it is, also outside the new range.
    void SetRange(std::int32_t AMin, std::int32_t AMax);
    // Moves to Value and shows it in the buddy; a value outside the range changes nothing.
    void SetPosition(std::int32_t Value);
    // The edit that shows the position. It is not written until the position changes.
    void SetBuddy(TkyEdit& Edit);
    // Position change per arrow click.
    void SetStep(std::int32_t Value) { FStep = Value; }

    TkyEdit* Buddy() const { return FBuddy; }
    std::int32_t Min() const { return FMin; }
    std::int32_t Max() const { return FMax; }
    std::int32_t Step() const { return FStep; }
    std::int32_t Position() const { return FPosition; }

    // Fired with the new position after an arrow click moved it.
    TChangeEvent OnChange;

protected:
    friend class TkyControl;

    TkyUpDown() = default;

    // An arrow click: takes a number typed into the buddy, then moves by the click's delta times
    // Step. Answers 1, so that the window leaves its own position alone.
    LRESULT HandleNotify(int Code, NMHDR* Header) override;
    HWND CreateHandle(HWND AParent) override;
    // Range 0..10, position 1, step 1, no buddy.
    void AfterCreate() override;

private:
    void MoveTo(std::int64_t Value);

    TkyEdit* FBuddy = nullptr;
    std::int32_t FMin = 0;
    std::int32_t FMax = 0;
    std::int32_t FStep = 1;
    std::int32_t FPosition = 0;
};
