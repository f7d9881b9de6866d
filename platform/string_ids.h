/* Identifiers of the module's string table; shared with the resource script. */
#pragma once

#define IDS_PROJNAME 100
#define IDS_LAYER_WRITE_FAILED 104
#define IDS_NO_MARKUP_PERMISSION 105
#define IDS_MARKUP_SAVED_TO_FILE_SYSTEM 106
