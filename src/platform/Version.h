#pragma once

#include <QString>

namespace tradevane {

// The program's version, shown as "Version: 1.6.0" and in the main window's title.
constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 6;
constexpr int kVersionRevision = 0;

inline QString versionText()
{
    return u"Version: "_qs + QString::number(kVersionMajor) + u'.' + QString::number(kVersionMinor) + u'.'
        + QString::number(kVersionRevision);
}

// The program's web site and the page that helps users with problems.
inline const QString kWebSite = u"https://www.tradevane.example"_qs;
inline const QString kSupportPage = kWebSite + u"/support"_qs;

} // namespace tradevane
