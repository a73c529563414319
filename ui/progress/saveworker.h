#pragma once

#include "ui/progress/savejob.h"

class IConvertor;

// The save worker, run on a thread of its own for each save: downloads every page of the
// convertor's range (m_firstPage..m_lastPage) of the job's document with job->downloadPage,
// stopping at the first page that fails or at the first page after which a cancel request is
// seen, then lets the convertor write the output with the pages' image information and the
// document's fileId. Every change of the job's state, current page or last page is handed to
// job->notify with job->owner. The page information array starts zeroed, so a page whose image
// information did not arrive fails the conversion instead of getting a made-up size.
//
// The job is owned by the caller and must outlive the call; the worker writes its state,
// current, last, converted and threadRunning fields and reads only cancelRequested of the
// rest. On every path it ends in state Finished with threadRunning false. The save folder is
// emptied after a cancelled download or a failed conversion. Returns 1 without a job, else 0.
int SaveWorker(SaveJob* job);

// Empties the convertor's work folder when it is the save folder, where the page download puts
// the page files; any other folder (TEMP, the convertor's default) is left alone, so that a save
// never deletes files it did not download. Returns whether a folder was emptied.
bool ClearSaveWorkFolder(const IConvertor* convertor);
