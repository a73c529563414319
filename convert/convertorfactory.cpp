#include "convert/convertorfactory.h"

#include <algorithm>

#include "convert/colorpdfconvertor.h"
#include "convert/jpgpassthruconvertor.h"
#include "convert/monopdfconvertor.h"
#include "convert/tiffconvertor.h"

IConvertor* CreateConvertor(bool monochrome, ConvertorHolder& holder, int type) {
    holder.reset();
    switch (type) {
        case kConvertorPdf:
            if (monochrome) {
                holder = std::make_unique<CMonoPdfConvertor>();
            } else {
                holder = std::make_unique<CColorPdfConvertor>();
            }
            break;
        case kConvertorTiff:
            if (monochrome) {
                holder = std::make_unique<CTiffConvertor>();
            }
            break;
        case kConvertorJpeg:
            if (!monochrome) {
                holder = std::make_unique<CJpgPassthruConvertor>();
            }
            break;
        default:
            break;
    }
    return holder.get();
}

int GetConvertorType(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0) {
        return kConvertorNone;
    }
    const QString extension = path.mid(dot + 1);
    struct Entry {
        const char16_t* text;
        int type;
    };
    static constexpr Entry kTable[] = {{u"pdf", kConvertorPdf},
                                       {u"tif", kConvertorTiff},
                                       {u"tiff", kConvertorTiff},
                                       {u"jpg", kConvertorJpeg},
                                       {u"jpeg", kConvertorJpeg}};
    for (const Entry& entry : kTable) {
        if (extension.compare(QString::fromUtf16(entry.text), Qt::CaseInsensitive) == 0) {
            return entry.type;
        }
    }
    return kConvertorNone;
}

bool IsConvertible(const QString& path, bool monochrome) {
    ConvertorHolder probe;
    return CreateConvertor(monochrome, probe, GetConvertorType(path)) != nullptr;
}

int GetLongestOutputName(const IConvertor* convertor) {
    if (convertor == nullptr) {
        return 0;
    }
    qsizetype longest = 0;
    for (const QString& path : convertor->m_outputs) {
        const qsizetype slash = path.lastIndexOf(u'/');
        if (slash >= 0) {
            longest = std::max(longest, path.size() - slash - 1);
        }
    }
    return static_cast<int>(longest);
}
