#pragma once

#include <QFile>
#include <QString>

/** Steering the stand-in link library (tests/about/fakecorvres.cpp) and placing libraries. */
namespace FakeCorvres {

/** Sets the text of FAKE_CORVANE_HP or FAKE_CORVANE_MAIL; a null text unsets it. */
inline void setText(const char* variable, const QString& text)
{
    if (text.isNull())
        qunsetenv(variable);
    else
        qputenv(variable, text.toUtf8());
}

/** Puts a copy of library at path (a new file, as an update would be); empty only removes. */
inline bool place(const QString& library, const QString& path)
{
    QFile::remove(path);
    return library.isEmpty() || QFile::copy(library, path);
}

} // namespace FakeCorvres
