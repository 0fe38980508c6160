#pragma once

#include <QLocale>

#include <clocale>
#include <string>

// Sets the default locale for one test and puts the old one back.
class LocaleGuard {
public:
    explicit LocaleGuard(const QLocale &locale) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(m_saved); }
    LocaleGuard(const LocaleGuard &) = delete;
    LocaleGuard &operator=(const LocaleGuard &) = delete;

private:
    QLocale m_saved;
};

// Sets the C library's locale for one test, as LC_ALL would at the start,
// and puts the old one back.
class CLocaleGuard {
public:
    explicit CLocaleGuard(const char *name)
        : m_saved(std::setlocale(LC_ALL, nullptr))
    {
        std::setlocale(LC_ALL, name);
    }
    ~CLocaleGuard() { std::setlocale(LC_ALL, m_saved.c_str()); }
    CLocaleGuard(const CLocaleGuard &) = delete;
    CLocaleGuard &operator=(const CLocaleGuard &) = delete;

private:
    std::string m_saved;
};
