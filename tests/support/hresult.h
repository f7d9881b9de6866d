// HRESULTs in the checks' failure texts as the viewer host prints them
// ("E_FAIL (0x80004005)"), not as the decimal numbers they are:
//   EXPECT_HR(S_OK, agent->Start());
#pragma once

#include "platform/com/com.h"
#include "viewer/host/hresult_text.h"

#include <gtest/gtest.h>

#include <ostream>

struct Hr {
    HRESULT value;
    friend bool operator==(Hr a, Hr b) { return a.value == b.value; }
    friend void PrintTo(Hr hr, std::ostream* out) { *out << host::HresultText(hr.value); }
};

#define EXPECT_HR(expected, actual) EXPECT_EQ(Hr{expected}, Hr{actual})
#define ASSERT_HR(expected, actual) ASSERT_EQ(Hr{expected}, Hr{actual})
#define EXPECT_NOT_HR(unexpected, actual) EXPECT_NE(Hr{unexpected}, Hr{actual})

inline bool HrFailed(Hr hr) { return FAILED(hr.value); }
inline bool HrSucceeded(Hr hr) { return SUCCEEDED(hr.value); }
#define EXPECT_HR_FAILED(actual) EXPECT_PRED1(HrFailed, Hr{actual})
#define ASSERT_HR_SUCCEEDED(actual) ASSERT_PRED1(HrSucceeded, Hr{actual})
