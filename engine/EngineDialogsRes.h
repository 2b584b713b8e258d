// Resource ids of the phrase engine's texts (engine/EngineDialogs.rc), included by the programs'
// resource scripts.
#pragma once

// Strings
#define IDS_ENGINE_CLIPBOARD_HISTORY 142
#define IDS_ENGINE_INSERT_PLAIN_TEXT 162
#define IDS_ENGINE_INSERT_FORMATTED 163
#define IDS_ENGINE_EXECUTE_APPLICATION 164
#define IDS_ENGINE_HISTORY_DATA 165
#define IDS_ENGINE_ACTIVATE_LAYOUT 178
#define IDS_ENGINE_CANCEL 230
