#include "app/binding/httpxmllibrary.h"

#include <cstring>

#include "app/binding/libraryfiles.h"

CHttpXMLLibrary::CHttpXMLLibrary() {
    std::memset(&table_, 0, sizeof table_);
}

HRESULT CHttpXMLLibrary::Bind() {
    return bindByStem(kHttpXmlStem, [this] {
        HRESULT result = platform::kOk;
        getHttpXml_ = reinterpret_cast<GetHTTPXMLFn>(resolve("GetHTTPXML", result));
        if (getHttpXml_ == nullptr) {
            return result;
        }
        if (getHttpXml_(&table_, static_cast<std::uint32_t>(kHttpXmlTableBytes)) == 0) {
            return platform::kFail;
        }
        return platform::kOk;
    });
}

void CHttpXMLLibrary::Free() {
    CAutoLibrary::Free();
    getHttpXml_ = nullptr;
    std::memset(&table_, 0, sizeof table_);
}
