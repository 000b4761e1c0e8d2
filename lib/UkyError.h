#pragma once

#include <exception>
#include <string>

// The library's one error type: it carries a message text and no code.
class EkyError : public std::exception {
public:
    explicit EkyError(std::wstring AMessage);

    const std::wstring& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FNarrow.c_str(); }

private:
    std::wstring FMessage;
    std::string FNarrow;
};
