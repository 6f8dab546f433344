#pragma once

#include <QDir>
#include <QString>

namespace tarvo::test
{

// The folder under the build tree where tests leave pictures for a person to look at; made on
// first use. CTest names the build tree in TARVO_TEST_BUILD_DIR; a test binary started by hand
// falls back to the build tree it was compiled for, never to the source tree.
inline QString PicturesFolder()
{
    const QString build = qEnvironmentVariable("TARVO_TEST_BUILD_DIR", QStringLiteral(TARVO_TEST_BUILD_DIR_DEFAULT));
    const QString folder = build + QStringLiteral("/pictures");
    QDir().mkpath(folder);
    return folder;
}

} // namespace tarvo::test
