// Early-return helpers for HRESULT code, and the boundary that keeps C++
// exceptions inside the module, with the names WIL gives them.
#pragma once

#include "platform/com/com.h"

#include <new>

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

// The HRESULT of the exception being handled. Only to be called from a
// catch block.
inline HRESULT ResultFromCaughtException() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

// Ends a function-try-block around the body of every operation a caller
// outside the module can reach: an exception that unwinds through a
// __stdcall operation into the viewer would end the viewer's process, so it
// becomes the operation's HRESULT instead.
//   HRESULT STDMETHODCALLTYPE CAgent::Operation() try { ... } CATCH_RETURN();
#define CATCH_RETURN()                              \
    catch (...) {                                   \
        return ResultFromCaughtException();         \
    }
