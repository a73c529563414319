#pragma once

#include <QString>

#include "convert/convertorstatus.h"

// An output file written under a temporary name beside its final path and moved into place only
// once it is complete, so that a failed save never leaves a file that looks complete and never
// destroys a file of the same name that was there before.
//
// Create() reserves a new, empty file ".velnor-XXXXXX" in the output's folder; the writer fills
// it; Commit() renames it over the final path (replacing an existing file). A staged file that
// was not committed is removed when the object goes away.
class CStagedOutput {
  public:
    explicit CStagedOutput(QString finalPath);
    ~CStagedOutput();
    CStagedOutput(const CStagedOutput&) = delete;
    CStagedOutput& operator=(const CStagedOutput&) = delete;

    // Reserves the temporary file. Returns kOk, or the system error as a status code when no
    // file can be created in the output's folder.
    HRESULT Create();

    // The temporary file's path; empty before Create() succeeded.
    const QString& stagedPath() const { return staged_; }

    // Moves the temporary file to the final path. On failure the temporary file is removed and
    // the final path is left as it was; the result is the system error as a status code.
    HRESULT Commit();

    // Size of the staged file in bytes, or -1 when it cannot be read.
    long long stagedSize() const;

  private:
    QString final_;
    QString staged_;
    bool committed_ = false;
};
