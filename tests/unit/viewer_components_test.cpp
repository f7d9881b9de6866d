// The two classes of the stand-in viewer's NUVCoCreateInstance.
#include "interfaces/viewer_interfaces.h"
#include "platform/com/com_ptr.h"
#include "viewer/sim_control.h"
#include "interfaces/guids.h"
#include "tests/support/hresult.h"
#include "tests/support/viewer_state.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

class ViewerComponentsTest : public testing::Test {
protected:
    void SetUp() override { nuvsim::ResetViewer(); }
    void TearDown() override {
        EXPECT_THAT(ReferenceProblems(), testing::IsEmpty());
        nuvsim::ResetViewer();
    }
};

TEST_F(ViewerComponentsTest, CreationRefusesWhatItCannotServe) {
    void* out = this;
    IUnknown* outer = reinterpret_cast<IUnknown*>(&out);
    EXPECT_HR(CLASS_E_NOAGGREGATION, NUVCoCreateInstance(CLSID_AgentHelper, outer, 1, iid_of<IAgentHelper>, &out));
    EXPECT_EQ(nullptr, out);
    out = this;
    EXPECT_HR(CLASS_E_CLASSNOTAVAILABLE, NUVCoCreateInstance(iid_of<IPdfDocument>, nullptr, 1, iid_of<IUnknown>, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_HR(E_POINTER, NUVCoCreateInstance(CLSID_AgentHelper, nullptr, 1, iid_of<IAgentHelper>, nullptr));
    EXPECT_HR(E_NOINTERFACE, NUVCoCreateInstance(CLSID_AgentHelper, nullptr, 1, iid_of<IStream>, &out));
}

TEST_F(ViewerComponentsTest, TheHelperAnswersBothInterfacesWithOneIdentity) {
    ComPtr<IDocumentLookup> lookup;
    ASSERT_HR(S_OK, NUVCoCreateInstance(CLSID_AgentHelper, nullptr, 1, IID_PPV(lookup.put())));
    ComPtr<IAgentHelper> helper;
    ASSERT_HR(S_OK, lookup.query(helper));
    ComPtr<IDocumentLookup> back;
    ASSERT_HR(S_OK, helper.query(back));
    EXPECT_EQ(lookup.get(), back.get());
    ComPtr<IUnknown> first, second;
    ASSERT_HR(S_OK, helper.query(first));
    ASSERT_HR(S_OK, lookup.query(second));
    EXPECT_EQ(first.get(), second.get());
    // The agent is recorded, not referenced.
    IDMAgent* agent = reinterpret_cast<IDMAgent*>(0x1234);
    EXPECT_HR(S_OK, helper->RegisterAgent(agent));
    EXPECT_EQ(agent, nuvsim::RegisteredAgent());
    EXPECT_EQ(1, nuvsim::RegisterAgentCalls());
}

TEST_F(ViewerComponentsTest, TheFileStreamAnswersAStreamOnceAFileIsOpen) {
    const std::string path = (std::filesystem::temp_directory_path() / "nuvsim-stream.zvl").string();
    std::ofstream(path, std::ios::binary) << "[ServerFile]\r\nServerPath=x\r\n";
    ComPtr<IFileStreamSource> source;
    ASSERT_HR(S_OK, NUVCoCreateInstance(CLSID_FileStreamSource, nullptr, 1, IID_PPV(source.put())));
    ComPtr<IStream> stream;
    EXPECT_HR(E_NOINTERFACE, source.query(stream));
    EXPECT_HR_FAILED(source->OpenFile((path + ".absent").c_str()));
    EXPECT_HR(E_NOINTERFACE, source.query(stream));
    ASSERT_HR(S_OK, source->OpenFile(path.c_str()));
    ASSERT_HR(S_OK, source.query(stream));
    source.reset();
#ifdef _WIN32
    char buffer[64] = {};
    ULONG read = 0;
    EXPECT_HR(S_OK, stream->Read(buffer, 12, &read));
    EXPECT_EQ(12u, read);
    EXPECT_EQ("[ServerFile]", std::string(buffer, read));
    LARGE_INTEGER move{};
    move.QuadPart = -3;
    ULARGE_INTEGER position{};
    EXPECT_HR(S_OK, stream->Seek(move, STREAM_SEEK_END, &position));
    EXPECT_EQ(25u, position.QuadPart);
    EXPECT_HR(S_OK, stream->Read(buffer, sizeof buffer, &read));
    EXPECT_EQ("x\r\n", std::string(buffer, read));
    STATSTG stat{};
    EXPECT_HR(S_OK, stream->Stat(&stat, STATFLAG_DEFAULT));
    EXPECT_EQ(28u, stat.cbSize.QuadPart);
    EXPECT_NE(nullptr, stat.pwcsName);
    CoTaskMemFree(stat.pwcsName);
    ULONG written = 1;
    EXPECT_HR(STG_E_ACCESSDENIED, stream->Write("y", 1, &written));
    EXPECT_EQ(0u, written);
#endif
    stream.reset();
    std::remove(path.c_str());
}

TEST_F(ViewerComponentsTest, AThreeDDocumentBelongsToAViewHandedOutAsOne) {
    ComPtr<IDocumentLookup> lookup;
    ASSERT_HR(S_OK, NUVCoCreateInstance(CLSID_AgentHelper, nullptr, 1, IID_PPV(lookup.put())));
    ComPtr<IViewerSession> session;
    ASSERT_HR(S_OK, lookup->GetViewerSession(session.put()));
    nuvsim::Config config = nuvsim::GetConfig();
    config.viewFlag3D = 0;
    nuvsim::SetConfig(config);
    LONG flag = 1, handle = 0;
    ASSERT_HR(S_OK, session->GetViewHandle(GUID_3DViewKind, &flag, &handle));
    EXPECT_EQ(0, flag);
    ComPtr<I3DDocument> model;
    EXPECT_HR(E_INVALIDARG, session->GetDocument(handle, IID_PPV(model.put())));
    EXPECT_EQ(nullptr, model.get());

    config.viewFlag3D = 1;
    nuvsim::SetConfig(config);
    ASSERT_HR(S_OK, session->GetViewHandle(GUID_3DViewKind, &flag, &handle));
    EXPECT_HR(S_OK, session->GetDocument(handle, IID_PPV(model.put())));
    EXPECT_HR(E_INVALIDARG, session->GetDocument(handle + 1, IID_PPV(model.put())));
}

}  // namespace
