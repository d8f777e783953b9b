#include "com/util.h"

#include <gtest/gtest.h>

TEST(Bstr, LengthPrefixedAndKeepsEmbeddedZeros)
{
    const char16_t text[] = u"ab\0cd";
    BSTR s = SysAllocStringLen(text, 5);
    EXPECT_EQ(SysStringLen(s), 5u);
    EXPECT_EQ(SysStringByteLen(s), 10u);
    EXPECT_EQ(s[5], 0);
    EXPECT_EQ(s[3], u'c');
    SysFreeString(s);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
}

TEST(Bstr, AnsiRoundTripIsUtf8)
{
    CComBSTR s("Grüße \xE4\xB8\xAD");
    EXPECT_EQ(s.Length(), 7u);
    EXPECT_EQ(s.ansi(), "Grüße \xE4\xB8\xAD");
    EXPECT_EQ(com::toAnsi(nullptr), "");
}

TEST(Guid, TextRoundTripAndRejectsMalformed)
{
    constexpr GUID g = com::guid("{EE663967-2E8E-4805-9A12-4C9C58C7C5F9}");
    EXPECT_EQ(com::guidToString(g), "{EE663967-2E8E-4805-9A12-4C9C58C7C5F9}");
    GUID parsed{};
    ASSERT_TRUE(com::guidFromString("{ee663967-2e8e-4805-9a12-4c9c58c7c5f9}", &parsed));
    EXPECT_EQ(parsed, g);
    for (const char *bad : {"", "EE663967-2E8E-4805-9A12-4C9C58C7C5F9", "{EE663967-2E8E-4805-9A12-4C9C58C7C5FZ}",
                            "{EE6639672E8E-4805-9A12-4C9C58C7C5F9-}"})
        EXPECT_FALSE(com::guidFromString(bad, &parsed)) << bad;
    CLSID c;
    EXPECT_EQ(CLSIDFromString(CComBSTR("nonsense"), &c), CO_E_CLASSSTRING);
}

TEST(Variant, ChangeTypeTable)
{
    struct Case {
        VARIANT in;
        VARTYPE to;
        HRESULT hr;
        std::int32_t asI4; // when converting to VT_I4/VT_BOOL/VT_I2
    };
    VARIANT i4{}; i4.vt = VT_I4; i4.lVal = 70000;
    VARIANT b{}; b.vt = VT_BOOL; b.boolVal = VARIANT_TRUE;
    VARIANT e{}; e.vt = VT_EMPTY;
    VARIANT u{}; u.vt = VT_UNKNOWN; u.punkVal = nullptr;
    const Case cases[] = {
        {i4, VT_I4, S_OK, 70000},
        {i4, VT_I2, DISP_E_TYPEMISMATCH, 0}, // out of range, not truncated
        {i4, VT_BOOL, S_OK, VARIANT_TRUE},
        {b, VT_I4, S_OK, -1},
        {e, VT_I4, S_OK, 0},
        {u, VT_I4, DISP_E_TYPEMISMATCH, 0},
    };
    for (const auto &c : cases) {
        VARIANT out;
        VariantInit(&out);
        EXPECT_EQ(VariantChangeType(&out, &c.in, 0, c.to), c.hr) << c.in.vt << "->" << c.to;
        if (SUCCEEDED(c.hr)) {
            EXPECT_EQ(c.to == VT_I4 ? out.lVal : out.iVal, c.asI4) << c.in.vt << "->" << c.to;
        }
        VariantClear(&out);
    }
}

TEST(Variant, StringsConvertBothWaysAndCopiesOwnTheirData)
{
    CComVariant s;
    s.vt = VT_BSTR;
    s.bstrVal = com::allocFromAnsi(" 12 ");
    CComVariant n;
    ASSERT_EQ(VariantChangeType(&n, &s, 0, VT_I4), S_OK);
    EXPECT_EQ(n.lVal, 12);
    CComVariant back;
    ASSERT_EQ(VariantChangeType(&back, &n, 0, VT_BSTR), S_OK);
    EXPECT_EQ(com::toAnsi(back.bstrVal), "12");
    CComVariant copy(s);
    EXPECT_NE(copy.bstrVal, s.bstrVal);
    // In place, as callers of dispatch do.
    ASSERT_EQ(VariantChangeType(&s, &s, 0, VT_I4), S_OK);
    EXPECT_EQ(s.vt, VT_I4);
    CComVariant word;
    word.vt = VT_BSTR;
    word.bstrVal = com::allocFromAnsi("twelve");
    CComVariant bad;
    EXPECT_EQ(VariantChangeType(&bad, &word, 0, VT_I4), DISP_E_TYPEMISMATCH);
}
