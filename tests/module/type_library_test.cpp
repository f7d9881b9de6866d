// The registered type library, as a client reading it finds it.
#ifdef _WIN32

#include "interfaces/agent_interfaces.h"
#include "interfaces/guids.h"
#include "platform/com_ptr.h"
#include "tests/module/regsvr32_runner.h"
#include "tests/support/guid_text.h"
#include "tests/support/hresult.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <string>

namespace {

struct Documentation {
    std::wstring name;
    std::wstring help;
};

Documentation Describe(ITypeLib* library, INT index) {
    BSTR name = nullptr;
    BSTR help = nullptr;
    Documentation result;
    if (SUCCEEDED(library->GetDocumentation(index, &name, &help, nullptr, nullptr))) {
        result = {name ? name : L"", help ? help : L""};
    }
    SysFreeString(name);
    SysFreeString(help);
    return result;
}

Documentation Describe(ITypeInfo* info) {
    BSTR name = nullptr;
    BSTR help = nullptr;
    Documentation result;
    if (SUCCEEDED(info->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr))) {
        result = {name ? name : L"", help ? help : L""};
    }
    SysFreeString(name);
    SysFreeString(help);
    return result;
}

class RegisteredTypeLibrary : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RunRegsvr32(false), 0);
        ASSERT_HR(LoadRegTypeLib(LIBID_ZELDMAGENTLib, 1, 0, 0, m_library.put()), S_OK);
    }
    ComPtr<ITypeLib> m_library;
};

TEST_F(RegisteredTypeLibrary, DescribesTheLibrary) {
    TLIBATTR* attributes = nullptr;
    ASSERT_HR(m_library->GetLibAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->guid, LIBID_ZELDMAGENTLib);
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->lcid, 0u);
    EXPECT_EQ(attributes->syskind, SYS_WIN32);
    m_library->ReleaseTLibAttr(attributes);
    const Documentation library = Describe(m_library.get(), -1);
    EXPECT_EQ(library.name, L"ZELDMAGENTLib");
    EXPECT_EQ(library.help, L"ZelDMAgent 1.0 Type Library");
    EXPECT_EQ(m_library->GetTypeInfoCount(), 2u);
}

TEST_F(RegisteredTypeLibrary, DescribesTheCreatableClassWithItsDefaultInterface) {
    ComPtr<ITypeInfo> coclass;
    ASSERT_HR(m_library->GetTypeInfoOfGuid(CLSID_DMAgent, coclass.put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_HR(coclass->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FCANCREATE) << "type flags 0x" << std::hex << attributes->wTypeFlags;
    EXPECT_EQ(attributes->cImplTypes, 1);
    coclass->ReleaseTypeAttr(attributes);
    const Documentation cls = Describe(coclass.get());
    EXPECT_EQ(cls.name, L"DMAgent");
    EXPECT_EQ(cls.help, L"DMAgent Class");

    INT flags = 0;
    ASSERT_HR(coclass->GetImplTypeFlags(0, &flags), S_OK);
    EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT) << "implementation flags 0x" << std::hex << flags;
    HREFTYPE reference = 0;
    ASSERT_HR(coclass->GetRefTypeOfImplType(0, &reference), S_OK);
    ComPtr<ITypeInfo> implemented;
    ASSERT_HR(coclass->GetRefTypeInfo(reference, implemented.put()), S_OK);
    EXPECT_EQ(Describe(implemented.get()).name, L"IDMAgent");
}

TEST_F(RegisteredTypeLibrary, DescribesTheInterfaceAsPlainIUnknownWithoutMethods) {
    ComPtr<ITypeInfo> info;
    ASSERT_HR(m_library->GetTypeInfoOfGuid(iid_of<IDMAgent>, info.put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_HR(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
    EXPECT_EQ(attributes->cFuncs, 0);
    EXPECT_EQ(attributes->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION), 0);
    EXPECT_EQ(attributes->cImplTypes, 1);
    info->ReleaseTypeAttr(attributes);
    const Documentation doc = Describe(info.get());
    EXPECT_EQ(doc.name, L"IDMAgent");
    EXPECT_EQ(doc.help, L"IDMAgent Interface");

    HREFTYPE reference = 0;
    ASSERT_HR(info->GetRefTypeOfImplType(0, &reference), S_OK);
    ComPtr<ITypeInfo> base;
    ASSERT_HR(info->GetRefTypeInfo(reference, base.put()), S_OK);
    TYPEATTR* baseAttributes = nullptr;
    ASSERT_HR(base->GetTypeAttr(&baseAttributes), S_OK);
    EXPECT_EQ(baseAttributes->guid, iid_of<IUnknown>);
    base->ReleaseTypeAttr(baseAttributes);
}

}  // namespace

#endif
