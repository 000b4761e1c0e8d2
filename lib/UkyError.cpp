#include "UkyError.h"

#include "UkyUtf8.h"

#include <utility>

EkyError::EkyError(std::wstring message)
    : FMessage(std::move(message)), FNarrow(TextToUtf8(FMessage)) {}
