#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

#include "convert/convertorstatus.h"

struct PageImageInfo;

// IConvertor is the base of every convertor: it turns the downloaded page files of one document
// (named "<work folder>/%08X_%d.jpg" or ".tif" by document id and page number) into what the
// user asked to save. A save calls, on the user-interface thread, Prepare, SetWorkFolder and
// SetPageRange, reads m_outputs for its destination check, and then calls Convert once on the
// save worker while the user interface waits. No lock is taken.
//
// Every operation reports its outcome as a status code (kOk or a negative failure code) and
// never throws. A new convertor has no outputs, an empty work folder and the range 0 to 0.
class IConvertor {
  public:
    IConvertor() = default;
    IConvertor(const IConvertor&) = delete;
    IConvertor& operator=(const IConvertor&) = delete;
    // Runs the clean-up of the concrete class (the PDF and TIFF convertors unload their library).
    virtual ~IConvertor() = default;

    // Starts a save: Reset(), then derives the output path from `folder` (an existing directory)
    // and `name` (a file name with its extension; null makes a time-stamped name with
    // GetExtension()). The work folder becomes TEMP until the caller sets another.
    // Returns kInvalidArg for a null folder, kFail when it is not an existing directory (the
    // convertor is then reset). Writes nothing to disk.
    virtual HRESULT Prepare(const QString& folder, const QString& name);

    // Forgets the outputs, the work folder and the range (0 to 0). Never fails.
    virtual void Reset();

    // Writes the output files from the page files of the range in m_workFolder. `pages` is the
    // page information array indexed by page number (at least m_lastPage + 1 entries), owned by
    // the caller. The default has nothing to convert and returns kNotImplemented.
    virtual HRESULT Convert(const PageImageInfo* pages, std::uint32_t documentId);

    // The extension of the outputs, with its dot; empty for the base.
    virtual QString GetExtension() const;

    // Null `path`: the work folder becomes the value of TEMP, or empty when TEMP is not set
    // (kOk). An existing directory becomes the work folder (kOk). Anything else gives kFail
    // and leaves the work folder as it was.
    virtual HRESULT SetWorkFolder(const QString& path);

    // Stores the page range, first to last inclusive; kOk.
    virtual HRESULT SetPageRange(std::int32_t first, std::int32_t last);

    // Read by the save command (destination check) and the save job; written only by the
    // operations above.
    QStringList m_outputs;  // output paths, in page order for JPEG pages
    QString m_workFolder;   // folder holding the page files
    std::int32_t m_firstPage = 0;
    std::int32_t m_lastPage = 0;

  protected:
    // Steps shared by every Prepare: Reset() is left to the caller, so that a subclass resets
    // itself exactly once before the base steps.
    HRESULT PrepareOutputPath(const QString& folder, const QString& name);
};
