// The settings source the helper hands out: reads the launch file.
#include "platform/com/interface_table.h"
#include "viewer/sim/profile_read.h"
#include "viewer/sim/sim_state.h"

namespace nuvsim {
namespace {

class SettingsSource final : public SimObject<ISettingsSource> {
public:
    SettingsSource() : SimObject("SettingsSource", "SettingsSource") {}

    HRESULT STDMETHODCALLTYPE ReadProfileValue(LONG reserved, const WCHAR* section, const WCHAR* key, LONG* count,
                                               WCHAR* buffer) override {
        return ServeProfileRead("ISettingsSource::ReadProfileValue", reserved, section, key, count, buffer);
    }

protected:
    void* Lookup(REFIID iid) override {
        return InterfaceTable<Answer<IUnknown, ISettingsSource>, Answer<ISettingsSource>>::Find(this, iid);
    }
};

}  // namespace

Tracked& TheSettingsSource() {
    SimState& sim = TheSimState();
    if (!sim.settingsSource) sim.settingsSource = sim.Make<SettingsSource>();
    return *sim.settingsSource;
}

}  // namespace nuvsim
