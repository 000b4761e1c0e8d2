#include "UkyError.h"

#include "UkyUtf8.h"

#include <utility>

EkyError::EkyError(std::wstring AMessage)
    : FMessage(std::move(AMessage)), FNarrow(TextToUtf8(FMessage)) {}
