// The stand-in viewer's checks on the agent: reference accounting, the call
// log and the fault switches. A fault here would pass or fail the agent's
// tests for the wrong reason.
#include "interfaces/viewer_interfaces.h"
#include "platform/com/com_ptr.h"
#include "viewer/sim_control.h"
#include "interfaces/guids.h"
#include "tests/support/hresult.h"
#include "tests/support/viewer_state.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::PrintToString;

// The stand-in viewer's object accounting, for a failure text.
std::string Accounting() {
    return PrintToString(nuvsim::Objects()) + ", release errors " + PrintToString(nuvsim::ReferenceErrors());
}

// A save handler of the agent's kind that counts its own references.
class CountingSaveHandler final : public IAgentMarkupSave {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE SaveMarkup(const char* path) override {
        saved += std::string(path) + ";";
        return result;
    }
    ULONG references = 0;
    std::string saved;
    HRESULT result = S_OK;
};

class ViewerAccountingTest : public testing::Test {
protected:
    void SetUp() override { nuvsim::ResetViewer(); }
    void TearDown() override { nuvsim::ResetViewer(); }

    static ComPtr<IAgentHelper> NewHelper() {
        ComPtr<IAgentHelper> helper;
        EXPECT_HR(S_OK, NUVCoCreateInstance(CLSID_AgentHelper, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(helper.put())));
        return helper;
    }
};

TEST_F(ViewerAccountingTest, EverythingGivenBackIsBalanced) {
    {
        ComPtr<IAgentHelper> helper = NewHelper();
        ComPtr<IDocumentLookup> lookup;
        ASSERT_HR(S_OK, helper.query(lookup));
        ComPtr<IViewerSession> session;
        ASSERT_HR(S_OK, lookup->GetViewerSession(session.put()));
        ComPtr<IPdfDocument> pdf;
        ASSERT_HR(S_OK, session->GetDocument(4, IID_PPV(pdf.put())));
        ComPtr<IViewerEvents> events;
        ASSERT_HR(S_OK, pdf.query(events));
        EXPECT_FALSE(nuvsim::AllReleased()) << Accounting();
    }
    EXPECT_TRUE(nuvsim::AllReleased()) << Accounting();
    EXPECT_THAT(nuvsim::UnbalancedObjects(), IsEmpty());
}

TEST_F(ViewerAccountingTest, KeptAndOverReleasedReferencesAreNamed) {
    ComPtr<IAgentHelper> helper = NewHelper();
    IMarkupManager* kept = nullptr;
    ASSERT_HR(S_OK, helper->GetMarkupManager(&kept));
    helper.reset();
    EXPECT_FALSE(nuvsim::AllReleased()) << Accounting();
    EXPECT_THAT(nuvsim::UnbalancedObjects(), ElementsAre("MarkupManager: 1 reference(s) held"));

    kept->Release();
    EXPECT_TRUE(nuvsim::AllReleased()) << Accounting();
    // The object lives on in the stand-in viewer: a second Release is recorded, not a free.
    kept->Release();
    EXPECT_FALSE(nuvsim::AllReleased()) << Accounting();
    EXPECT_THAT(nuvsim::ReferenceErrors(), ElementsAre(HasSubstr("MarkupManager")));
    nuvsim::ResetViewer();
    EXPECT_TRUE(nuvsim::AllReleased()) << Accounting();
}

TEST_F(ViewerAccountingTest, RegistrationsHoldReferencesUntilTheDocumentCloses) {
    CountingSaveHandler handler;
    {
        ComPtr<IAgentHelper> helper = NewHelper();
        ComPtr<I2DDocument> document;
        ASSERT_HR(S_OK, helper->GetDocument(9, document.put()));
        ASSERT_HR(S_OK, document->AddSaveHandler(&handler));
        ASSERT_HR(S_OK, document->AddSaveHandler(&handler));
        EXPECT_EQ(2u, handler.references);
        EXPECT_HR(E_INVALIDARG, document->AddSaveHandler(nullptr));
        ASSERT_HR(S_OK, document->RemoveSaveHandler(&handler));
        EXPECT_EQ(1u, handler.references);
        ASSERT_HR(S_OK, document->AddSaveHandler(&handler));
    }
    // One save reaches the handler once, whatever its registrations.
    EXPECT_HR(S_OK, nuvsim::Save2DMarkup(9, "D:\\m\\a.xml"));
    EXPECT_EQ("D:\\m\\a.xml;", handler.saved);
    handler.result = E_ABORT;
    EXPECT_HR(E_ABORT, nuvsim::Save2DMarkup(9, "D:\\m\\b.xml"));
    EXPECT_HR(E_INVALIDARG, nuvsim::Save2DMarkup(10, "D:\\m\\b.xml"));

    nuvsim::CloseDocuments();
    EXPECT_EQ(0u, handler.references);
    EXPECT_HR(E_INVALIDARG, nuvsim::Save2DMarkup(9, "D:\\m\\c.xml"));
    nuvsim::DocumentInfo info{};
    EXPECT_FALSE(nuvsim::FindDocument(9, &info)) << PrintToString(info);
    ASSERT_EQ(1u, nuvsim::Documents().size());
    EXPECT_FALSE(nuvsim::Documents()[0].open) << PrintToString(nuvsim::Documents()[0]);
    EXPECT_TRUE(nuvsim::AllReleased()) << Accounting();
}

TEST_F(ViewerAccountingTest, AFailureSwitchTakesEveryOrTheNthCall) {
    ComPtr<IAgentHelper> helper = NewHelper();
    ComPtr<IMarkupManager> manager;
    ASSERT_HR(S_OK, helper->GetMarkupManager(manager.put()));
    nuvsim::SetAgentData(GUID_AgentDataOwner, 0, 0, "x");
    char buffer[8];
    LONG size = 8;

    nuvsim::FailOperation("IMarkupManager::GetAgentString", E_ACCESSDENIED);
    EXPECT_HR(E_ACCESSDENIED, manager->GetAgentString(&GUID_AgentDataOwner, 0, 0, &size, buffer));
    EXPECT_HR(E_ACCESSDENIED, manager->GetAgentString(&GUID_AgentDataOwner, 0, 0, &size, buffer));
    nuvsim::FailOperation("IMarkupManager::GetAgentString", E_UNEXPECTED, 2);
    EXPECT_HR(S_OK, manager->GetAgentString(&GUID_AgentDataOwner, 0, 0, &size, buffer));
    EXPECT_HR(E_UNEXPECTED, manager->GetAgentString(&GUID_AgentDataOwner, 0, 0, &size, buffer));
    EXPECT_HR(S_OK, manager->GetAgentString(&GUID_AgentDataOwner, 0, 0, &size, buffer));

    nuvsim::FailOperation("NUVCoCreateInstance(AgentHelper)", E_OUTOFMEMORY);
    void* out = &size;
    EXPECT_HR(E_OUTOFMEMORY, NUVCoCreateInstance(CLSID_AgentHelper, nullptr, 1, iid_of<IAgentHelper>, &out));
    EXPECT_EQ(nullptr, out);
    // Other classes and operations are untouched.
    ComPtr<IFileStreamSource> files;
    EXPECT_HR(S_OK, NUVCoCreateInstance(CLSID_FileStreamSource, nullptr, 1, IID_PPV(files.put())));
    nuvsim::ClearFaults();
    EXPECT_HR(S_OK, NUVCoCreateInstance(CLSID_AgentHelper, nullptr, 1, iid_of<IDocumentLookup>, &out));
    static_cast<IUnknown*>(out)->Release();
}

TEST_F(ViewerAccountingTest, ANullOutSwitchSucceedsWithNothing) {
    ComPtr<IAgentHelper> helper = NewHelper();
    nuvsim::NullOutOperation("IAgentHelper::GetMarkupManager", 1);
    ComPtr<IMarkupManager> manager;
    EXPECT_HR(S_OK, helper->GetMarkupManager(manager.put()));
    EXPECT_EQ(nullptr, manager.get());
    EXPECT_HR(S_OK, helper->GetMarkupManager(manager.put()));
    EXPECT_NE(nullptr, manager.get());
}

TEST_F(ViewerAccountingTest, TheLogNamesEachCallAndTheCountersAddUp) {
    ComPtr<IAgentHelper> helper = NewHelper();
    ComPtr<IDocumentLookup> lookup;
    ASSERT_HR(S_OK, helper.query(lookup));
    ComPtr<IViewerSession> session;
    ASSERT_HR(S_OK, lookup->GetViewerSession(session.put()));
    ComPtr<IPdfDocument> pdf;
    ASSERT_HR(S_OK, session->GetDocument(4, IID_PPV(pdf.put())));
    EXPECT_HR(S_OK, pdf->LoadMarkupFile("D:\\m\\a.xml"));
    LONG layer = 0;
    EXPECT_HR(S_OK, pdf->GetCurrentLayer(&layer));
    EXPECT_HR(S_OK, pdf->SetLayerReadOnly(layer, 1));
    EXPECT_THAT(nuvsim::CallLog(),
                ElementsAre("NUVCoCreateInstance(AgentHelper, IAgentHelper, 1)",
                            "AgentHelper::QueryInterface(IDocumentLookup)", "IDocumentLookup::GetViewerSession()",
                            "IViewerSession::GetDocument(4, IPdfDocument)",
                            "IPdfDocument::LoadMarkupFile(\"D:\\m\\a.xml\")", "IPdfDocument::GetCurrentLayer()",
                            "IPdfDocument::SetLayerReadOnly(" + std::to_string(layer) + ", 1)"));
    EXPECT_EQ(7, nuvsim::CallCount());
    EXPECT_EQ(1, nuvsim::CallCount("NUVCoCreateInstance(AgentHelper)"));
    EXPECT_EQ(1, nuvsim::CallCount("IPdfDocument::LoadMarkupFile"));
    nuvsim::DocumentInfo info{};
    ASSERT_TRUE(nuvsim::FindDocument(4, &info)) << PrintToString(nuvsim::Documents());
    ASSERT_EQ(1u, info.layers.size());
    EXPECT_EQ("D:\\m\\a.xml", info.layers[0].path);
    EXPECT_TRUE(info.layers[0].readOnly) << PrintToString(info);
    nuvsim::ClearCallLog();
    EXPECT_THAT(nuvsim::CallLog(), IsEmpty());
    EXPECT_EQ(0, nuvsim::CallCount());
    // Off, the log stays empty but the counters go on.
    nuvsim::SetCallLogEnabled(false);
    EXPECT_HR(S_OK, pdf->GetCurrentLayer(&layer));
    EXPECT_THAT(nuvsim::CallLog(), IsEmpty());
    EXPECT_EQ(1, nuvsim::CallCount("IPdfDocument::GetCurrentLayer"));
}

}  // namespace
