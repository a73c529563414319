#include "platform/textformat.h"

namespace platform {

QString formatWithText(const QString& format, const QString& argument) {
    QString result;
    result.reserve(format.size() + argument.size());
    bool filled = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != u'%' || i + 1 >= format.size()) {
            result += c;
            continue;
        }
        const QChar next = format[i + 1];
        if (next == u'%') {
            result += u'%';
            ++i;
        } else if (!filled && (next == u's' || next == u'S' || next == u'1')) {
            result += argument;
            filled = true;
            ++i;
        } else if (!filled && next == u'l' && i + 2 < format.size() && format[i + 2] == u's') {
            result += argument;
            filled = true;
            i += 2;
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace platform
