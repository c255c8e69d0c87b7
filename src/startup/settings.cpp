#include "startup/settings.h"

#include "startup/settingsstore.h"

#include <QRegularExpression>

namespace
{
QString name(const char *text)
{
    return QString::fromUtf8(text);
}

// A value's leading number, 0 when it has none.
double leadingNumber(const QString &text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)"));
    const QRegularExpressionMatch m = leading.match(text);
    return m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0.0;
}
} // namespace

QString Settings::Text(const QString &path, const Setting &setting, const QString &missing)
{
    return ReadIniValue(path, name(setting.section), name(setting.key), missing);
}

int Settings::Whole(const QString &path, const Setting &setting)
{
    return SettingWhole(Text(path, setting));
}

double Settings::Number(const QString &path, const Setting &setting)
{
    return leadingNumber(Text(path, setting));
}

bool Settings::Option(const QString &path, const Setting &setting)
{
    return Whole(path, setting) != 1;
}

void Settings::Write(const QString &path, const Setting &setting, const QString &value)
{
    WriteIniValue(path, name(setting.section), name(setting.key), value);
}

void Settings::WriteWhole(const QString &path, const Setting &setting, int value)
{
    Write(path, setting, QString::number(value));
}

void Settings::WriteOption(const QString &path, const Setting &setting, bool on)
{
    Write(path, setting, on ? QStringLiteral("2") : QStringLiteral("1"));
}

