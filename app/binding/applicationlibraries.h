#pragma once

#include <QString>

#include <cstdint>

#include "app/binding/commoncodeclibrary.h"
#include "app/binding/httpxmllibrary.h"
#include "app/binding/ostrellibrary.h"
#include "app/binding/quilmarlibrary.h"
#include "app/binding/searchagentlibrary.h"
#include "app/binding/stidlllibrary.h"

// The six run-time library loaders that the application object owns for the whole run, in
// construction order. Every loader is empty until Bind succeeds at start-up and holds its
// library until Free at exit; in between the loaders are only read (also from the save worker).
class ApplicationLibraries {
  public:
    // Creates empty loaders (the transport table zero) and makes this object the one that
    // Libraries() returns until it is destroyed. Create one at a time, on the UI thread.
    ApplicationLibraries();
    // Frees every loader in the exit order.
    ~ApplicationLibraries();
    ApplicationLibraries(const ApplicationLibraries&) = delete;
    ApplicationLibraries& operator=(const ApplicationLibraries&) = delete;

    // The binding step of start-up: binds the transport, the search agent, ostrel, quilmar and
    // the XML codec, in that order, then the still-image library unless the system is a server
    // edition of the current release (GetOsVersionCode). Stops at the first failure: shows one
    // error message box without owner, caption `caption`, text `format` with its placeholder
    // ("%s") filled with the failing library's file name (the last name tried, without folder),
    // and returns that loader's negative result. No box is shown when `caption` or `format` is
    // null (an empty text still shows one). Loaders bound before the failure stay bound for
    // Free. Returns 0 when all are bound.
    HRESULT Bind(const QString& caption, const QString& format);
    // As above for the edition `osVersionCode` instead of the running one.
    HRESULT Bind(const QString& caption, const QString& format, std::uint32_t osVersionCode);

    // Frees the loaders in the exit order: still-image, transport, search agent, ostrel,
    // quilmar, XML codec. Harmless on empty loaders, so it may run twice.
    void Free();

    CStidllLibrary stillImage;
    CHttpXMLLibrary httpXml;
    CSearchAgentLibrary searchAgent;
    COstrelLibrary ostrel;
    CQuilmarLibrary quilmar;
    CCommonCodecLibrary codec;

  private:
    struct Unregistered {};
    explicit ApplicationLibraries(Unregistered);
    friend ApplicationLibraries& Libraries();

    bool registered_ = false;
};

// The loaders of the application object: how the device code reaches the transport table,
// the search agent and the still-image entry point. While no application object's loaders
// exist, an empty set whose loaders are never bound (so every device operation fails cleanly).
ApplicationLibraries& Libraries();

// The failure message's text: `format` with its first "%s" (or "%ls", "%S") replaced by
// `fileName` and "%%" by "%"; the format as it is when it has no placeholder.
QString FormatLibraryFailure(const QString& format, const QString& fileName);
