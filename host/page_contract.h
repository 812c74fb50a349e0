#pragma once

#include "host/script_bridge.h"

// Every script the host sends to the form page, and the calls that run them: the one
// place that names the page's functions. Each returns what RunScript returned.
namespace praxora::page {

bool NewRecord(IScriptBridge& bridge);
// Text in, through the buffer: the page loads the record the buffer holds.
bool LoadRecordFromBuffer(IScriptBridge& bridge);
// Text out, through the buffer: the page puts its whole record into the buffer.
bool CollectRecordIntoBuffer(IScriptBridge& bridge);
// The civil surgeon's fields ("surgeon." names) into the buffer.
bool CollectSurgeonDefaultsIntoBuffer(IScriptBridge& bridge);
// The fields the buffer's text holds are set; all others are kept.
bool ApplyPartialFromBuffer(IScriptBridge& bridge);
bool FillTestData(IScriptBridge& bridge);
bool PreparePrintPacket(IScriptBridge& bridge);

enum class Toast { RecordOpened, RecordSaved, DefaultsSaved, DefaultsApplied };
bool ShowToast(IScriptBridge& bridge, Toast toast);

}  // namespace praxora::page
