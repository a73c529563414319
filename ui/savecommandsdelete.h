#pragma once

#include <cstdint>

class IConvertor;
struct MFPInfo;

// What became of a document that a save wants deleted from its box.
enum class SavedDocumentDelete {
    Deleted,      // the outputs are on stable storage and the device removed the document
    NotDurable,   // an output could not be made durable: nothing was sent, the document stays
    DeleteFailed  // the outputs are durable but the device did not remove the document
};

// Deletes the document at `documentIndex` of the path's DocumentTable after its save, but only
// once every output of `convertor` and the folders holding them have been flushed to stable
// storage, so that a crash can never lose both the box's copy and the saved one. The caller
// calls this only after the save job reported a complete, confirmed save. On DeleteFailed the
// device's result code is stored in *code when it sent one (0 otherwise). Shows nothing.
SavedDocumentDelete DeleteSavedDocument(const MFPInfo& mfp, int documentIndex,
                                        const IConvertor& convertor, std::int32_t* code);
