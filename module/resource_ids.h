/* Identifiers of the module's own resources; shared with the resource script. */
#pragma once

#define IDR_AGENT_REGISTRY 102
#define IDR_TYPELIB 1
