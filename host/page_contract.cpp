#include "host/page_contract.h"

namespace praxora::page {

bool NewRecord(IScriptBridge& bridge) {
    return bridge.RunScript("newRecord();");
}

bool LoadRecordFromBuffer(IScriptBridge& bridge) {
    return bridge.RunScript("loadRecord(document.getElementById('nativeBuffer').value);");
}

bool CollectRecordIntoBuffer(IScriptBridge& bridge) {
    return bridge.RunScript("document.getElementById('nativeBuffer').value=collectRecord();");
}

bool CollectSurgeonDefaultsIntoBuffer(IScriptBridge& bridge) {
    return bridge.RunScript(
        "document.getElementById('nativeBuffer').value=collectPrefix('surgeon.');");
}

bool ApplyPartialFromBuffer(IScriptBridge& bridge) {
    return bridge.RunScript("applyPartial(document.getElementById('nativeBuffer').value);");
}

bool FillTestData(IScriptBridge& bridge) {
    return bridge.RunScript("fillTestData();");
}

bool PreparePrintPacket(IScriptBridge& bridge) {
    return bridge.RunScript("preparePrintPacket();");
}

bool ShowToast(IScriptBridge& bridge, Toast toast) {
    switch (toast) {
        case Toast::RecordOpened:
            return bridge.RunScript("showToast('Patient record opened.');");
        case Toast::RecordSaved:
            return bridge.RunScript("showToast('Patient record saved.');");
        case Toast::DefaultsSaved:
            return bridge.RunScript("showToast('Civil surgeon defaults saved.');");
        case Toast::DefaultsApplied:
            return bridge.RunScript("showToast('Civil surgeon defaults applied.');");
    }
    return false;
}

}  // namespace praxora::page
