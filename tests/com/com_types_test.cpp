// The binary types hosts and the component share, and the registry's
// spelling of GUIDs.
#include <gtest/gtest.h>

#include "regwizard/com/guid_text.h"
#include "regwizard/com/reg_engine_com.h"

namespace regwizard::com {
namespace {

TEST(GuidText, SpellsGuidsAsTheRegistryDoesAndReadsThemBack)
{
    EXPECT_EQ(GuidText(CLSID_RegEngine), "{D4E6CBD4-016B-11D3-AF9D-00A0245356AA}");
    EXPECT_EQ(GuidText(IID_IConnectionPoint), "{B196B286-BAB4-101A-B69C-00AA00341D07}");
    EXPECT_EQ(GuidText(IID_IUnknown), "{00000000-0000-0000-C000-000000000046}");
    for (const GUID& guid : {LIBID_RegWizard, IID__RegEngine, DIID___RegEngine, IID_IDispatch})
        EXPECT_EQ(ParseGuid(GuidText(guid)), guid);
    EXPECT_EQ(ParseGuid("{d4e6cbd4-016b-11d3-af9d-00a0245356aa}"), CLSID_RegEngine)
        << "either case";

    for (const char* bad :
         {"", "D4E6CBD4-016B-11D3-AF9D-00A0245356AA", "{D4E6CBD4-016B-11D3-AF9D-00A0245356AA",
          "{D4E6CBD4-016B-11D3-AF9D00A0245356AA}", "{D4E6CBD4-016B-11D3-AF9D-00A0245356AA}x",
          "{G4E6CBD4-016B-11D3-AF9D-00A0245356AA}", "{D4E6CBD4-016B-11D3-AF9D-00A0245356A}"})
        EXPECT_FALSE(ParseGuid(bad)) << bad;
}

// The registry texts every platform writes name the same identities as the
// binary GUIDs hosts bind to.
TEST(GuidText, RegistryTextsNameTheContractsGuids)
{
    EXPECT_EQ(GuidText(CLSID_RegEngine), kRegEngineClsidText);
    EXPECT_EQ(GuidText(LIBID_RegWizard), kLibIdText);
    EXPECT_EQ(GuidText(IID__RegEngine), kRegEngineIidText);
    EXPECT_EQ(GuidText(DIID___RegEngine), kRegEngineEventsIidText);
}

TEST(ComTypes, GuidsCompareByEveryByte)
{
    for (int byte = 0; byte < 16; ++byte) {
        GUID other = CLSID_RegEngine;
        reinterpret_cast<unsigned char*>(&other)[byte] ^= 0x10;
        EXPECT_FALSE(other == CLSID_RegEngine) << "byte " << byte;
    }
    EXPECT_TRUE(IsEqualGUID(IID_NULL, GUID_NULL));
    // Data1 is little-endian in memory on this platform, as on Windows.
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(&CLSID_RegEngine)[0], 0xD4);
}

TEST(ComTypes, BstrCarriesItsByteLengthBeforeTheText)
{
    BSTR text = RwSysAllocString(u"RegWizard");
    ASSERT_NE(text, nullptr);
    std::uint32_t prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<const char*>(text) - 4, 4);
    EXPECT_EQ(prefix, 18u);
    EXPECT_EQ(RwSysStringLen(text), 9u);
    EXPECT_EQ(text[9], u'\0');
    RwSysFreeString(text);

    BSTR embedded = RwSysAllocStringLen(u"a\0b", 3);
    EXPECT_EQ(RwSysStringByteLen(embedded), 6u) << "the length, not the first NUL, counts";
    EXPECT_EQ(embedded[2], u'b');
    RwSysFreeString(embedded);
    EXPECT_EQ(RwSysAllocString(nullptr), nullptr);
    EXPECT_EQ(RwSysStringLen(nullptr), 0u) << "null is the empty string";
    RwSysFreeString(nullptr);
}

TEST(ComTypes, VariantClearFreesWhatItHoldsAndEmptiesIt)
{
    VARIANT v;
    RwVariantInit(&v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    v.vt = VT_BSTR;
    v.bstrVal = RwSysAllocString(u"owned");
    EXPECT_EQ(RwVariantClear(&v), S_OK);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(v.bstrVal, nullptr);
    EXPECT_EQ(RwVariantClear(nullptr), E_INVALIDARG);

    // The fields sit where the binary standard puts them.
    v.vt = VT_BOOL;
    v.boolVal = VARIANT_TRUE;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&v);
    EXPECT_EQ(bytes[0], VT_BOOL);
    EXPECT_EQ(bytes[8], 0xFF);
    EXPECT_EQ(bytes[9], 0xFF);
    EXPECT_EQ(sizeof(VARIANT), sizeof(void*) == 8 ? 24u : 16u);
}

} // namespace
} // namespace regwizard::com
