// The registered type library, as a client reading it finds it.

#include "interfaces/agent_interfaces.h"
#include "interfaces/guids.h"
#include "platform/com/com_ptr.h"
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
        ASSERT_HR(S_OK, LoadRegTypeLib(LIBID_ZELDMAGENTLib, 1, 0, 0, m_library.put()));
    }
    ComPtr<ITypeLib> m_library;
};

TEST_F(RegisteredTypeLibrary, DescribesTheLibrary) {
    TLIBATTR* attributes = nullptr;
    ASSERT_HR(S_OK, m_library->GetLibAttr(&attributes));
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
    ASSERT_HR(S_OK, m_library->GetTypeInfoOfGuid(CLSID_DMAgent, coclass.put()));
    TYPEATTR* attributes = nullptr;
    ASSERT_HR(S_OK, coclass->GetTypeAttr(&attributes));
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FCANCREATE) << "type flags 0x" << std::hex << attributes->wTypeFlags;
    EXPECT_EQ(attributes->cImplTypes, 1);
    coclass->ReleaseTypeAttr(attributes);
    const Documentation cls = Describe(coclass.get());
    EXPECT_EQ(cls.name, L"DMAgent");
    EXPECT_EQ(cls.help, L"DMAgent Class");

    INT flags = 0;
    ASSERT_HR(S_OK, coclass->GetImplTypeFlags(0, &flags));
    EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT) << "implementation flags 0x" << std::hex << flags;
    HREFTYPE reference = 0;
    ASSERT_HR(S_OK, coclass->GetRefTypeOfImplType(0, &reference));
    ComPtr<ITypeInfo> implemented;
    ASSERT_HR(S_OK, coclass->GetRefTypeInfo(reference, implemented.put()));
    EXPECT_EQ(Describe(implemented.get()).name, L"IDMAgent");
}

TEST_F(RegisteredTypeLibrary, DescribesTheInterfaceAsPlainIUnknownWithoutMethods) {
    ComPtr<ITypeInfo> info;
    ASSERT_HR(S_OK, m_library->GetTypeInfoOfGuid(iid_of<IDMAgent>, info.put()));
    TYPEATTR* attributes = nullptr;
    ASSERT_HR(S_OK, info->GetTypeAttr(&attributes));
    EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
    EXPECT_EQ(attributes->cFuncs, 0);
    EXPECT_EQ(attributes->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION), 0);
    EXPECT_EQ(attributes->cImplTypes, 1);
    info->ReleaseTypeAttr(attributes);
    const Documentation doc = Describe(info.get());
    EXPECT_EQ(doc.name, L"IDMAgent");
    EXPECT_EQ(doc.help, L"IDMAgent Interface");

    HREFTYPE reference = 0;
    ASSERT_HR(S_OK, info->GetRefTypeOfImplType(0, &reference));
    ComPtr<ITypeInfo> base;
    ASSERT_HR(S_OK, info->GetRefTypeInfo(reference, base.put()));
    TYPEATTR* baseAttributes = nullptr;
    ASSERT_HR(S_OK, base->GetTypeAttr(&baseAttributes));
    EXPECT_EQ(baseAttributes->guid, iid_of<IUnknown>);
    base->ReleaseTypeAttr(baseAttributes);
}

}  // namespace
