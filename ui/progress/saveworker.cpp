#include "ui/progress/saveworker.h"

#include <QFileInfo>

#include <cstdlib>
#include <exception>
#include <memory>

#include "app/folders/workfolders.h"
#include "app/settings/currentsettings.h"
#include "convert/convertor.h"
#include "device/devicetables.h"
#include "ostrel/ostrel.h"
#include "platform/textconv.h"

namespace {

struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};

void Notify(SaveJob& job) {
    if (job.notify != nullptr) {
        job.notify(job.owner);
    }
}

// Sets state and current and notifies, unless both already hold.
void SetStateAndCurrent(SaveJob& job, std::int32_t state, std::int32_t current) {
    if (job.state != state || job.current != current) {
        job.state = state;
        job.current = current;
        Notify(job);
    }
}

void SetState(SaveJob& job, std::int32_t state) {
    if (job.state != state) {
        job.state = state;
        Notify(job);
    }
}

std::uint32_t DocumentFileId(const MFPInfo& mfp, int documentIndex) {
    if (documentIndex < 0 || documentIndex >= kDocumentTableSize) {
        return 0;
    }
    return DocumentTableFor(mfp).entries[documentIndex].fileId;
}

// Downloads the range and converts it. Returns when the job has reached its last state before
// Finished.
void RunJob(SaveJob& job) {
    IConvertor* convertor = job.convertor;
    const int documentIndex = job.documentIndex;
    if (convertor == nullptr) {
        SetStateAndCurrent(job, kSaveJobConversionFailed, 0);
        return;
    }
    const std::int32_t first = convertor->m_firstPage;
    const std::int32_t last = convertor->m_lastPage;
    const MFPInfo mfp = GetMFPInfo();

    if (first < 1 || last < first) {
        SetStateAndCurrent(job, kSaveJobConversionFailed, 0);
        return;
    }
    // Indexed by page number, every entry zero until its page's information arrives. calloc
    // gives zeroed memory without touching it first, so a range claimed far larger than any
    // document costs nothing until pages arrive; no memory ends the job as a failed save.
    const std::unique_ptr<PageImageInfo, FreeDeleter> pages(static_cast<PageImageInfo*>(
        std::calloc(static_cast<std::size_t>(last) + 1, sizeof(PageImageInfo))));
    if (!pages) {
        SetStateAndCurrent(job, kSaveJobConversionFailed, 0);
        return;
    }

    if (job.state != kSaveJobDownloading || job.current != 0 || job.last != last) {
        job.state = kSaveJobDownloading;
        job.current = 0;
        job.last = last;
        Notify(job);
    }

    for (std::int32_t page = first; page <= last; ++page) {
        const int downloaded =
            job.downloadPage ? job.downloadPage(mfp, documentIndex, page, &pages.get()[page]) : 0;
        if (downloaded == 0) {
            SetStateAndCurrent(job, kSaveJobDownloadFailed, page);
            return;
        }
        if (job.cancelRequested != 0) {
            SetState(job, kSaveJobCancelled);
            ClearSaveWorkFolder(convertor);
            return;
        }
        if (job.current != page) {
            job.current = page;
            Notify(job);
        }
    }

    if (job.cancelRequested != 0) {
        // Asked to stop after the last page arrived: nothing is written.
        SetState(job, kSaveJobCancelled);
        ClearSaveWorkFolder(convertor);
        return;
    }
    SetState(job, kSaveJobConverting);
    const HRESULT result = convertor->Convert(pages.get(), DocumentFileId(mfp, documentIndex));
    if (result < 0) {
        SetStateAndCurrent(job, kSaveJobConversionFailed, 0);
        ClearSaveWorkFolder(convertor);
        return;
    }
    job.converted = true;
    if (job.current != last) {
        job.current = last;
        Notify(job);
    }
}

}  // namespace

int SaveWorker(SaveJob* job) {
    if (job == nullptr) {
        return 1;
    }
    try {
        RunJob(*job);
    } catch (const std::exception&) {
        // Whatever went wrong, the job must not end as a success.
        job->converted = false;
        try {
            SetStateAndCurrent(*job, kSaveJobConversionFailed, 0);
        } catch (const std::exception&) {
        }
    }
    try {
        SetState(*job, kSaveJobFinished);
    } catch (const std::exception&) {
        job->state = kSaveJobFinished;
    }
    job->threadRunning = false;
    return 0;
}

bool ClearSaveWorkFolder(const IConvertor* convertor) {
    if (convertor == nullptr || convertor->m_workFolder.isEmpty()) {
        return false;
    }
    const QString saveFolder = platform::toQString(SaveFolder());
    if (saveFolder.isEmpty()) {
        return false;
    }
    const QString work = QFileInfo(convertor->m_workFolder).canonicalFilePath();
    if (work.isEmpty() || work != QFileInfo(saveFolder).canonicalFilePath()) {
        return false;
    }
    return ClearFolder(platform::fromQString(convertor->m_workFolder));
}
