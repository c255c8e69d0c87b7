#include "download/formatsize.h"

#include <QLocale>

namespace
{
// One decimal, with every ".0" taken out ("2.0" -> "2", "1,024.0" -> "1,024").
QString oneDecimal(double value, bool groupThousands)
{
    QLocale c = QLocale::c();
    c.setNumberOptions(groupThousands ? QLocale::NumberOptions() : QLocale::OmitGroupSeparator);
    QString text = c.toString(value, 'f', 1);
    text.remove(QStringLiteral(".0"));
    return text;
}
}

QString FormatSize(qint64 Bytes)
{
    if (Bytes < 1024)
        return QString::number(Bytes) + u'b';
    if (Bytes < 1048576)
        return QString::number(Bytes / 1024) + u'k';
    if (Bytes < 536870912)
        return oneDecimal(double(Bytes / 1024) / 1024.0, false) + u'M';
    return oneDecimal(double(Bytes / 1048576) / 1024.0, true) + u'G';
}
