#include "ui/progress/savejob.h"

#include "device/deviceaccess.h"

SaveJob::SaveJob() : downloadPage(&DeviceAccess::DownloadPageForSave) {}

void SaveJob::Reset() {
    cancelRequested = 0;
    state = kSaveJobFinished;
    current = 0;
    last = 0;
    notify = nullptr;
    owner = nullptr;
    threadRunning = false;
    convertor = nullptr;
    documentIndex = -1;
    converted = false;
}
