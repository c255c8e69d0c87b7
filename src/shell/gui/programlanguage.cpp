#include "shell/gui/programlanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace
{
void loadTranslations()
{
    const QLocale chinese(QString::fromLatin1(ProgramLanguage::QT_LOCALE));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char *catalogue : {"qtbase", "qtwebengine"}) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(chinese, QString::fromLatin1(catalogue), QStringLiteral("_"), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}
} // namespace

void UseProgramLanguage()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QLocale::setDefault(QLocale(QString::fromLatin1(ProgramLanguage::QT_LOCALE)));
    qAddPreRoutine(loadTranslations);
}
