#pragma once

#include "UkyError.h"
#include "UkyWinControl.h"

#include <windows.h>

#include <vector>

// A control of the test's own: it records the commands and notifications it is sent, counts its
// creations and (into a counter of the test's) its destructions, and can fail once its window
// exists. Its own window is of the class given (a static text unless told).
class TProbe : public TkyControl {
public:
    explicit TProbe(const wchar_t* AClassName = L"STATIC") : FClassName(AClassName) {}
    std::vector<WORD> Commands;
    std::vector<int> Notifies;
    int AfterCreates = 0;
    int* BeforeDestroys = nullptr;
    bool FailAfterCreate = false;

protected:
    HWND CreateHandle(HWND AParent) override {
        return CreateChildWindow(AParent, FClassName, 0, 0);
    }
    void AfterCreate() override {
        ++AfterCreates;
        if (FailAfterCreate) {
            throw EkyError(L"no control");
        }
    }
    void BeforeDestroy() override {
        if (BeforeDestroys != nullptr) {
            ++*BeforeDestroys;
        }
    }
    LRESULT HandleCommand(WORD Code) override {
        Commands.push_back(Code);
        return 0;
    }
    LRESULT HandleNotify(int Code, NMHDR*) override {
        Notifies.push_back(Code);
        return 77;
    }

private:
    const wchar_t* FClassName;
};
