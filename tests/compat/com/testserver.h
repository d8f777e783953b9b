// The interface of the runtime tests' in-process server.
#pragma once

#include "com/types.h"

constexpr CLSID CLSID_TestCalc = com::guid("{6D2B9A10-4C1E-4F0B-9E55-0A1B2C3D4E51}");
constexpr IID IID_ITestCalc = com::guid("{6D2B9A11-4C1E-4F0B-9E55-0A1B2C3D4E51}");
constexpr GUID LIBID_TestCalcLib = com::guid("{6D2B9A12-4C1E-4F0B-9E55-0A1B2C3D4E51}");

struct ITestCalc : IDispatch {
    virtual HRESULT Add(std::int32_t a, std::int32_t b, std::int32_t *sum) = 0;
    virtual HRESULT Greet(BSTR name, BSTR *greeting) = 0;
    virtual HRESULT get_Value(std::int32_t *value) = 0;
    virtual HRESULT put_Value(std::int32_t value) = 0;
    // Fails with the given code, leaving description as error information
    // when it is not empty.
    virtual HRESULT Fail(std::int32_t code, BSTR description) = 0;

protected:
    ~ITestCalc() = default;
};
