// The automation interface of the options component.
#pragma once

#include "com/types.h"

constexpr CLSID CLSID_ToolsOptions = com::guid("{EE663967-2E8E-4805-9A12-4C9C58C7C5F9}");
constexpr IID IID_IToolsOptions = com::guid("{5AEFBAB2-3C65-4A53-9D5F-ACC886EC650B}");
constexpr GUID LIBID_KRToolsOptionsLib = com::guid("{E73B7441-3945-4913-BBF6-02C0FC45386F}");

struct IToolsOptions : IDispatch {
    virtual HRESULT ShowWizard() = 0;

protected:
    ~IToolsOptions() = default;
};
