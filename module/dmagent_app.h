// The application object: starts and ends the module in its fixed order.
#pragma once

#include "platform/system/module_file.h"

class CDMAgentApp {
public:
    // Module start; false makes the load fail.
    bool Start(ModuleHandle module);
    // Module end.
    void End();

private:
    bool InitInstance();
    void ExitInstance();

    ModuleHandle m_module = nullptr;
    bool m_started = false;
};

CDMAgentApp& TheApp();
