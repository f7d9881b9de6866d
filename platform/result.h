// Early-return helpers for HRESULT code, with the names WIL gives them.
#pragma once

#include "platform/com.h"

#define RETURN_IF_FAILED(expr)                       \
    do {                                             \
        const HRESULT hr_returnIfFailed_ = (expr);   \
        if (FAILED(hr_returnIfFailed_)) return hr_returnIfFailed_; \
    } while (0)

#define RETURN_HR_IF(hr, cond) \
    do {                       \
        if (cond) return (hr); \
    } while (0)

#define RETURN_HR_IF_NULL(hr, ptr)       \
    do {                                 \
        if (!(ptr)) return (hr); \
    } while (0)
