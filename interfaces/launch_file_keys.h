// The launch file's sections and keys, as the PDM front end writes them and
// the agent and the viewer read them. The view list's copy in the agent data
// names its values the same way, "[Section]Key", with a few keys of its own.
#pragma once

inline constexpr char kSectionServerFile[] = "ServerFile";
inline constexpr char kSectionViewList[] = "ViewList";

// [ServerFile]
inline constexpr char kKeyServerPath[] = "ServerPath";
inline constexpr char kKeyImportPath[] = "ImportPath";
inline constexpr char kKeyFileTypeId[] = "FileTypeID";
inline constexpr char kKeyViewMode[] = "ViewMode";
inline constexpr char kKeySessionId[] = "session_id";
inline constexpr char kKeyPdmVendor[] = "PDMVendor";
inline constexpr char kKeyPdmHost[] = "PDM_host";
inline constexpr char kKeyPdmPort[] = "PDM_port";
// The PDM object, of the server file in [ServerFile] and, numbered, of a
// markup in [ViewList].
inline constexpr char kKeyObjectId[] = "object_id";

// [ViewList]; the keys of one markup are followed by its number.
inline constexpr char kKeyNumMarkups[] = "NumMarkups";
inline constexpr char kKeyNumParts[] = "NumParts";
inline constexpr char kKeyDmAgent[] = "DMAgent";
inline constexpr char kKeyApplication[] = "Application";
inline constexpr char kKeyMarkup[] = "Markup";
inline constexpr char kKeyMarkupPermission[] = "Markup_Permission";
inline constexpr char kKeyMarkupAccess[] = "MarkupAccess";

// The FileTypeID of a plain viewer session (also what a missing one means):
// its view list comes from the agent data, not from the launch file.
inline constexpr char kPlainSessionType[] = "ZelView.Session";

// Keys that only the copy in the agent data has: the server file's object
// in [ServerFile]; numbered in [ViewList], a markup's local path and a part
// with its PDM object.
inline constexpr char kStoredKeyObjectId[] = "ObjectId";
inline constexpr char kStoredKeyLocalPath[] = "LocalPath";
inline constexpr char kStoredKeyPart[] = "Part";
inline constexpr char kStoredKeyPartId[] = "PartId";
