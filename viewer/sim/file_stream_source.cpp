// The file-stream component: opens a file and then answers IStream over it.
#include "platform/com/interface_table.h"
#include "platform/com/result.h"
#include "viewer/sim/call_text.h"
#include "viewer/sim/components.h"
#include "viewer/sim/file_stream.h"
#include "viewer/sim/sim_state.h"

#include <fstream>
#include <iterator>

namespace nuvsim {
namespace {

constexpr HRESULT kFileNotFound = static_cast<HRESULT>(0x80070002L);

class FileStreamSource final : public SimObject<IFileStreamSource, StreamMethods> {
public:
    explicit FileStreamSource(const std::string& name) : SimObject("FileStreamSource", name) {}

    HRESULT STDMETHODCALLTYPE OpenFile(const char* name) override {
        SIM_CALL("IFileStreamSource::OpenFile", Quote(name));
        RETURN_HR_IF(E_POINTER, !name);
        std::ifstream in(name, std::ios::binary);
        RETURN_HR_IF(kFileNotFound, !*name || !in);
        m_bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        m_position = 0;
        m_fileName = name;
        m_open = true;
        return S_OK;
    }

protected:
    void* Lookup(REFIID iid) override {
        // The stream is there only once a file is open.
        if (iid == iid_of<IStream>) return m_open ? static_cast<IStream*>(this) : nullptr;
        return InterfaceTable<Answer<IUnknown, IFileStreamSource>, Answer<IFileStreamSource>>::Find(this, iid);
    }

private:
    bool m_open = false;
};

}  // namespace

Tracked& MakeFileStreamSource() {
    SimState& sim = TheSimState();
    return *sim.Make<FileStreamSource>("FileStreamSource#" + Number(++sim.streamSourcesMade));
}

}  // namespace nuvsim
