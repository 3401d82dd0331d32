#pragma once

#include <QApplication>
#include <QObject>
#include <QStandardPaths>
#include <QString>
#include <QTest>

// What every window test shares: finding controls by the name automation uses, and a main()
// that runs on the offscreen platform with settings in Qt's test folder.

/// The child of `parent` named `name`; the test stops at once when there is none.
template <typename T> T* child(const QObject& parent, const QString& name)
{
    T* found = parent.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no %s", qPrintable(name));
    }
    return found;
}

template <typename T> T* child(const QObject* parent, const QString& name)
{
    return child<T>(*parent, name);
}

/// main() of a Qt Test program: offscreen unless QT_QPA_PLATFORM names a platform, settings in
/// the test folder, and the program's name (which the settings path is made of).
#define TINTWELL_QTEST_MAIN(TestClass)                                                             \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {                                      \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        }                                                                                          \
        QStandardPaths::setTestModeEnabled(true);                                                  \
        QApplication app(argc, argv);                                                              \
        QApplication::setApplicationName("tintwell");                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
