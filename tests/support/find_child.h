// Reaches a window's widget by its object name ("Button6", "Label13" ...), the name that
// tests and accessibility tools know it by. A missing or mistyped name fails the test
// with the name in the message; the null that is then returned must not be used, so
// callers check it (QVERIFY) where the test would go on.
#pragma once

#include <QObject>
#include <QString>
#include <QtTest>

namespace zp::test {

template <class T>
T* child(const QObject& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        QTest::qFail(qPrintable(QStringLiteral("%1 has no child %2 of the expected type")
                                    .arg(parent.objectName(), QLatin1String(name))),
                     __FILE__, __LINE__);
    return found;
}

}  // namespace zp::test
