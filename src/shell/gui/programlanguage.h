#pragma once

// The program speaks Simplified Chinese whatever the system's language (a
// desktop set to English, or LANG=C): its own texts are Chinese, so Qt's
// standard buttons (确定, 是, 否, 取消), the web engine's own pages and menus,
// and what pages learn of the user's language follow.
namespace ProgramLanguage
{
inline constexpr char QT_LOCALE[] = "zh_CN";
// The engine's locale (its error pages, its menus) and what pages are told
// the user reads (Accept-Language, navigator.languages).
inline constexpr char ENGINE_LOCALE[] = "zh-CN";
inline constexpr char ACCEPT_LANGUAGE[] = "zh-CN,zh";
} // namespace ProgramLanguage

// Makes Chinese the default locale and, as soon as the application object
// exists, loads Qt's own Chinese translations (Debian's qt6-translations-l10n;
// without them the standard buttons stay English). Before the application
// object; RegisterProgramSchemes calls it.
void UseProgramLanguage();
