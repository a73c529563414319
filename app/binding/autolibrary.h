#pragma once

#include <string>
#include <string_view>

#include "platform/dynlib.h"
#include "platform/resultcode.h"

// One run-time loaded library: the loaded module and the name it was loaded by. Subclasses add
// the library's entry points and a Bind() that finds, loads and resolves it. A loader is not
// copyable; destroying it frees what it holds.
class CAutoLibrary {
  public:
    CAutoLibrary() = default;
    virtual ~CAutoLibrary();
    CAutoLibrary(const CAutoLibrary&) = delete;
    CAutoLibrary& operator=(const CAutoLibrary&) = delete;

    // Frees what the loader holds, then loads the library `name` (a bare file name is looked
    // for in the program folder first, then along the library search path; a name with "/" is
    // a path). Returns 0 on success. An empty name returns E_INVALIDARG; a library that cannot
    // be loaded returns the platform's error as a result code (0x80070000 | error), and the
    // name stays remembered while the loader holds no module.
    virtual HRESULT Load(std::u16string_view name);

    // Unloads the module, if any, empties the name and clears the subclass's entry points.
    // Does nothing on an empty loader, so it may run any number of times.
    virtual void Free();

    platform::LibraryModule module() const { return module_; }
    bool isLoaded() const { return module_ != nullptr; }
    // The last name handed to Load, exactly as passed; empty after Free.
    const std::u16string& name() const { return name_; }
    // The last name handed to Load, kept across Free: the file a failed Bind tried last.
    const std::u16string& lastTriedName() const { return lastTried_; }

  protected:
    // The address of the export `symbol` of the loaded module, or null with `result` set to the
    // platform's error as a result code.
    void* resolve(const char* symbol, HRESULT& result) const;

    // The binding of the common kind: Free; Load the first file of the program folder whose
    // name contains `stem`, else the prefixed name "vzq" + stem; then `resolveEntryPoints()`.
    // When loading fails under both names, returns the second Load's result. When resolving
    // fails, frees the loader and returns its result. 0 on success.
    template <class Resolver>
    HRESULT bindByStem(std::u16string_view stem, Resolver resolveEntryPoints) {
        HRESULT result = loadByStem(stem);
        if (result < 0) {
            return result;
        }
        result = resolveEntryPoints();
        if (result < 0) {
            Free();
        }
        return result;
    }

  private:
    HRESULT loadByStem(std::u16string_view stem);

    platform::LibraryModule module_ = nullptr;
    std::u16string name_;
    std::u16string lastTried_;
};
