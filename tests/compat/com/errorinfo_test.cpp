#include "com/support.h"
#include "com/util.h"

#include <gtest/gtest.h>

namespace {

// An object that may or may not offer error information.
class Thing final : public ISupportErrorInfo {
public:
    explicit Thing(bool supports) : m_supports(supports) {}
    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_ISupportErrorInfo) {
            *ppv = static_cast<ISupportErrorInfo *>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT InterfaceSupportsErrorInfo(REFIID) override { return m_supports ? S_OK : S_FALSE; }

private:
    bool m_supports;
};

} // namespace

TEST(ErrorInfo, TakenOnceAndClearedAfterwards)
{
    com::setErrorDescription("disk on fire", "Host");
    IErrorInfo *info = nullptr;
    ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
    CComBSTR d, s;
    info->GetDescription(&d);
    info->GetSource(&s);
    EXPECT_EQ(d.ansi(), "disk on fire");
    EXPECT_EQ(s.ansi(), "Host");
    info->Release();
    EXPECT_EQ(GetErrorInfo(0, &info), S_FALSE);
    EXPECT_EQ(info, nullptr);
}

TEST(ErrorInfo, DescriptionOnlyFromObjectsThatOfferIt)
{
    Thing supports(true), silent(false);
    com::setErrorDescription("from the object");
    EXPECT_EQ(com::takeErrorDescription(&supports, IID_IUnknown), "from the object");
    com::setErrorDescription("stale");
    EXPECT_EQ(com::takeErrorDescription(&silent, IID_IUnknown), "");
    // The stale information was dropped, not left for the next error.
    EXPECT_EQ(com::takeErrorDescription(&supports, IID_IUnknown), "");
}

TEST(ErrorInfo, SystemMessages)
{
    EXPECT_EQ(com::systemMessage(E_NOINTERFACE), "No such interface supported");
    EXPECT_EQ(com::systemMessage(REGDB_E_CLASSNOTREG), "Class not registered");
    EXPECT_EQ(com::systemMessage(MAKE_HRESULT(1, FACILITY_ITF, 2000)), "");
}
