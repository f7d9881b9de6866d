/* Identifiers of the module's string table; shared with the resource script. */
#pragma once

#define IDS_PROJNAME 100
#define IDS_LAYER_WRITE_FAILED 104
#define IDS_NO_MARKUP_PERMISSION 105
#define IDS_MARKUP_SAVED_TO_FILE_SYSTEM 106
/* Why a markup save did not reach the PDM. */
#define IDS_SAVE_NO_COMMAND 107
#define IDS_SAVE_UNSAFE_LAUNCH_VALUE 108
#define IDS_SAVE_UNSAFE_FILE_NAME 109
#define IDS_SAVE_COMMAND_TOO_LONG 110
#define IDS_SAVE_PROGRAM_NOT_ALLOWED 111
#define IDS_SAVE_NOT_STARTED 112
#define IDS_SAVE_NO_FILE_NAME 113
#define IDS_SAVE_MARKUP_STREAM 114
#define IDS_SAVE_NAME_TOO_LONG 115
#define IDS_SAVE_UNKNOWN_DOCUMENT 116
#define IDS_SAVE_NO_SERVER_FILE 117
#define IDS_SAVE_PROGRAM_NOT_FOUND 118
/* The save command policy; the refused command follows the text. */
#define IDS_SAVE_NO_PROGRAM_ALLOWED 120
#define IDS_SAVE_PROGRAM_NOT_FULL_PATH 121
