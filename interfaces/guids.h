// Identifiers that belong to no interface: the agent class and its type
// library, the viewer components the agent creates, and two identifiers the
// viewer defines. Each interface's own identifier is declared with the
// interface (iid_of).
#pragma once

#include "platform/com/com.h"

#include "agent_identifiers.h"  // generated from module/ZelDMAgent.idl

// the agent class.
inline constexpr GUID CLSID_DMAgent = ZEL_GUID(ZEL_CLSID_DMAGENT);
// the agent's type library.
inline constexpr GUID LIBID_ZELDMAGENTLib = ZEL_GUID(ZEL_LIBID_ZELDMAGENTLIB);

// the viewer's helper component.
inline constexpr GUID CLSID_AgentHelper = {0xBA04A117, 0x26C3, 0xAC87, {0xA3, 0xBA, 0xF3, 0xD7, 0xA1, 0xD8, 0xC4, 0xFE}};
// the viewer's file-stream component.
inline constexpr GUID CLSID_FileStreamSource = {0xC97816B5, 0xB7B9, 0x315A, {0xEC, 0x71, 0x7A, 0x40, 0xFB, 0xD6, 0x64, 0x81}};

// the view kind the agent asks the viewer session for in 3D documents.
inline constexpr GUID GUID_3DViewKind = {0x3406B7AE, 0x3459, 0xE6E5, {0x65, 0xEB, 0x2F, 0xC4, 0x4F, 0x6E, 0x57, 0xA5}};
// owner of the agent's entries in the viewer's agent data.
inline constexpr GUID GUID_AgentDataOwner = {0x5E392271, 0x14BB, 0x5E91, {0xC1, 0x42, 0x17, 0xFC, 0x9E, 0x50, 0x2C, 0x30}};
