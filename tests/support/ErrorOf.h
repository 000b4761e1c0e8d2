#pragma once

#include "UkyError.h"

#include <functional>
#include <string>

// The message of the error an action raises, or "(no error)" when it raises none.
inline std::wstring ErrorOf(const std::function<void()>& Action) {
    try {
        Action();
    } catch (const EkyError& error) {
        return error.Message();
    }
    return L"(no error)";
}
